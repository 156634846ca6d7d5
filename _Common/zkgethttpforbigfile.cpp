// The socket HTTP getter for large files: request text, response header and body reads.
#include "_Common/zkgethttpforbigfile.h"

#include <cinttypes>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <vector>

#include "framework/interneturl.h"

namespace {

const char kRangeHeaderFormat[] = "Range: bytes=%" PRId64 "-";
const char kAgentLine[] = "User-Agent: Mozilla/4.0 (compatible; ZKGetHTTPForBigFile)\r\n";

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsNoCase(const std::string& text, const char* word) {
  size_t i = 0;
  for (; word[i]; ++i) {
    if (i >= text.size() || AsciiLower(text[i]) != AsciiLower(word[i])) return false;
  }
  return i == text.size();
}

// A decimal number as the C library's atoi family reads it: optional blanks,
// an optional sign, then digits up to the first other character; 0 when
// there are none. Values beyond the range stop at its ends.
int64_t DecimalPrefix(const std::string& text, size_t from) {
  while (from < text.size() && (text[from] == ' ' || text[from] == '\t')) ++from;
  bool negative = false;
  if (from < text.size() && (text[from] == '-' || text[from] == '+')) negative = text[from++] == '-';
  int64_t value = 0;
  for (; from < text.size() && text[from] >= '0' && text[from] <= '9'; ++from) {
    int digit = text[from] - '0';
    if (value > (INT64_MAX - digit) / 10) return negative ? INT64_MIN : INT64_MAX;
    value = value * 10 + digit;
  }
  return negative ? -value : value;
}

}  // namespace

CZKGetHTTPForBigFile::CZKGetHTTPForBigFile(unsigned wait_ms, IZKSocketCalls* calls)
    : m_wait_ms(wait_ms), m_calls(calls ? *calls : ZKSocketPlatformCalls()) {
  Reset();
}

CZKGetHTTPForBigFile::~CZKGetHTTPForBigFile() { Reset(); }

void CZKGetHTTPForBigFile::Reset() {
  if (m_socket != -1) m_calls.CloseSocket(m_socket);
  m_socket = -1;
  m_path.clear();
  m_host.clear();
  m_extra_headers.clear();
  m_status = -1;
  m_content_length = -1;
  m_may_send = 1;
  m_received = 0;
  m_known_queued = 0;
}

int CZKGetHTTPForBigFile::Open(const char* url, int64_t offset) {
  int code = Connect(url);
  if (code != ZKGETHTTP_OK) return code;
  if (offset > 0) code = AddRequestHeader(kRangeHeaderFormat, offset);
  if (code == ZKGETHTTP_OK) code = SendRequest();
  if (code == ZKGETHTTP_OK) code = ReadResponseHeader();
  if (code != ZKGETHTTP_OK) Reset();
  return code;
}

int CZKGetHTTPForBigFile::Connect(const char* url) {
  if (!url || !*url) return ZKGETHTTP_BAD_ARGUMENT;
  zkframework::UrlParts<char> parts;
  if (!zkframework::SplitUrl(url, parts) || parts.service != AFX_INET_SERVICE_HTTP) return ZKGETHTTP_NOT_HTTP_URL;
  Reset();
  m_socket = m_calls.CreateSocket();
  if (m_socket == -1 || parts.port == 0) return ZKGETHTTP_CANT_CONNECT;
  if (!m_calls.ConnectTo(m_socket, parts.server.c_str(), parts.port)) return ZKGETHTTP_CANT_CONNECT;
  m_path = parts.object;
  m_host = parts.server;
  return ZKGETHTTP_OK;
}

int CZKGetHTTPForBigFile::AddRequestHeader(const char* format, ...) {
  if (!format) return ZKGETHTTP_BAD_ARGUMENT;
  if (m_socket == -1) return ZKGETHTTP_NOT_OPEN;
  if (!m_may_send) return ZKGETHTTP_ALREADY_SENT;
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  int length = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::vector<char> line(length > 0 ? static_cast<size_t>(length) + 1 : 1);
  if (length > 0) std::vsnprintf(line.data(), line.size(), format, again);
  va_end(again);
  if (length <= 0) return ZKGETHTTP_BAD_ARGUMENT;
  m_extra_headers.append(line.data(), static_cast<size_t>(length));
  m_extra_headers += "\r\n";
  return ZKGETHTTP_OK;
}

int CZKGetHTTPForBigFile::SendRequest() {
  if (m_socket == -1) return ZKGETHTTP_NOT_OPEN;
  if (!m_may_send) return ZKGETHTTP_ALREADY_SENT;
  std::string request = "GET " + m_path + " HTTP/1.1\r\n";
  request += m_extra_headers;
  request += kAgentLine;
  request += "Host: " + m_host + "\r\n";
  request += "Cache-Control: no-cache\r\nConnection: Keep-Alive\r\n\r\n";
  if (request.size() > static_cast<size_t>(INT_MAX)) return ZKGETHTTP_CANT_SEND;
  int length = static_cast<int>(request.size());
  if (m_calls.Send(m_socket, request.data(), length) != length) return ZKGETHTTP_CANT_SEND;
  m_may_send = 0;
  return ZKGETHTTP_OK;
}

// The header arrives one byte per receive, so that no byte of the body is
// taken out of the socket before Read asks for it.
int CZKGetHTTPForBigFile::ReadResponseHeader() {
  if (m_socket == -1) return ZKGETHTTP_NOT_OPEN;
  std::string line;
  bool first = true;
  for (;;) {
    if (line.size() > kMaxHeaderLine) return ZKGETHTTP_HEADER_LINE_TOO_LONG;
    // A peer that stops in the middle of the header must not hold the
    // caller forever: each byte gets the same wait as the body's data.
    int ready = WaitForData();
    if (ready == 0) return ZKGETHTTP_TIMED_OUT;
    char byte;
    if (ready < 0 || ReceiveQueued(&byte, 1) != 1) return ZKGETHTTP_RECEIVE_FAILED;
    if (byte == '\r') continue;
    if (byte != '\n') {
      line += byte;
      continue;
    }
    if (!first && line.empty()) break;
    int code = TakeHeaderLine(line, first);
    if (code != ZKGETHTTP_OK) return code;
    first = false;
    line.clear();
  }
  if (m_status / 100 == 2) return ZKGETHTTP_OK;
  return m_status < 0 ? ZKGETHTTP_NO_STATUS : ZKGETHTTP_STATUS_NOT_ACCEPTED;
}

int CZKGetHTTPForBigFile::TakeHeaderLine(const std::string& line, bool first) {
  if (first) {
    m_status_line = line;
    size_t blank = line.find(' ');
    size_t second = blank == std::string::npos ? blank : line.find(' ', blank + 1);
    if (second == std::string::npos) return ZKGETHTTP_NO_STATUS;
    int64_t status = DecimalPrefix(line.substr(0, second), blank + 1);
    m_status = status > INT_MAX ? INT_MAX : status < INT_MIN ? INT_MIN : static_cast<int>(status);
    return ZKGETHTTP_OK;
  }
  size_t colon = line.find(':');
  if (colon == std::string::npos || !EqualsNoCase(line.substr(0, colon), "Content-Length")) return ZKGETHTTP_OK;
  size_t value = colon + 1;
  while (value < line.size() && line[value] == ' ') ++value;
  m_content_length = DecimalPrefix(line, value);
  return ZKGETHTTP_OK;
}

// Each socket call costs tens of microseconds under Wine, as much as the
// receive itself: bytes already queued are taken without asking select,
// which would only report the socket readable at once. The count of queued
// bytes is asked for only once the bytes last counted have been taken.
int CZKGetHTTPForBigFile::WaitForData() {
  if (m_known_queued == 0) m_known_queued = m_calls.QueuedBytes(m_socket);
  if (m_known_queued > 0) return 1;
  return m_calls.WaitReadable(m_socket, m_wait_ms);
}

int CZKGetHTTPForBigFile::ReceiveQueued(char* buffer, int length) {
  int received = m_calls.Receive(m_socket, buffer, length);
  unsigned long taken = received > 0 ? static_cast<unsigned long>(received) : 0;
  m_known_queued = taken < m_known_queued ? m_known_queued - taken : 0;
  return received;
}

int CZKGetHTTPForBigFile::Read(void* buffer, uint32_t length, uint32_t& got) {
  if (m_socket == -1) return ZKGETHTTP_NOT_OPEN;
  if (!buffer) return ZKGETHTTP_BAD_ARGUMENT;
  char* bytes = static_cast<char*>(buffer);
  got = 0;
  int code = ZKGETHTTP_OK;
  while (code == ZKGETHTTP_OK && got < length) {
    bool announced = m_content_length >= 1;
    if (announced && m_received >= m_content_length) break;
    int ready = WaitForData();
    if (ready < 0) code = ZKGETHTTP_RECEIVE_FAILED;
    if (ready == 0) code = ZKGETHTTP_TIMED_OUT;
    if (ready <= 0) break;
    // Never take more than the announced body: what follows it is not ours.
    uint64_t wanted = length - got;
    if (announced && wanted > static_cast<uint64_t>(m_content_length - m_received))
      wanted = static_cast<uint64_t>(m_content_length - m_received);
    if (wanted > static_cast<uint64_t>(INT_MAX)) wanted = INT_MAX;
    int received = ReceiveQueued(bytes + got, static_cast<int>(wanted));
    if (received <= 0) break;
    got += static_cast<uint32_t>(received);
    m_received += received;
  }
  return code;
}
