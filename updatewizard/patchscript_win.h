// Download of the patch script over HTTP, with the fallback to the other
// roots of the patch-server list and the error boxes of the download.
#pragma once

#include "framework/cstring.h"
#include "updatewizard/patchscript.h"
#include "updatewizard/patchscriptdownload.h"

// Reads the script name from address into parser (and lists, when given):
// up to three attempts (one for the test server or an "Avatar" name), only
// the last one showing boxes. address holds the address tried last.
// Returns 1 when the script was read and passed every check, else 0.
int DownloadPatchScriptRetry(const char* name, CStringA& address, CSentenceParse& parser, PatchFileLists* lists,
                             int installed_version);

// One attempt: downloads address and parses it; quiet nonzero shows no box.
// Returns 1 or 0.
int DownloadPatchScript(const char* name, const char* address, CSentenceParse& parser, PatchFileLists* lists,
                        int installed_version, int quiet);
