// Tests of the socket HTTP getter against the fault server and nginx, and
// of its failure paths through a replaced set of socket calls.
#ifdef _WIN32
#include <winsock2.h>
#endif

#include "_Common/zkgethttpforbigfile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/httppeers.h"

namespace {

using zkhttptest::FaultRoot;
using zkhttptest::NginxRoot;

#ifdef _WIN32
// The programs rely on the process having the sockets library started; the
// test program starts it itself.
class SocketsEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    WSADATA data;
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
  }
  void TearDown() override { WSACleanup(); }
};
const auto* const kSockets = ::testing::AddGlobalTestEnvironment(new SocketsEnvironment);
#endif

// Long enough for a busy machine to deliver an answer that is on its way,
// well short of the fault server's 4-second stalls.
const unsigned kShortWait = 2000;

// Opens url and reads the whole body in 8192-byte pieces.
struct Fetch {
  int open = -1;
  int last_read = -1;
  std::string body;
};

Fetch FetchAll(CZKGetHTTPForBigFile& getter, const std::string& url, int64_t offset = 0) {
  Fetch result;
  result.open = getter.Open(url.c_str(), offset);
  if (result.open != 0) return result;
  std::vector<char> buffer(8192);
  for (;;) {
    uint32_t got = 0;
    result.last_read = getter.Read(buffer.data(), 8192, got);
    result.body.append(buffer.data(), got);
    if (result.last_read != 0 || got == 0) break;
  }
  return result;
}

std::string ExpectedRequest(const std::string& path, const std::string& extra) {
  return "GET " + path + " HTTP/1.1\r\n" + extra +
         "User-Agent: Mozilla/4.0 (compatible; ZKGetHTTPForBigFile)\r\n"
         "Host: 127.0.0.1\r\n"
         "Cache-Control: no-cache\r\n"
         "Connection: Keep-Alive\r\n\r\n";
}

TEST(BigFileGetterRequest, ExactBytesWithoutAndWithRange) {
  CZKGetHTTPForBigFile getter(kShortWait);
  Fetch at_zero = FetchAll(getter, FaultRoot() + "/ok/a?x=1");
  EXPECT_EQ(at_zero.open, 0);
  EXPECT_EQ(at_zero.body, "0123456789");
  EXPECT_EQ(zkhttptest::RecordedRequest("ok"), ExpectedRequest("/ok/a?x=1", ""));

  Fetch at_five = FetchAll(getter, FaultRoot() + "/partial", 5);
  EXPECT_EQ(at_five.open, 0);
  EXPECT_EQ(at_five.body, "56789");
  EXPECT_EQ(zkhttptest::RecordedRequest("partial"), ExpectedRequest("/partial", "Range: bytes=5-\r\n"));
}

TEST(BigFileGetterRequest, ExtraHeaderLinesGoBeforeTheAgent) {
  CZKGetHTTPForBigFile getter(kShortWait);
  EXPECT_EQ(getter.AddRequestHeader("X-Before: %d", 1), 3);  // no socket yet
  ASSERT_EQ(getter.Connect((FaultRoot() + "/ok").c_str()), 0);
  EXPECT_EQ(getter.AddRequestHeader(nullptr), 1);
  EXPECT_EQ(getter.AddRequestHeader("%s", ""), 1);
  EXPECT_EQ(getter.AddRequestHeader("X-Test: %d-%s", 42, "z"), 0);
  ASSERT_EQ(getter.SendRequest(), 0);
  EXPECT_EQ(getter.SendRequest(), 10);
  EXPECT_EQ(getter.AddRequestHeader("X-After: 1"), 10);
  ASSERT_EQ(getter.ReadResponseHeader(), 0);
  EXPECT_EQ(zkhttptest::RecordedRequest("ok"), ExpectedRequest("/ok", "X-Test: 42-z\r\n"));
}

struct HeaderCase {
  const char* name;
  int open;
  int status;
  int64_t content_length;
  const char* body;  // expected body when open is 0
};

const HeaderCase kHeaderCases[] = {
    {"ok", 0, 200, 10, "0123456789"},
    {"noreason", 5, -1, -1, ""},
    {"line8192", 0, 200, 2, "ok"},
    {"line8193", 14, 200, -1, ""},
    {"statusline8193", 14, -1, -1, ""},
    {"clmixed", 0, 200, 7, "seven!!"},
    {"clblank", 0, 200, -1, "whole body"},
    {"bare_lf", 0, 200, 3, "abc"},
    {"s204", 0, 204, -1, ""},
    {"s299", 0, 299, 3, "odd"},
    {"s199", 6, 199, 0, ""},
    {"s300", 6, 300, 0, ""},
    {"negative", 5, -5, 0, ""},
    {"garbage", 5, -1, -1, ""},
    {"notnumber", 6, 0, 0, ""},
    {"cutheader", 12, 200, -1, ""},
    {"zerolength", 0, 200, 0, "late"},
};

// The status and length are read before Open resets a failed request, so
// the header steps run one by one here.
TEST(BigFileGetterHeader, TableOfAnswers) {
  for (const HeaderCase& c : kHeaderCases) {
    SCOPED_TRACE(c.name);
    CZKGetHTTPForBigFile getter(kShortWait);
    std::string url = FaultRoot() + "/" + c.name;
    ASSERT_EQ(getter.Connect(url.c_str()), 0);
    ASSERT_EQ(getter.SendRequest(), 0);
    EXPECT_EQ(getter.ReadResponseHeader(), c.open);
    EXPECT_EQ(getter.StatusCode(), c.status);
    EXPECT_EQ(getter.ContentLength(), c.content_length);
    if (c.open != 0) continue;
    std::string body;
    char buffer[8192];
    uint32_t got = 0;
    do {
      ASSERT_EQ(getter.Read(buffer, sizeof(buffer), got), 0);
      body.append(buffer, got);
    } while (got != 0);
    EXPECT_EQ(body, c.body);
  }
}

TEST(BigFileGetterHeader, FailedOpenResetsButKeepsTheStatusLine) {
  CZKGetHTTPForBigFile getter(kShortWait);
  EXPECT_EQ(getter.Open((FaultRoot() + "/noreason").c_str(), 0), 5);
  EXPECT_EQ(getter.StatusLine(), "HTTP/1.1 200");
  EXPECT_EQ(getter.StatusCode(), -1);
  uint32_t got = 7;
  char byte;
  EXPECT_EQ(getter.Read(&byte, 1, got), 3);
}

TEST(BigFileGetterHeader, ContentLengthIsSixtyFourBits) {
  CZKGetHTTPForBigFile getter(kShortWait);
  ASSERT_EQ(getter.Open((FaultRoot() + "/bigclaim").c_str(), 0), 0);
  EXPECT_EQ(getter.ContentLength(), 5368709121LL);
}

TEST(BigFileGetterRead, PeerClosesAfterHundredBytes) {
  CZKGetHTTPForBigFile getter(kShortWait);
  ASSERT_EQ(getter.Open((FaultRoot() + "/cut100").c_str(), 0), 0);
  std::vector<char> buffer(8192);
  uint32_t got = 0;
  EXPECT_EQ(getter.Read(buffer.data(), 8192, got), 0);
  ASSERT_EQ(got, 100u);
  for (size_t i = 0; i < got; ++i) ASSERT_EQ(static_cast<unsigned char>(buffer[i]), zkhttptest::FaultPatternByte(i));
  EXPECT_EQ(getter.Read(buffer.data(), 8192, got), 0);
  EXPECT_EQ(got, 0u);
}

TEST(BigFileGetterRead, StallGivesTimeOutWithTheBytesReceived) {
  CZKGetHTTPForBigFile getter(kShortWait);
  ASSERT_EQ(getter.Open((FaultRoot() + "/stall").c_str(), 0), 0);
  std::vector<char> buffer(8192);
  uint32_t got = 0;
  EXPECT_EQ(getter.Read(buffer.data(), 8192, got), 15);
  EXPECT_EQ(got, 10u);
}

TEST(BigFileGetterRead, StallInsideTheHeaderTimesOut) {
  CZKGetHTTPForBigFile getter(kShortWait);
  EXPECT_EQ(getter.Open((FaultRoot() + "/stallheader").c_str(), 0), 15);
}

TEST(BigFileGetterRead, BodyIsHandedOutInCallerSizedPieces) {
  CZKGetHTTPForBigFile getter(kShortWait);
  ASSERT_EQ(getter.Open((NginxRoot() + "/small.bin").c_str(), 0), 0);
  EXPECT_EQ(getter.ContentLength(), 100000);
  std::vector<unsigned char> buffer(30000);
  uint32_t got = 0;
  uint64_t offset = 0;
  std::vector<uint32_t> sizes;
  do {
    ASSERT_EQ(getter.Read(buffer.data(), static_cast<uint32_t>(buffer.size()), got), 0);
    ASSERT_EQ(zkhttptest::FirstPatternMismatch(buffer.data(), got, offset), -1) << "at " << offset;
    offset += got;
    sizes.push_back(got);
  } while (got != 0);
  EXPECT_EQ(sizes, (std::vector<uint32_t>{30000, 30000, 30000, 10000, 0}));
}

TEST(BigFileGetterNginx, RangesNotFoundAndExplicitPort) {
  CZKGetHTTPForBigFile getter(kShortWait);
  Fetch tail = FetchAll(getter, NginxRoot() + "/small.bin", 99990);
  EXPECT_EQ(tail.open, 0);
  EXPECT_EQ(getter.StatusCode(), 206);
  ASSERT_EQ(tail.body.size(), 10u);
  EXPECT_EQ(zkhttptest::FirstPatternMismatch(reinterpret_cast<const unsigned char*>(tail.body.data()), 10, 99990),
            -1);
  EXPECT_EQ(getter.Open((NginxRoot() + "/missing.bin").c_str(), 0), 6);
  EXPECT_EQ(getter.StatusLine(), "HTTP/1.1 404 Not Found");
  EXPECT_NE(zkhttptest::NginxLog().find("GET /small.bin 206 10 range=bytes=99990- agent=Mozilla/4.0 "
                                        "(compatible; ZKGetHTTPForBigFile)"),
            std::string::npos);
}

TEST(BigFileGetterNginx, OffsetBeyondFourGigabytesOfASparseFile) {
  const int64_t size = 5LL << 30;
  const int64_t offset = size - 70000;
  CZKGetHTTPForBigFile getter(kShortWait);
  Fetch tail = FetchAll(getter, NginxRoot() + "/sparse5g.bin", offset);
  EXPECT_EQ(tail.open, 0);
  EXPECT_EQ(getter.ContentLength(), 70000);
  ASSERT_EQ(tail.body.size(), 70000u);
  EXPECT_EQ(zkhttptest::FirstPatternMismatch(reinterpret_cast<const unsigned char*>(tail.body.data()), 70000,
                                             static_cast<uint64_t>(offset)),
            -1);
  ASSERT_EQ(getter.Open((NginxRoot() + "/sparse5g.bin").c_str(), 0), 0);
  EXPECT_EQ(getter.ContentLength(), size);
}

TEST(BigFileGetterNginx, WholeLargeFileInPieces) {
  CZKGetHTTPForBigFile getter;
  ASSERT_EQ(getter.Open((NginxRoot() + "/big.bin").c_str(), 0), 0);
  const int64_t size = getter.ContentLength();
  ASSERT_GT(size, 100LL << 20);
  uint64_t failed_at = 0;
  EXPECT_EQ(zkhttptest::ReadPatternBody(getter, 0, failed_at), size) << "at " << failed_at;
}

struct ArgumentCase {
  const char* url;
  int64_t offset;
  int code;
};

TEST(BigFileGetterOpen, ArgumentsAndAddresses) {
  const std::string closed_port = "http://127.0.0.1:" + zktest::Env("ZK_HTTP_CLOSED_PORT");
  const ArgumentCase cases[] = {
      {nullptr, 0, 1},
      {"", 0, 1},
      {"https://127.0.0.1/x", 0, 2},
      {"ftp://127.0.0.1/x", 0, 2},
      {"127.0.0.1/x", 0, 2},
      {"http://127.0.0.1/a\r\nX: y", 0, 2},
      {"http://unresolvable.invalid/x", 0, 7},
  };
  for (const ArgumentCase& c : cases) {
    SCOPED_TRACE(c.url ? c.url : "(null)");
    CZKGetHTTPForBigFile getter(kShortWait);
    EXPECT_EQ(getter.Open(c.url, c.offset), c.code);
  }
  CZKGetHTTPForBigFile getter(kShortWait);
  uint32_t got = 0;
  EXPECT_EQ(getter.Read(nullptr, 1, got), 3);
  EXPECT_EQ(getter.Open((closed_port + "/x").c_str(), 0), 7);
  ASSERT_EQ(getter.Open((FaultRoot() + "/ok").c_str(), 0), 0);
  EXPECT_EQ(getter.Read(nullptr, 1, got), 1);
}

// Socket calls that fail on request, over the real ones.
class FailingCalls : public IZKSocketCalls {
 public:
  bool fail_create = false, short_send = false, fail_wait = false, fail_receive = false;

  int CreateSocket() override { return fail_create ? -1 : real_.CreateSocket(); }
  bool ConnectTo(int s, const char* host, unsigned short port) override { return real_.ConnectTo(s, host, port); }
  int Send(int s, const char* data, int length) override {
    return short_send ? real_.Send(s, data, length / 2) : real_.Send(s, data, length);
  }
  int Receive(int s, char* buffer, int length) override { return fail_receive ? -1 : real_.Receive(s, buffer, length); }
  int WaitReadable(int s, unsigned timeout_ms) override {
    ++waits;
    return fail_wait ? -1 : real_.WaitReadable(s, timeout_ms);
  }
  unsigned long QueuedBytes(int s) override { return real_.QueuedBytes(s); }
  void CloseSocket(int s) override { real_.CloseSocket(s); }

  int waits = 0;

 private:
  IZKSocketCalls& real_ = ZKSocketPlatformCalls();
};

TEST(BigFileGetterFailures, EachSocketCallFailing) {
  // The wait comes only when nothing is queued, as inside the stalled header.
  struct Step {
    bool FailingCalls::*flag;
    const char* path;
    int open;
  };
  const Step steps[] = {
      {&FailingCalls::fail_create, "/bare_lf", 7},
      {&FailingCalls::short_send, "/bare_lf", 9},
      {&FailingCalls::fail_wait, "/stallheader", 12},
      {&FailingCalls::fail_receive, "/bare_lf", 12},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.path);
    FailingCalls calls;
    calls.*step.flag = true;
    CZKGetHTTPForBigFile getter(kShortWait, &calls);
    EXPECT_EQ(getter.Open((FaultRoot() + step.path).c_str(), 0), step.open);
  }
  // A read waits only when nothing is queued: the stall after the first ten
  // bytes makes the failing wait certain.
  FailingCalls calls;
  CZKGetHTTPForBigFile getter(kShortWait, &calls);
  ASSERT_EQ(getter.Open((FaultRoot() + "/stall").c_str(), 0), 0);
  char buffer[16];
  uint32_t got = 5;
  ASSERT_EQ(getter.Read(buffer, 10, got), 0);
  ASSERT_EQ(got, 10u);
  calls.fail_wait = true;
  EXPECT_EQ(getter.Read(buffer, sizeof(buffer), got), 12);
  EXPECT_EQ(got, 0u);
}

TEST(BigFileGetterRead, QueuedBytesAreTakenWithoutWaiting) {
  // The fault server sends header and body in one piece, so the body is
  // queued once the header has been read.
  FailingCalls calls;
  CZKGetHTTPForBigFile getter(kShortWait, &calls);
  ASSERT_EQ(getter.Open((FaultRoot() + "/cut100").c_str(), 0), 0);
  calls.waits = 0;
  std::vector<char> buffer(100);
  uint32_t got = 0;
  EXPECT_EQ(getter.Read(buffer.data(), 100, got), 0);
  EXPECT_EQ(got, 100u);
  EXPECT_EQ(calls.waits, 0);
  // Nothing is queued once the peer has closed: the wait reports the close.
  EXPECT_EQ(getter.Read(buffer.data(), 100, got), 0);
  EXPECT_EQ(got, 0u);
  EXPECT_EQ(calls.waits, 1);
}

}  // namespace
