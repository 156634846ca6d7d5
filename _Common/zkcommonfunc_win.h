// The update wizard's shared helpers on Win32: message boxes with its default
// caption, string-table texts, the debugger trace and file and folder tests.
// All texts are in the ANSI code page.
#pragma once

#include <windows.h>

#include "_Common/zkcommonfunc.h"
#include "framework/cstring.h"
#include "framework/seam.h"

// String id of the default caption of the message boxes.
constexpr UINT kDefaultCaptionStringId = 57300;

// Process-wide switch of DebugTrace, off at start. The programs never turn it on.
extern BOOL g_bDebugTraceEnabled;

// The message box and the resource-module override under the helpers, so
// that tests can read boxes without showing them and load texts from another
// module; tests replace entries through ScopedCallsOverride.
struct ZKCommonFuncCalls {
  // Shows a message box and returns its result, as MessageBoxA.
  int(WINAPI* messageBoxA)(HWND owner, LPCSTR text, LPCSTR caption, UINT style);
  // The module of string resources that takes precedence over the
  // framework's resource module; NULL for none, as in the programs.
  HINSTANCE (*resourceModuleOverride)();
};

// The calls in use; the program never changes them.
ZKCommonFuncCalls& ZKCommonFuncCurrentCalls();
// The platform's own calls: MessageBoxA and no override.
ZKCommonFuncCalls ZKCommonFuncPlatformCalls();
using ScopedZKCommonFuncCalls = ScopedCallsOverride<ZKCommonFuncCalls, &ZKCommonFuncCurrentCalls, &ZKCommonFuncPlatformCalls>;

// Shows MessageBoxA with MB_SETFOREGROUND added to style and returns its
// result. A NULL or empty caption becomes string 57300, or "ZKWizard" when
// that string is missing; a NULL owner becomes the calling thread's main window.
int ShowMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT style);
// ShowMessageBox with both texts loaded from the string table (a missing one stays empty).
int ShowMessageBoxById(HWND owner, UINT text_id, UINT caption_id, UINT style);
// ShowMessageBoxById with the error icon.
int ShowErrorBoxById(UINT text_id, UINT caption_id, HWND owner);
// ShowMessageBox with the error icon.
int ShowErrorBox(LPCSTR text, LPCSTR caption, HWND owner);

// The resource-module override when set, else the framework's resource module.
HINSTANCE GetResourceInstance();
// Loads string id into out; FALSE, and out unchanged, when there is no such string.
BOOL LoadResString(CStringA& out, UINT id);
// Formats the arguments printf-style into string id and sets out to the result,
// cut to 1023 bytes; out stays unchanged when the string is missing.
void FormatResString(CStringA& out, UINT id, ...);

// Writes the formatted text, cut to 2047 bytes, to the debugger output while
// the trace switch is on; otherwise does nothing and formats nothing.
ZK_FORMAT_CHECK(1, 2) void DebugTrace(LPCSTR format, ...);

// TRUE when path names a directory that the process may enter.
BOOL DirectoryExists(LPCSTR path);
// -1 for an existing directory, 1 for an existing file, 0 otherwise (also NULL or empty).
int PathExists(LPCSTR path);
// Creates path and every missing parent folder; TRUE when path is a directory afterwards.
BOOL CreateDirectoryTree(LPCSTR path);
