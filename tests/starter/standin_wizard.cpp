// Stand-in update wizard for the starter's scenarios and the demo: writes down
// its command line and the run parameters it received, then ends.
//   Output: the file named by ZKTEST_RECORD (default %TEMP%\zk_standin_record.txt)
//   Names looked up after loading: ZKTEST_NAMES, separated by "|".
// Record lines (UTF-8 free, ANSI bytes as received):
//   TIME:<system time at start, 100-ns units>   ARGS:<parameter string>   LOAD:<Load result>   ENUM:<ZKRunEnv_ENUM after Load, or <none>>
//   NAME:<name>=<value>  or  NAME:<name> <none>
#include <windows.h>

#include <cstdio>
#include <string>

#include "zkrunparammodulelib/zkrunparam.h"

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
  std::string names = Environment("ZKTEST_NAMES", "");
  size_t start = 0;
  while (start < names.size()) {
    size_t end = names.find('|', start);
    if (end == std::string::npos) end = names.size();
    std::string name = names.substr(start, end - start);
    const char* value = params.GetValue(name.c_str());
    record += "NAME:" + name + (params.HasValue(name.c_str()) ? "=" + std::string(value ? value : "") : " <none>") + "\n";
    start = end + 1;
  }
  std::string path = Environment("ZKTEST_RECORD", DefaultRecord().c_str());
  std::string partial = path + ".part";
  if (FILE* out = fopen(partial.c_str(), "wb")) {
    fwrite(record.data(), 1, record.size(), out);
    fclose(out);
    // The reader waits for the whole record: it appears under its name at once.
    MoveFileExA(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
  }
  return 0;
}
