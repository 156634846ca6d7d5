// The platform's limit for the framework getter: a bare WinINet client that
// sends the framework getter's request (same flags and range header) and
// reads the body with InternetReadFile in 8192-byte pieces. Prints
// "RESULT <MiB/s> <body bytes> <seconds>".
//   rawwininet_bench http://<host>:<port>/<path>
#include <windows.h>
#include <wininet.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: rawwininet_bench <url>\n");
    return 64;
  }
  char host[256] = {}, path[2048] = {};
  URL_COMPONENTSA parts = {};
  parts.dwStructSize = sizeof(parts);
  parts.lpszHostName = host;
  parts.dwHostNameLength = sizeof(host);
  parts.lpszUrlPath = path;
  parts.dwUrlPathLength = sizeof(path);
  if (!InternetCrackUrlA(argv[1], 0, 0, &parts)) return 64;

  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  HINTERNET session = InternetOpenA("rawwininet_bench", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  HINTERNET connection = InternetConnectA(session, host, parts.nPort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 1);
  const DWORD flags =
      INTERNET_FLAG_RELOAD | INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE;
  HINTERNET request = HttpOpenRequestA(connection, "GET", path, "HTTP/1.1", nullptr, nullptr, flags, 1);
  HttpAddRequestHeadersA(request, "Range: bytes=0-", static_cast<DWORD>(-1), HTTP_ADDREQ_FLAG_ADD_IF_NEW);
  if (!request || !HttpSendRequestA(request, nullptr, 0, nullptr, 0)) {
    std::fprintf(stderr, "request failed: %lu\n", GetLastError());
    return 1;
  }
  static char buffer[8192];
  long long body = 0;
  DWORD got = 0;
  while (InternetReadFile(request, buffer, sizeof(buffer), &got) && got > 0) body += got;
  QueryPerformanceCounter(&end);
  const double seconds = double(end.QuadPart - start.QuadPart) / frequency.QuadPart;
  InternetCloseHandle(request);
  InternetCloseHandle(connection);
  InternetCloseHandle(session);
  std::printf("RESULT %.1f %lld %.3f\n", body / 1048576.0 / seconds, body, seconds);
  return 0;
}
