// Reads one URL to its end through one of the HTTP getters in 8192-byte
// pieces and prints "RESULT <MiB/s> <body bytes> <seconds>" and the working
// set along the way; or, with "download", times the resumable download of
// the URL into a local file beside the framework getter's plain read of it
// and prints a BENCH line (format in bench/CMakeLists.txt).
//   httpbench framework|socket <url>
//   httpbench download <url> <local file>
#include <winsock2.h>
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "_Common/zkgethttp.h"
#include "_Common/zkgethttpforbigfile.h"
#include "_Common/zkhttpdownload.h"

namespace {

double WorkingSetMiB() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof(counters);
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
  return counters.WorkingSetSize / 1048576.0;
}

double Now() {
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return double(now.QuadPart) / frequency.QuadPart;
}

// Reads the whole body; the bytes read, or -1 when the open or a read failed.
long long ReadAll(IZKGetHTTP& getter, const char* url, double* least, double* most) {
  if (getter.Open(url, 0) != 0) return -1;
  static char buffer[8192];
  unsigned long long total = 0, next_sample = 0;
  uint32_t got = 0;
  int code = 0;
  do {
    code = getter.Read(buffer, sizeof(buffer), got);
    total += got;
    if (total >= next_sample) {
      double now = WorkingSetMiB();
      *least = now < *least ? now : *least;
      *most = now > *most ? now : *most;
      next_sample += 64ull << 20;
    }
  } while (code == 0 && got != 0);
  return code == 0 ? static_cast<long long>(total) : -1;
}

int Download(const char* url, const char* local_path) {
  double least = 1e9, most = 0;
  double start = Now();
  long long plain = 0;
  {
    CZKGetHTTP getter;
    plain = ReadAll(getter, url, &least, &most);
  }
  const double read_seconds = Now() - start;
  // The probe alone, on a URL of its own so that the download still measures its size.
  start = Now();
  const int64_t probed = ProbeUrlFileSize((std::string(url) + "?probe-alone").c_str());
  const double probe_seconds = Now() - start;

  start = Now();
  CZKHttpDownload download(1);
  download.Init(url, local_path, nullptr);
  CStringA detail;
  const int code = download.Download(detail);
  const double download_seconds = Now() - start;
  std::printf("plain read %lld bytes in %.2f s; probe alone %.2f s (size %lld); download %.2f s, code %d\n", plain,
              read_seconds, probe_seconds, static_cast<long long>(probed), download_seconds, code);
  std::printf("BENCH download-%lldMiB %.2f s framework-getter-read %.2f %.3f <=1.2\n", plain >> 20, download_seconds,
              read_seconds, download_seconds / read_seconds);
  DeleteFileA(local_path);
  return code == 0 && plain > 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && strcmp(argv[1], "download") == 0) return Download(argv[2], argv[3]);
  if (argc != 3 || (strcmp(argv[1], "framework") != 0 && strcmp(argv[1], "socket") != 0)) {
    fprintf(stderr, "usage: httpbench framework|socket <url>\n       httpbench download <url> <local file>\n");
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
  double least = 1e9, most = 0;
  const double start = Now();
  const long long total = ReadAll(*getter, argv[2], &least, &most);
  const double seconds = Now() - start;
  if (total < 0) {
    fprintf(stderr, "%s getter failed\n", argv[1]);
    return 1;
  }
  printf("working set %.1f-%.1f MiB\n", least, most);
  printf("RESULT %.1f %lld %.3f\n", total / 1048576.0 / seconds, total, seconds);
  return 0;
}
