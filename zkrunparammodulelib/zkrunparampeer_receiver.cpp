// Test peer: loads the hand-over it was started with and writes what it received.
// The report goes to the file named in ZKTEST_RUNPARAM_REPORT (inherited from
// the test), written to a side file first and then renamed, so that a reader
// never sees half of it. A second file, report + ".wire", holds the key and the
// hex text as they arrived, for the check with an independent Triple-DES.
#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "zkrunparammodulelib/zkrunenv.h"
#include "zkrunparammodulelib/zkrunparam.h"
#include "zkrunparammodulelib/zkrunparammodule.h"

namespace {

std::string Variable(const char* name) {
  std::vector<char> value(1 << 16);
  DWORD got = GetEnvironmentVariableA(name, value.data(), static_cast<DWORD>(value.size()));
  return got < value.size() ? std::string(value.data(), got) : std::string();
}

std::string ReceivedHex() {
  std::string list = Variable("ZKRunEnv_ENUM"), hex;
  size_t at = 0;
  while (!list.empty() && at <= list.size()) {
    size_t end = list.find('|', at);
    if (end == std::string::npos) end = list.size();
    hex += Variable(list.substr(at, end - at).c_str());
    at = end + 1;
  }
  return hex;
}

void WriteFile(const std::string& path, const std::string& text) {
  std::string side = path + ".part";
  FILE* file = fopen(side.c_str(), "wb");
  if (!file) return;
  fwrite(text.data(), 1, text.size(), file);
  fclose(file);
  MoveFileExA(side.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

}  // namespace

int main() {
  std::string report = Variable("ZKTEST_RUNPARAM_REPORT");
  if (report.empty()) return 64;
  const char* key = GetCommandLineKey();
  std::string keyText = key ? key : "";
  std::string wire = "key=" + keyText + "\nlist=" + Variable("ZKRunEnv_ENUM") + "\nhex=" + ReceivedHex() + "\n";

  CZKRunParam param;
  int code = param.Load(nullptr, true);
  LARGE_INTEGER end;
  QueryPerformanceCounter(&end);

  std::string payload;
  CZKRunParamModule* module = nullptr;
  if (ZKRunParamModuleMan().FindModule(&param, &module) == 0) {
    std::vector<char> text(module->SerialisedLength() + 1);
    int length = 0;
    if (module->Serialise(text.data(), static_cast<int>(text.size()), &length) == 0) payload.assign(text.data(), length);
  }
  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
  char directory[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, directory);

  std::string text = "code=" + std::to_string(code) + "\nkey=" + keyText + "\npayload=" + payload +
                     "\nrunenv_after=" + (Variable("ZKRunEnv_ENUM").empty() && ReceivedHex().empty() &&
                                                  Variable("ZKRunEnv_VER").empty() && Variable("ZKRunEnv_DATA_1").empty()
                                              ? "0"
                                              : "1") +
                     "\ndirectory=" + directory + "\nend=" + std::to_string(end.QuadPart) +
                     "\npeak_working_set=" + std::to_string(memory.PeakWorkingSetSize) +
                     "\npeak_pagefile=" + std::to_string(memory.PeakPagefileUsage) + "\n";
  WriteFile(report + ".wire", wire);
  WriteFile(report, text);
  return 0;
}
