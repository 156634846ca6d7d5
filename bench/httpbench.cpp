// Reads one URL to its end through one of the HTTP getters in 8192-byte
// pieces and prints the throughput and the working set along the way.
//   httpbench framework|socket <url>
#include <winsock2.h>
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "_Common/zkgethttp.h"
#include "_Common/zkgethttpforbigfile.h"

namespace {

double WorkingSetMiB() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof(counters);
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
  return counters.WorkingSetSize / 1048576.0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 || (strcmp(argv[1], "framework") != 0 && strcmp(argv[1], "socket") != 0)) {
    fprintf(stderr, "usage: httpbench framework|socket <url>\n");
    return 64;
  }
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
  std::unique_ptr<IZKGetHTTP> getter;
  if (strcmp(argv[1], "framework") == 0) {
    getter.reset(new CZKGetHTTP());
  } else {
    getter.reset(new CZKGetHTTPForBigFile());
  }
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  int code = getter->Open(argv[2], 0);
  if (code != 0) {
    fprintf(stderr, "open failed: %d\n", code);
    return 1;
  }
  static char buffer[8192];
  unsigned long long total = 0, next_sample = 0;
  double least = 1e9, most = 0;
  uint32_t got = 0;
  do {
    code = getter->Read(buffer, sizeof(buffer), got);
    total += got;
    if (total >= next_sample) {
      double now = WorkingSetMiB();
      least = now < least ? now : least;
      most = now > most ? now : most;
      next_sample += 64ull << 20;
    }
  } while (code == 0 && got != 0);
  QueryPerformanceCounter(&end);
  double seconds = double(end.QuadPart - start.QuadPart) / frequency.QuadPart;
  printf("%s: %llu bytes in %.2f s = %.1f MiB/s; working set %.1f-%.1f MiB; last code %d\n", argv[1], total, seconds,
         total / 1048576.0 / seconds, least, most, code);
  return code;
}
