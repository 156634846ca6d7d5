// Message boxes, string-table texts, the debugger trace and file and folder
// tests of the update wizard, on Win32 and the framework.
#include "_Common/zkcommonfunc_win.h"

#include <cstdarg>
#include <string>

#include "framework/filefind.h"
#include "framework/scopedhandle.h"
#include "framework/winapp.h"

BOOL g_bDebugTraceEnabled = FALSE;

namespace {

// Sizes of the fixed buffers of the string loads and of the formatters.
constexpr int kStringBufferSize = 1024;
constexpr size_t kTraceBufferSize = 2048;

// Formats with the framework's conventions and cuts the result to fit a
// buffer of size bytes with its NUL, never inside a double-byte character.
std::string FormatCut(size_t size, const char* format, va_list args) {
  std::string text = zkframework::FormatTextV(format, args);
  if (text.size() < size) return text;
  size_t keep = 0;
  while (keep < size - 1) {
    size_t step = zkframework::IsAnsiLeadByte(static_cast<unsigned char>(text[keep])) ? 2 : 1;
    if (keep + step > size - 1) break;
    keep += step;
  }
  text.resize(keep);
  return text;
}

}  // namespace

ZKCommonFuncCalls ZKCommonFuncPlatformCalls() {
  return ZKCommonFuncCalls{MessageBoxA, []() -> HINSTANCE { return nullptr; }};
}

ZKCommonFuncCalls& ZKCommonFuncCurrentCalls() {
  static ZKCommonFuncCalls calls = ZKCommonFuncPlatformCalls();
  return calls;
}

int ShowMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
  CStringA default_caption;
  if (!caption || !*caption) {
    if (!LoadResString(default_caption, kDefaultCaptionStringId)) default_caption = "ZKWizard";
    caption = default_caption;
  }
  if (!owner) {
    // Only the application's own thread has a main window; boxes of other
    // threads stay without owner.
    CWnd* main_window = AfxGetMainWnd();
    owner = main_window ? main_window->GetSafeHwnd() : nullptr;
  }
  return ZKCommonFuncCurrentCalls().messageBoxA(owner, text, caption, style | MB_SETFOREGROUND);
}

int ShowMessageBoxById(HWND owner, UINT text_id, UINT caption_id, UINT style) {
  CStringA text, caption;
  LoadResString(text, text_id);
  LoadResString(caption, caption_id);
  return ShowMessageBox(owner, text, caption, style);
}

int ShowErrorBoxById(UINT text_id, UINT caption_id, HWND owner) {
  return ShowMessageBoxById(owner, text_id, caption_id, MB_ICONERROR);
}

int ShowErrorBox(LPCSTR text, LPCSTR caption, HWND owner) { return ShowMessageBox(owner, text, caption, MB_ICONERROR); }

HINSTANCE GetResourceInstance() {
  HINSTANCE module = ZKCommonFuncCurrentCalls().resourceModuleOverride();
  return module ? module : AfxGetResourceHandle();
}

BOOL LoadResString(CStringA& out, UINT id) {
  if (HINSTANCE module = ZKCommonFuncCurrentCalls().resourceModuleOverride()) {
    char buffer[kStringBufferSize];
    if (LoadStringA(module, id, buffer, kStringBufferSize) > 0) {
      out = buffer;
      return TRUE;
    }
  }
  // The framework looks the string up in its resource module; a copy keeps
  // out unchanged when that fails.
  CStringA loaded;
  if (!loaded.LoadString(id)) return FALSE;
  out = loaded;
  return TRUE;
}

void FormatResString(CStringA& out, UINT id, ...) {
  char format[kStringBufferSize];
  if (LoadStringA(GetResourceInstance(), id, format, kStringBufferSize) <= 0) return;
  va_list args;
  va_start(args, id);
  out = FormatCut(kStringBufferSize, format, args).c_str();
  va_end(args);
}

void DebugTrace(LPCSTR format, ...) {
  if (!g_bDebugTraceEnabled) return;
  va_list args;
  va_start(args, format);
  std::string text = FormatCut(kTraceBufferSize, format, args);
  va_end(args);
  OutputDebugStringA(text.c_str());
}

BOOL DirectoryExists(LPCSTR path) {
  if (!path || !*path) return FALSE;
  // Opening the folder for traversal asks what entering it would ask,
  // without changing the process-wide current directory under other threads.
  ScopedFileHandle folder(CreateFileA(path, FILE_TRAVERSE | SYNCHRONIZE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!folder.IsValid()) return FALSE;
  BY_HANDLE_FILE_INFORMATION information;
  return GetFileInformationByHandle(folder.Get(), &information) &&
         (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

int PathExists(LPCSTR path) {
  if (!path || !*path) return 0;
  CFileFind finder;
  if (finder.FindFile(path)) {
    finder.FindNextFile();
    return finder.IsDirectory() ? -1 : 1;
  }
  // Drive roots and paths that end in a separator match no entry.
  return DirectoryExists(path) ? -1 : 0;
}

BOOL CreateDirectoryTree(LPCSTR path) {
  std::string folder = path ? path : "";
  // Both separators are cut: a path ending in '/' would otherwise be its
  // own directory part and count as done without being created.
  while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  CStringA parent;
  DirectoryOfPath(parent, folder.c_str());
  if (parent.Str() == folder) return TRUE;  // a drive such as C:, or nothing left
  if (PathExists(folder.c_str()) == -1) return TRUE;
  if (!CreateDirectoryTree(parent)) return FALSE;
  return CreateDirectoryA(folder.c_str(), nullptr) ? TRUE : FALSE;
}
