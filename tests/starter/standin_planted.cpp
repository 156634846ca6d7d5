// A program planted under the name of a command (taskkill.exe, del.exe) where
// that command must not be looked up: the current folder, a folder on PATH.
// Run, it leaves an empty "<its own path>.ran" beside itself.
#include <windows.h>

int main() {
  wchar_t path[MAX_PATH + 8] = {};
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 1;
  lstrcatW(path, L".ran");
  HANDLE marker = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (marker == INVALID_HANDLE_VALUE) return 1;
  CloseHandle(marker);
  return 0;
}
