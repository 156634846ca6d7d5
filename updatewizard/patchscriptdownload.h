// The pure halves of the patch script's download: the attempt plan over the
// patch-server list, the address rebuild, and the feeding of a body to the parser.
#pragma once

#include <functional>

#include "framework/cstring.h"
#include "updatewizard/patchscript.h"

// Longest script body that the download takes, declared or received: a
// script is a small text (the avatar script a few hundred bytes, a full
// installer's file lists some ten thousand lines), and the whole body is held
// in memory.
constexpr unsigned long kMaxPatchScriptBytes = 4ul << 20;

// The patch-server list: roots ("http://host:port/") joined by ";". Set by
// the wizard's start-up, read by the retrying download.
extern CStringA g_strPatchServerList;

// The test-server prefix: addresses beginning with it get a single attempt.
extern const char kPatchTestServerPrefix[];

// Number of attempts for a script: 1 for an address beginning with the
// test-server prefix or a name containing "Avatar" (any case), else 3.
int PatchScriptAttemptCount(const char* name, const char* address);

// The address of fallback attempt root_index: root root_index of server_list
// followed by address's path after its host.
CStringA RebuildPatchScriptAddress(const char* address, const char* server_list, int root_index);

// One attempt: (address, quiet) -> 1 or 0.
using PatchScriptAttempt = std::function<int(const char* address, int quiet)>;

// Runs the attempts of a retrying download through attempt: every one but the
// last quiet, the address rebuilt (and stored into address) before each
// fallback. Returns 1 at the first success, else 0.
int RunPatchScriptAttempts(const char* name, CStringA& address, const char* server_list,
                           const PatchScriptAttempt& attempt);

// Feeds body (up to its first NUL) line by line to parser and runs the final
// checks. Returns 1 when all passed; else 0 and *failure_text the message to
// show: 0 for the parser's error text (caption 9), 10 to 13 (caption 8).
int ParsePatchScriptBody(const char* body, const char* name, CSentenceParse& parser, PatchFileLists* lists,
                         int installed_version, unsigned* failure_text);
