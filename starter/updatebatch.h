// The lines of the hidden batch file that finishes the starter's self-update.
#pragma once

#include <string>
#include <vector>

// True when a command-line value (SVersion, UVersion, publish) can stand inside
// double quotes on a batch line and reach the command interpreter literally:
// printable ASCII only, and none of the characters that the interpreter still
// acts on inside quotes or after a stray quote (", %, !, ^, &, |, <, >).
bool IsBatchSafeValue(const std::wstring& value);

// True when a folder (ending in a backslash) can stand inside double quotes on
// a batch line: no control characters and none of ", %, !, ^, &, |, <, >.
// Characters beyond ASCII are allowed here; the caller checks that the
// conversion to the ANSI code page keeps them exactly.
bool IsBatchSafeFolder(const std::wstring& folder);

// Builds the four lines (without line ends) that end the old starter with the
// taskkill.exe of systemFolder (the system's folder, ending in a backslash),
// remove its old file, restart the new starter with the same command line and
// delete the batch file itself. Every path is quoted and whole: nothing is
// looked up in the current folder or along PATH. Returns false, leaving lines
// empty, when a folder or a value cannot be written safely.
bool BuildUpdateBatchLines(const std::wstring& folder, const std::wstring& systemFolder, const std::wstring& sVersion,
                           const std::wstring& uVersion, const std::wstring& publish, std::vector<std::wstring>* lines);
