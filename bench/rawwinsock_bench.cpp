// The platform's limit for the socket getter: a bare Winsock client that
// sends the socket getter's GET and receives the answer in 8192-byte pieces,
// with nothing else per piece. Prints "RESULT <MiB/s> <body bytes> <seconds>".
//   rawwinsock_bench http://<IPv4 address>:<port>/<path>
#include <winsock2.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
  unsigned address[4] = {};
  unsigned port = 0;
  int path_at = 0;
  if (argc != 2 || std::sscanf(argv[1], "http://%u.%u.%u.%u:%u%n", &address[0], &address[1], &address[2],
                               &address[3], &port, &path_at) != 5) {
    std::fprintf(stderr, "usage: rawwinsock_bench http://<IPv4 address>:<port>/<path>\n");
    return 64;
  }
  const std::string host = std::to_string(address[0]) + "." + std::to_string(address[1]) + "." +
                           std::to_string(address[2]) + "." + std::to_string(address[3]);
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);

  SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in peer = {};
  peer.sin_family = AF_INET;
  peer.sin_port = htons(static_cast<u_short>(port));
  peer.sin_addr.s_addr = inet_addr(host.c_str());
  if (connect(s, reinterpret_cast<sockaddr*>(&peer), sizeof(peer)) != 0) {
    std::fprintf(stderr, "connect failed: %d\n", WSAGetLastError());
    return 1;
  }
  const std::string request = std::string("GET ") + (argv[1] + path_at) +
                              " HTTP/1.1\r\nUser-Agent: Mozilla/4.0 (compatible; ZKGetHTTPForBigFile)\r\nHost: " +
                              host + "\r\nCache-Control: no-cache\r\nConnection: Keep-Alive\r\n\r\n";
  send(s, request.data(), static_cast<int>(request.size()), 0);

  static char buffer[8192];
  std::string header;
  long long body = 0, length = -1;
  for (;;) {
    int n = recv(s, buffer, sizeof(buffer), 0);
    if (n <= 0) break;
    if (length < 0) {
      header.append(buffer, n);
      size_t end_of_header = header.find("\r\n\r\n");
      if (end_of_header == std::string::npos) continue;
      const char* field = std::strstr(header.c_str(), "Content-Length:");
      length = field ? std::atoll(field + 15) : (1LL << 62);
      body = static_cast<long long>(header.size() - end_of_header - 4);
    } else {
      body += n;
    }
    if (body >= length) break;
  }
  closesocket(s);
  QueryPerformanceCounter(&end);
  const double seconds = double(end.QuadPart - start.QuadPart) / frequency.QuadPart;
  std::printf("RESULT %.1f %lld %.3f\n", body / 1048576.0 / seconds, body, seconds);
  return body == length ? 0 : 1;
}
