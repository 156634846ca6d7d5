// The "web page" tool: puts the encrypted pair text on the clipboard and starts the starter.
//   webpage <starter path> <SVersion> <UVersion> <publish> <pair text> [wait]
// With "wait" it waits for the starter to end and passes its exit code on;
// it prints "START:<system time before the start, 100-ns units>" and, after
// waiting, "PEAK_WORKING_SET:<bytes>" of the starter.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstring>

#include "tests/starter/webpage.h"

int main(int argc, char** argv) {
  if (argc < 6) {
    fprintf(stderr, "usage: webpage <starter> <SVersion> <UVersion> <publish> <pair text> [wait]\n");
    return 64;
  }
  if (!zktest::PutParameterText(argv[4], argv[5])) {
    fprintf(stderr, "webpage: cannot put the text on the clipboard\n");
    return 1;
  }
  FILETIME now;
  GetSystemTimePreciseAsFileTime(&now);
  printf("START:%llu\n", (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime);
  HANDLE starter = zktest::StartStarter(argv[1], zktest::StarterArgument(argv[2], argv[3], argv[4]));
  if (!starter) {
    fprintf(stderr, "webpage: cannot start %s\n", argv[1]);
    return 1;
  }
  DWORD code = 0;
  if (argc > 6 && strcmp(argv[6], "wait") == 0) {
    WaitForSingleObject(starter, INFINITE);
    GetExitCodeProcess(starter, &code);
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (GetProcessMemoryInfo(starter, &counters, sizeof(counters))) {
      printf("PEAK_WORKING_SET:%lu\n", static_cast<unsigned long>(counters.PeakWorkingSetSize));
    }
  }
  CloseHandle(starter);
  return static_cast<int>(code);
}
