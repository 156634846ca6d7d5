// Test peer: fills a store as a scenario says, hands it to a program with Execute and writes what happened.
//   runparam_sender <program> <scenario> <report file>
// Scenarios: one, pair, groups, hex15360, hex15376, empty, winexec, big (256 KB in 64 values).
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "zkrunparammodulelib/zkrunenv.h"
#include "zkrunparammodulelib/zkrunparam.h"
#include "zkrunparammodulelib/zkrunparammodule.h"

namespace {

// "<<" + default group + "=>>;" + "v=" + value + ";" is 38 characters and the value.
constexpr int kPayloadOverhead = 38;

bool Fill(CZKRunParam& param, const std::string& scenario) {
  if (scenario == "one" || scenario == "winexec") return param.SetValue("RunMode", "a=b;c%d <x>|y") == 0;
  if (scenario == "pair") return param.SetValue("B", "2") == 0 && param.SetValue("a", "x;y") == 0;
  if (scenario == "hex15360") return param.SetValue("v", std::string(7672 - kPayloadOverhead, 'x').c_str()) == 0;
  if (scenario == "hex15376") return param.SetValue("v", std::string(7680 - kPayloadOverhead, 'x').c_str()) == 0;
  if (scenario == "empty") return true;
  if (scenario == "big") {
    for (int i = 0; i < 64; ++i) {
      char name[16];
      snprintf(name, sizeof name, "Value%02d", i);
      if (param.SetValue(name, std::string(4096, static_cast<char>('a' + i % 26)).c_str()) != 0) return false;
    }
    return true;
  }
  if (scenario == "groups") {
    // Only a received payload makes groups; the store is filled the same way here.
    CZKRunParamModule* module = nullptr;
    if (ZKRunParamModuleMan().FindModule(&param, &module) != 0) return false;
    return module->SetEntry(nullptr, "First", "1", false) == 0 && module->SetEntry("Beta", "Second", "2;", false) == 0 &&
           module->SetEntry("gamma", "Third", "=3", false) == 0 && module->SetEntry("Beta", "Fourth", "4", false) == 0;
  }
  return false;
}

bool HasRunEnv() {
  char value[8];
  return GetEnvironmentVariableA("ZKRunEnv_ENUM", value, sizeof value) != 0 ||
         GetEnvironmentVariableA("ZKRunEnv_VER", value, sizeof value) != 0 ||
         GetEnvironmentVariableA("ZKRunEnv_DATA_1", value, sizeof value) != 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return 64;
  std::string scenario = argv[2];
  // A bare program name is found in this program's folder. A path elsewhere
  // is started from another folder, so that the receiver's working folder can
  // only come from the directory that Execute derived from the path.
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  *strrchr(self, '\\') = '\0';
  if (strchr(argv[1], '\\')) {
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    SetCurrentDirectoryA(windows);
  } else {
    SetCurrentDirectoryA(self);
  }
  ScopedZKRunEnvCalls calls;
  if (scenario == "winexec") calls.calls().launch = LaunchProgramWithWinExec;

  CZKRunParam param;
  if (!Fill(param, scenario)) return 65;
  int launchResult = -1;
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  int code = param.Execute(argv[1], &launchResult, nullptr);
  FILE* report = fopen(argv[3], "wb");
  if (!report) return 66;
  fprintf(report, "code=%d\nlaunched=%d\nrunenv_after=%d\nstart=%lld\n", code, launchResult > 32 ? 1 : 0,
          HasRunEnv() ? 1 : 0, static_cast<long long>(start.QuadPart));
  fclose(report);
  return 0;
}
