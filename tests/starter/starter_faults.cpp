// Built into the test build of the starter only: replaces one of the
// self-update's system calls so that it fails for one file, as the variable
// ZKTEST_STARTER_FAULT asks, to produce what Wine cannot (a full disk, a
// refused move or rename):
//   write:<file name>    every write to that file fails (ERROR_DISK_FULL)
//   move:<file name>     moving that file away fails (ERROR_ACCESS_DENIED)
//   rename:<file name>   renaming that file fails
// File names compare ignoring case; any other value changes nothing.
// It also takes the download's bounds from variables, so that a scenario
// neither waits out the whole deadline nor fills the whole size, and may
// trust further download bases:
//   ZKTEST_STARTER_TRUSTED_BASES     the trusted bases, joined by ";"
//   ZKTEST_STARTER_MAX_ARCHIVE_BYTES the largest archive and entry, in bytes
//   ZKTEST_STARTER_DEADLINE_MS       the deadline of one archive's download
#include <windows.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "starter/selfupdate_calls.h"

namespace {

std::wstring g_failingName;

std::wstring LastPart(const std::wstring& path) {
  size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

bool IsFailingPath(const wchar_t* path) {
  return path && lstrcmpiW(LastPart(path).c_str(), g_failingName.c_str()) == 0;
}

std::wstring PathOfHandle(HANDLE file) {
  wchar_t path[MAX_PATH * 2] = {};
  DWORD length = GetFinalPathNameByHandleW(file, path, MAX_PATH * 2, FILE_NAME_NORMALIZED);
  return length > 0 && length < MAX_PATH * 2 ? path : L"";
}

BOOL WINAPI WriteFailingOne(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED overlapped) {
  if (IsFailingPath(PathOfHandle(file).c_str())) {
    if (written) *written = 0;
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
  }
  return WriteFile(file, data, size, written, overlapped);
}

BOOL WINAPI MoveFailingOne(LPCWSTR from, LPCWSTR to) {
  if (IsFailingPath(from)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  return MoveFileW(from, to);
}

int RenameFailingOne(const wchar_t* from, const wchar_t* to) {
  if (IsFailingPath(from)) {
    errno = EACCES;
    return -1;
  }
  return _wrename(from, to);
}

bool InstallFault() {
  wchar_t value[MAX_PATH] = {};
  DWORD length = GetEnvironmentVariableW(L"ZKTEST_STARTER_FAULT", value, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  std::wstring fault(value);
  size_t colon = fault.find(L':');
  if (colon == std::wstring::npos) return false;
  std::wstring kind = fault.substr(0, colon);
  g_failingName = fault.substr(colon + 1);
  if (kind == L"write") SelfUpdateCurrentCalls().writeFile = WriteFailingOne;
  else if (kind == L"move") SelfUpdateCurrentCalls().moveFile = MoveFailingOne;
  else if (kind == L"rename") SelfUpdateCurrentCalls().renameFile = RenameFailingOne;
  else return false;
  return true;
}

std::wstring Variable(const wchar_t* name) {
  wchar_t value[4096] = {};
  DWORD length = GetEnvironmentVariableW(name, value, 4096);
  return length > 0 && length < 4096 ? value : L"";
}

std::wstring g_trustedBases;

bool InstallBounds() {
  g_trustedBases = Variable(L"ZKTEST_STARTER_TRUSTED_BASES");
  if (!g_trustedBases.empty()) g_downloadBounds.trustedBases = g_trustedBases.c_str();
  std::wstring bytes = Variable(L"ZKTEST_STARTER_MAX_ARCHIVE_BYTES");
  if (!bytes.empty()) g_downloadBounds.maxArchiveBytes = _wtoi64(bytes.c_str());
  std::wstring deadline = Variable(L"ZKTEST_STARTER_DEADLINE_MS");
  if (!deadline.empty()) g_downloadBounds.deadlineMs = wcstoul(deadline.c_str(), nullptr, 10);
  return true;
}

const bool g_faultInstalled = InstallFault();
const bool g_boundsInstalled = InstallBounds();

}  // namespace
