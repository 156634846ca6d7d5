// The "web page" tool: puts the encrypted pair text on the clipboard and starts the starter.
//   webpage <starter path> <SVersion> <UVersion> <publish> <pair text> [wait]
// With "wait" it waits for the starter to end and passes its exit code on,
// then waits (at most two minutes) until every program that the starter
// started, by whatever means, has ended too (the batch file, the restarted
// starter, the update wizard and what it starts); it prints
// "START:<system time before the start, 100-ns units>" and, after waiting,
// "PEAK_WORKING_SET:<bytes>" of the starter.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstring>

#include "tests/starter/webpage.h"

namespace {

// Puts this tool into a job of its own, which every program it starts and
// their programs join; nullptr when the system refuses.
HANDLE JoinOwnJob() {
  // The desktop process is up already (the clipboard text needs it), so it
  // never counts as a member of the job.
  HANDLE job = CreateJobObjectA(nullptr, nullptr);
  if (job && !AssignProcessToJobObject(job, GetCurrentProcess())) {
    CloseHandle(job);
    job = nullptr;
  }
  return job;
}

// Waits until this tool is the job's only running member, at most timeout_ms.
bool WaitForJobToEmpty(HANDLE job, DWORD timeout_ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info = {};
    if (!QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &info, sizeof info, nullptr)) return false;
    if (info.ActiveProcesses <= 1) return true;
    if (GetTickCount() - start >= timeout_ms) return false;
    Sleep(20);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 6) {
    fprintf(stderr, "usage: webpage <starter> <SVersion> <UVersion> <publish> <pair text> [wait]\n");
    return 64;
  }
  if (!zktest::PutParameterText(argv[4], argv[5])) {
    fprintf(stderr, "webpage: cannot put the text on the clipboard\n");
    return 1;
  }
  const bool wait = argc > 6 && strcmp(argv[6], "wait") == 0;
  HANDLE job = wait ? JoinOwnJob() : nullptr;
  FILETIME now;
  GetSystemTimePreciseAsFileTime(&now);
  printf("START:%llu\n", (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime);
  HANDLE starter = zktest::StartStarter(argv[1], zktest::StarterArgument(argv[2], argv[3], argv[4]));
  if (!starter) {
    fprintf(stderr, "webpage: cannot start %s\n", argv[1]);
    return 1;
  }
  DWORD code = 0;
  if (wait) {
    // A starter that waits at a box nobody answers must fail the road, by name.
    if (WaitForSingleObject(starter, 120000) != WAIT_OBJECT_0) {
      fprintf(stderr, "webpage: the starter did not end in 120 s (a box left open?); it is ended\n");
      TerminateProcess(starter, 124);
      WaitForSingleObject(starter, INFINITE);
    }
    GetExitCodeProcess(starter, &code);
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (GetProcessMemoryInfo(starter, &counters, sizeof(counters))) {
      printf("PEAK_WORKING_SET:%lu\n", static_cast<unsigned long>(counters.PeakWorkingSetSize));
    }
    if (job && !WaitForJobToEmpty(job, 120000)) fprintf(stderr, "webpage: the started programs did not end\n");
  }
  if (job) CloseHandle(job);
  CloseHandle(starter);
  return static_cast<int>(code);
}
