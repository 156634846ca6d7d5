// Stand-in update wizard for the starter's scenarios and the demo: writes down
// its command line and the run parameters it received, then ends.
//   Output: the file named by ZKTEST_RECORD (default %TEMP%\zk_standin_record.txt)
//   Names looked up after loading: ZKTEST_NAMES, separated by "|".
// Record lines (UTF-8 free, ANSI bytes as received):
//   TIME:<system time at start, 100-ns units>   ARGS:<parameter string>   LOAD:<Load result>   ENUM:<ZKRunEnv_ENUM after Load, or <none>>
//   NAME:<name>=<value>  or  NAME:<name> <none>
#include <windows.h>

#include <string>

#include "tests/support/standin_record.h"

namespace {

std::string Environment(const char* name, const char* fallback) {
  char buffer[32768];
  DWORD n = GetEnvironmentVariableA(name, buffer, sizeof(buffer));
  if (n == 0 || n >= sizeof(buffer)) return fallback;
  return std::string(buffer, n);
}

std::string DefaultRecord() {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  return std::string(temp) + "zk_standin_record.txt";
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR parameters, int) {
  FILETIME now;
  GetSystemTimePreciseAsFileTime(&now);
  std::string record = "TIME:" + std::to_string((static_cast<unsigned long long>(now.dwHighDateTime) << 32) |
                                                now.dwLowDateTime) + "\n";
  record += "ARGS:" + std::string(parameters ? parameters : "") + "\n";
  CZKRunParam params;
  int code = params.Load(nullptr, true);
  record += "LOAD:" + std::to_string(code) + "\n";
  record += "ENUM:" + Environment("ZKRunEnv_ENUM", "<none>") + "\n";
  record += zktest::NamesRecord(params, Environment("ZKTEST_NAMES", ""));
  zktest::WriteRecordWhole(Environment("ZKTEST_RECORD", DefaultRecord().c_str()), record);
  return 0;
}
