// Reads one URL to its end through one of the HTTP getters in 8192-byte
// pieces and prints "RESULT <MiB/s> <body bytes> <seconds>" and the working
// set along the way; or, with "download", times the resumable download of
// the URL into a local file beside the framework getter's plain read of it
// and prints BENCH lines (format in bench/CMakeLists.txt).
//   httpbench framework|socket <url>
//   httpbench download <url> <local file>
#include <winsock2.h>
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "_Common/zkgethttp.h"
#include "_Common/zkgethttpforbigfile.h"
#include "_Common/zkhttpdownload.h"
#include "_Common/zkurlfilesizecache.h"

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

// Seconds of one resumable download of url into local_path; negative when it failed.
double TimedDownload(const std::string& url, const char* local_path) {
  const double start = Now();
  CZKHttpDownload download(1);
  download.Init(url.c_str(), local_path, nullptr);
  CStringA detail;
  const int code = download.Download(detail);
  const double seconds = Now() - start;
  DeleteFileA(local_path);
  return code == 0 ? seconds : -1;
}

// Of rounds of (ours, reference) seconds, prints the round whose ratio is the median.
void PrintMedianRound(const char* name, std::vector<std::pair<double, double>> rounds, const char* goal) {
  std::sort(rounds.begin(), rounds.end(), [](const std::pair<double, double>& a, const std::pair<double, double>& b) {
    return a.first / a.second < b.first / b.second;
  });
  const std::pair<double, double>& median = rounds[(rounds.size() - 1) / 2];
  std::printf("BENCH %s %.2f s framework-getter-read %.2f %.3f %s\n", name, median.first, median.second,
              median.first / median.second, goal);
}

// The download as the program makes it (size probe and transfer), and again
// for a URL whose size is already known, each beside the framework getter's
// plain read in the same round; then the size probe alone. Each URL differs by
// its query, so that each download meets the size cache as intended.
int Download(const std::string& url, const char* local_path) {
  std::vector<std::pair<double, double>> cold, warm, probe;
  long long plain = 0;
  for (int round = 0; round < 3; ++round) {
    double least = 1e9, most = 0;
    double start = Now();
    {
      CZKGetHTTP getter;
      plain = ReadAll(getter, url.c_str(), &least, &most);
    }
    const double read_seconds = Now() - start;
    const std::string query = "?round=" + std::to_string(round);
    const double cold_seconds = TimedDownload(url + query + "-cold", local_path);

    const std::string known = url + query + "-known";
    int64_t size = 0;
    start = Now();
    GetUrlFileSize(known.c_str(), size);
    const double probe_seconds = Now() - start;
    const double warm_seconds = TimedDownload(known, local_path);
    if (plain <= 0 || cold_seconds < 0 || warm_seconds < 0 || size != plain) {
      std::printf("download failed: read %lld bytes, size %lld, downloads %.2f s and %.2f s\n", plain,
                  static_cast<long long>(size), cold_seconds, warm_seconds);
      return 1;
    }
    std::printf("round %d: read %.2f s, download %.2f s, size probe %.2f s, download of a known size %.2f s\n", round,
                read_seconds, cold_seconds, probe_seconds, warm_seconds);
    cold.emplace_back(cold_seconds, read_seconds);
    warm.emplace_back(warm_seconds, read_seconds);
    probe.emplace_back(probe_seconds, read_seconds);
  }
  const std::string mib = std::to_string(plain >> 20);
  PrintMedianRound(("download-" + mib + "MiB").c_str(), cold, "<=1.2");
  PrintMedianRound(("download-" + mib + "MiB-size-known").c_str(), warm, "<=1.2");
  PrintMedianRound(("size-probe-" + mib + "MiB").c_str(), probe, "-");
  return 0;
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
