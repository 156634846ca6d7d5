// BSD socket calls of the socket HTTP getter, for the native build of the pure code.
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

#include "_Common/zkgethttpforbigfile.h"

namespace {

class CPosixSocketCalls : public IZKSocketCalls {
 public:
  int CreateSocket() override { return socket(AF_INET, SOCK_STREAM, 0); }

  bool ConnectTo(int s, const char* host, unsigned short port) override {
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    if (inet_pton(AF_INET, host, &address.sin_addr) != 1) {
      hostent* entry = gethostbyname(host);
      if (!entry || !entry->h_addr_list[0] || entry->h_length != static_cast<int>(sizeof(address.sin_addr)))
        return false;
      std::memcpy(&address.sin_addr, entry->h_addr_list[0], sizeof(address.sin_addr));
    }
    return connect(s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
  }

  int Send(int s, const char* data, int length) override {
    return static_cast<int>(send(s, data, static_cast<size_t>(length), MSG_NOSIGNAL));
  }

  int Receive(int s, char* buffer, int length) override {
    return static_cast<int>(recv(s, buffer, static_cast<size_t>(length), 0));
  }

  int WaitReadable(int s, unsigned timeout_ms) override {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(s, &readable);
    timeval wait = {static_cast<time_t>(timeout_ms / 1000), static_cast<suseconds_t>(timeout_ms % 1000) * 1000};
    return select(s + 1, &readable, nullptr, nullptr, &wait);
  }

  unsigned long QueuedBytes(int s) override {
    int queued = 0;
    return ioctl(s, FIONREAD, &queued) == 0 && queued > 0 ? static_cast<unsigned long>(queued) : 0;
  }

  void CloseSocket(int s) override { close(s); }
};

}  // namespace

IZKSocketCalls& ZKSocketPlatformCalls() {
  static CPosixSocketCalls calls;
  return calls;
}
