// The system calls of the self-update and the wizard download, one table that
// tests replace entry by entry to produce failures Wine cannot (a full disk, a
// refused move, a code page that refuses conversion flags).
#pragma once

#include <windows.h>

#include <string>

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
extern SelfUpdateCalls g_selfUpdateCalls;

// The text converted to the process's ANSI code page; false when a character
// has no exact counterpart there (the text would change on the way).
bool ToAnsiExactly(const std::wstring& text, std::string* ansi);
