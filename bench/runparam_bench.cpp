// Benchmark: hand-over of a store of 256 KB of values (64 values of 4096 bytes,
// about 35 environment variables) from Execute to the end of the receiver's
// Load, with the peak memory of both processes. Runs under Wine beside the
// receiver test peer (runparam_receiver.exe).
//   runparam_bench [rounds]
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "zkrunparammodulelib/zkrunparam.h"

namespace {

std::string Folder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

std::string Field(const std::string& text, const std::string& name) {
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.compare(0, name.size() + 1, name + "=") == 0) return line.substr(name.size() + 1);
  }
  return "";
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = argc > 1 ? atoi(argv[1]) : 10;
  if (rounds < 1) rounds = 1;  // the median needs one round at least
  std::string folder = Folder();
  std::string report = folder + "runparam_bench_report.txt";
  SetEnvironmentVariableA("ZKTEST_RUNPARAM_REPORT", report.c_str());
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);

  std::vector<double> times;
  long long receiverPeak = 0;
  for (int round = 0; round < rounds; ++round) {
    DeleteFileA(report.c_str());
    CZKRunParam param;
    for (int i = 0; i < 64; ++i) {
      char name[16];
      snprintf(name, sizeof name, "Value%02d", i);
      param.SetValue(name, std::string(4096, static_cast<char>('a' + i % 26)).c_str());
    }
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    int code = param.Execute((folder + "runparam_receiver.exe").c_str(), nullptr, nullptr);
    if (code != 0) {
      printf("Execute failed: %d\n", code);
      return 1;
    }
    std::string text;
    for (int waited = 0; waited < 2000 && text.empty(); ++waited) {
      std::ifstream in(report, std::ios::binary);
      std::ostringstream all;
      all << in.rdbuf();
      text = all.str();
      if (text.empty()) Sleep(1);
    }
    if (Field(text, "code") != "0") {
      printf("receiver failed: %s\n", text.c_str());
      return 1;
    }
    long long end = atoll(Field(text, "end").c_str());
    times.push_back(1000.0 * static_cast<double>(end - start.QuadPart) / static_cast<double>(frequency.QuadPart));
    receiverPeak = std::max(receiverPeak, atoll(Field(text, "peak_pagefile").c_str()));
  }
  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
  std::sort(times.begin(), times.end());
  printf("hand-over of 256 KB (64 x 4096-byte values), %d rounds: median %.1f ms, min %.1f ms, max %.1f ms\n", rounds,
         times[times.size() / 2], times.front(), times.back());
  printf("peak private bytes: receiver %lld KB, sender %lld KB (working set %lld KB)\n", receiverPeak / 1024,
         static_cast<long long>(memory.PeakPagefileUsage / 1024), static_cast<long long>(memory.PeakWorkingSetSize / 1024));
  return 0;
}
