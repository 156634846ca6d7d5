// The system calls of the self-update and the wizard download, one table that
// tests replace entry by entry to produce failures Wine cannot (a full disk, a
// refused move, a code page that refuses conversion flags), and the steps that
// tests run on their own.
#pragma once

#include <windows.h>

#include <string>

#include "framework/cstring.h"
#include "framework/seam.h"

struct SelfUpdateCalls {
  UINT(WINAPI* getAnsiCodePage)();
  int(WINAPI* wideCharToMultiByte)(UINT codePage, DWORD flags, LPCWCH wide, int wideLength, LPSTR ansi,
                                   int ansiLength, LPCCH defaultChar, LPBOOL usedDefaultChar);
  BOOL(WINAPI* writeFile)(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED overlapped);
  BOOL(WINAPI* moveFile)(LPCWSTR from, LPCWSTR to);
  int (*renameFile)(const wchar_t* from, const wchar_t* to);
  UINT(WINAPI* winExec)(LPCSTR commandLine, UINT show);
};

// The calls in use; the program never changes them.
SelfUpdateCalls& SelfUpdateCurrentCalls();
// The platform's own calls.
SelfUpdateCalls SelfUpdatePlatformCalls();
using ScopedSelfUpdateCalls = ScopedCallsOverride<SelfUpdateCalls, &SelfUpdateCurrentCalls, &SelfUpdatePlatformCalls>;

// What a download may cost, from the build settings. The program never
// changes them; the starter's test build shortens them, so that a scenario
// needs neither the whole deadline nor the whole size.
struct StarterDownloadBounds {
  const wchar_t* trustedBases;  // the bases a CustomUpdateURL must begin with, joined by ";"
  long long maxArchiveBytes;    // the largest archive read, and the largest entry unpacked
  unsigned long deadlineMs;     // the longest time one archive's download may take
};

// The bounds in use.
extern StarterDownloadBounds g_downloadBounds;

// The text converted to the process's ANSI code page; false when a character
// has no exact counterpart there (the text would change on the way).
bool ToAnsiExactly(const std::wstring& text, std::string* ansi);

// Unpacks the archive's entry entryName into folder + target by way of the
// temporary folder + "_" + target, which replaces target only when the whole
// entry was written: 0, or 5006-5010 as the download's codes.
int ExtractArchiveEntry(const CString& folder, const CString& archivePath, const CString& entryName,
                        const CString& target);
