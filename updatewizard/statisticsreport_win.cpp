// The statistics report's requests through the HTTP getter, and the system
// line read from GetVersionExA and the registry.
#include "updatewizard/statisticsreport_win.h"

#include <windows.h>

#include <cstring>

#include "_Common/zkfilehashinfo.h"
#include "_Common/zkgethttp.h"
#include "framework/scopedhandle.h"
#include "updatewizard/statisticsreport.h"
#include "updatewizard/wizardglobals.h"

namespace {

// The key under parent named name, opened for access; owns nothing when it cannot be opened.
ScopedRegistryKey OpenRegistryKey(HKEY parent, const char* name, REGSAM access) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(parent, name, 0, access, &key) != ERROR_SUCCESS) key = nullptr;
  return ScopedRegistryKey(key);
}

// Reads a string value of at most 128 bytes into text. A value that is
// missing, no string or longer leaves text as it was; one stored without its
// terminating NUL still ends within the buffer.
void ReadStringValue(HKEY key, const char* name, char (&text)[kSystemTextSize]) {
  char value[kSystemTextSize + 1] = {};
  DWORD type = 0;
  DWORD size = kSystemTextSize;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS) return;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return;
  value[size < kSystemTextSize ? size : kSystemTextSize] = '\0';
  SetSystemText(text, value);
}

}  // namespace

StatisticsReportCalls StatisticsReportPlatformCalls() { return StatisticsReportCalls{GetVersionExA}; }

StatisticsReportCalls& StatisticsReportCurrentCalls() {
  static StatisticsReportCalls calls = StatisticsReportPlatformCalls();
  return calls;
}

CStringA BuildSystemDescription(int avatar_version) {
  OSVERSIONINFOA info;
  std::memset(&info, 0, sizeof(info));
  info.dwOSVersionInfoSize = sizeof(info);
  if (!StatisticsReportCurrentCalls().getVersionExA(&info)) std::memset(&info, 0, sizeof(info));
  info.szCSDVersion[sizeof(info.szCSDVersion) - 1] = '\0';

  SystemDescriptionParts parts;
  InitSystemDescriptionParts(parts, info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber, info.szCSDVersion);

  ScopedRegistryKey bits_key = OpenRegistryKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Wow6432Node", KEY_READ | KEY_WOW64_64KEY);
  if (bits_key.IsValid()) parts.bits = 64;

  if (UsesCurrentVersionKey(info.dwMajorVersion, info.dwMinorVersion)) {
    ScopedRegistryKey version_key =
        OpenRegistryKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", KEY_READ | KEY_WOW64_64KEY);
    if (version_key.IsValid()) {
      bits_key.Reset();
      ReadStringValue(version_key.Get(), "ProductName", parts.product);
      ReadStringValue(version_key.Get(), "CurrentVersion", parts.version);
      ReadStringValue(version_key.Get(), "BuildLab", parts.build);
    }
  }
  return FormatSystemDescription(parts, g_strBrowserName.GetString(), avatar_version);
}

bool CFileHashInfo::SendStatisticsRequest(const char* url, const char* file_path, int launcher_error,
                                          int grid_error) {
  const CStringA request =
      FormatStatisticsRequest(url, g_strProgramName.GetString(), file_path, launcher_error, grid_error);
  // Only the status counts: the answer's body is never read.
  CZKGetHTTP getter;
  const bool sent = getter.Open(request.GetString(), 0) == 0;
  getter.Close();
  return sent;
}

bool CFileHashInfo::ReportHashFailures(const char* url, int launcher_error, int avatar_version) {
  HashInfoTrace("%s %d", url ? url : "", static_cast<int>(m_failed_files.size()));
  const char* address = StatisticsUrlOrDefault(url);
  for (const CStringA& path : m_failed_files) {
    SendStatisticsRequest(address, path.GetString(), launcher_error, 0);
  }
  const CStringA line = BuildSystemDescription(avatar_version);
  return SendStatisticsRequest(address, line.GetString(), launcher_error, kSystemLineGridError);
}
