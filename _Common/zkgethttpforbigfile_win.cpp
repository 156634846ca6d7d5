// Winsock calls of the socket HTTP getter.
#include <winsock2.h>
#include <windows.h>

#include "_Common/zkgethttpforbigfile.h"

namespace {

class CWinsockCalls : public IZKSocketCalls {
 public:
  int CreateSocket() override {
    SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    return s == INVALID_SOCKET ? -1 : static_cast<int>(s);
  }

  // A dotted IPv4 address first, else the first address of a name lookup.
  bool ConnectTo(int s, const char* host, unsigned short port) override {
    sockaddr_in address = {};
    address.sin_port = htons(port);
    unsigned long numeric = inet_addr(host);
    if (numeric != INADDR_NONE) {
      address.sin_family = AF_INET;
      address.sin_addr.s_addr = numeric;
    } else {
      hostent* entry = gethostbyname(host);
      if (!entry || !entry->h_addr_list || !entry->h_addr_list[0] ||
          entry->h_length != static_cast<int>(sizeof(address.sin_addr)))
        return false;
      address.sin_family = static_cast<short>(entry->h_addrtype);
      memcpy(&address.sin_addr, entry->h_addr_list[0], sizeof(address.sin_addr));
    }
    return connect(static_cast<SOCKET>(s), reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
  }

  int Send(int s, const char* data, int length) override { return send(static_cast<SOCKET>(s), data, length, 0); }

  int Receive(int s, char* buffer, int length) override {
    return recv(static_cast<SOCKET>(s), buffer, length, 0);
  }

  int WaitReadable(int s, unsigned timeout_ms) override {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(static_cast<SOCKET>(s), &readable);
    timeval wait = {static_cast<long>(timeout_ms / 1000), static_cast<long>(timeout_ms % 1000) * 1000};
    int result = select(0, &readable, nullptr, nullptr, &wait);
    return result == SOCKET_ERROR ? -1 : result;
  }

  unsigned long QueuedBytes(int s) override {
    u_long queued = 0;
    return ioctlsocket(static_cast<SOCKET>(s), FIONREAD, &queued) == 0 ? queued : 0;
  }

  void CloseSocket(int s) override { closesocket(static_cast<SOCKET>(s)); }
};

}  // namespace

IZKSocketCalls& ZKSocketPlatformCalls() {
  static CWinsockCalls calls;
  return calls;
}
