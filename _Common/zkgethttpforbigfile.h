// The socket HTTP getter for large files: speaks HTTP/1.1 itself over one
// TCP connection, with 64-bit offsets and lengths.
//
// The protocol logic is pure; the socket calls go through IZKSocketCalls,
// which the platform file implements and a test may replace.
#pragma once

#include <cstdint>
#include <string>

#include "_Common/zkgethttpinterface.h"

// The socket calls that the getter makes. Unlike the other system-call seams
// (a process-wide table under ScopedCallsOverride) these are an interface
// that each getter is given at construction: a test's calls are an object
// with state of its own over the real ones (failures switched on in the
// middle of a transfer, a count of waits, canned answers), and only the
// getter given them uses them, while every other getter of the process keeps
// the platform's.
class IZKSocketCalls {
 public:
  virtual ~IZKSocketCalls() = default;
  // A new TCP stream socket, or -1.
  virtual int CreateSocket() = 0;
  // Connects socket to host (dotted IPv4 address, else a name) and port;
  // false when the name cannot be resolved or the connection fails.
  virtual bool ConnectTo(int socket, const char* host, unsigned short port) = 0;
  // One send call; the number of bytes sent, or a negative number.
  virtual int Send(int socket, const char* data, int length) = 0;
  // One receive call: bytes received, 0 when the peer closed, negative on failure.
  virtual int Receive(int socket, char* buffer, int length) = 0;
  // Waits until socket is readable: 1 readable, 0 timed out, negative on failure.
  virtual int WaitReadable(int socket, unsigned timeout_ms) = 0;
  // The bytes that a receive would take at once; 0 when none are queued or
  // the count cannot be had.
  virtual unsigned long QueuedBytes(int socket) = 0;
  virtual void CloseSocket(int socket) = 0;
};

// The platform's sockets (Winsock on Windows). The process must have the
// sockets library started before the first call.
IZKSocketCalls& ZKSocketPlatformCalls();

class CZKGetHTTPForBigFile : public IZKGetHTTP {
 public:
  // The wait for data in Read and for each header byte.
  static constexpr unsigned kDefaultWaitMilliseconds = 50000;
  // The longest response header line that is accepted.
  static constexpr size_t kMaxHeaderLine = 8192;

  // The programs use the defaults; tests shorten the wait or replace the sockets.
  explicit CZKGetHTTPForBigFile(unsigned wait_ms = kDefaultWaitMilliseconds, IZKSocketCalls* calls = nullptr);
  ~CZKGetHTTPForBigFile() override;
  CZKGetHTTPForBigFile(const CZKGetHTTPForBigFile&) = delete;
  CZKGetHTTPForBigFile& operator=(const CZKGetHTTPForBigFile&) = delete;

  // Connects, sends the GET (with a range header from a positive offset on)
  // and reads the response header; 0 for a status from 200 to 299.
  int Open(const char* url, int64_t offset) override;
  // Fills buffer from as many receives as needed, up to length bytes or the
  // end of the announced body; 0 also when the peer closed the connection.
  int Read(void* buffer, uint32_t length, uint32_t& got) override;
  // Closes the socket and forgets the request (the status line text stays).
  void Reset();
  // Adds one request header line, printf-style, before the request is sent.
  int AddRequestHeader(const char* format, ...);

  int Connect(const char* url);
  int SendRequest();
  int ReadResponseHeader();

  // The answer's status line, status code (-1 before one was read) and the
  // announced body length (-1 when none was announced).
  const std::string& StatusLine() const { return m_status_line; }
  int StatusCode() const { return m_status; }
  int64_t ContentLength() const { return m_content_length; }

 private:
  int TakeHeaderLine(const std::string& line, bool first);
  int WaitForData();
  int ReceiveQueued(char* buffer, int length);

  int m_socket = -1;
  int m_may_send = 1;
  std::string m_path;
  std::string m_host;
  std::string m_extra_headers;
  std::string m_status_line;
  int m_status = -1;
  int64_t m_content_length = -1;
  int64_t m_received = 0;
  // Bytes the socket was last seen to hold that no receive has taken yet.
  unsigned long m_known_queued = 0;
  unsigned m_wait_ms;
  IZKSocketCalls& m_calls;
};
