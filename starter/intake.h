// The starter's parameter intake: the clipboard text, the command line, the
// decryption of the clipboard text and the parse of its name/value pairs.
#pragma once

#include <map>
#include <type_traits>

#include "framework/cstring.h"

static_assert(std::is_same<CString, CStringW>::value, "the starter works on wide strings (ZK_UNICODE_CSTRING)");

// The decrypted pairs, ordered by an exact comparison of their keys (UTF-16
// code units as unsigned numbers: "Key" and "key" are two entries).
using StarterPairMap = std::map<CString, CString>;

// Reads the clipboard's CF_TEXT text, converted from the thread's ANSI code
// page, into text. False when the clipboard offers no CF_TEXT, and also when
// it offers one that cannot be read (clipboard busy, no data, lock refused):
// true always means that the web page's text was read.
bool ReadClipboardText(CString& text);

// Takes SVersion, UVersion and publish from the argument "?key=value,..."
// (the last character, the closing quote, is dropped); keys compare
// ignoring case, a missing key leaves its value empty.
void ParseStarterCommandLine(const CString& command_line, CString& s_version, CString& u_version, CString& publish);

// Replaces text by its Triple-DES decryption under the pass phrase publish.
// On failure shows message 57406, empties text and returns false.
bool DecryptParameterText(CString& text, const CString& publish);

// Trims text in place, then sets one map entry per item key="value"; the
// last item of a key wins. A key ends at the first "=" or double quote of its
// item. Never fails: malformed text yields what it yields.
void ParseParameterPairs(CString& text, StarterPairMap& pairs);

// Empties the whole clipboard when it offers CF_TEXT; reports nothing.
void ClearClipboard();

// The text converted to the process's ANSI code page, NUL-terminated, in a
// block that the caller frees with delete[]; NULL when allocation fails.
char* WideToAnsi(const CString& text);
