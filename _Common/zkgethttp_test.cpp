// Tests of the framework HTTP getter (both widths) and the size probe,
// under Wine against nginx and the fault server.
#include "_Common/zkgethttp.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/httppeers.h"
#include "tests/support/peer.h"
#include "tests/support/wizard_texts.h"

namespace {

using zkhttptest::FaultRoot;
using zkhttptest::NginxRoot;

// The update wizard's application title in code page 949, the agent of
// every session opened without one (this test program carries the title as
// its string 57344, as the wizard does), and the same bytes as nginx writes
// them into its log.
const char* const kTitleAgent = wizardtexts::kTitle.cp949;
const char kTitleAgentLogged[] =
    "\\xB0\\xD4\\xC0\\xD3 \\xBE\\xF7\\xB5\\xA5\\xC0\\xCC\\xC6\\xAE \\xB8\\xB6\\xB9\\xFD\\xBB\\xE7";

struct Fetch {
  int open = -1;
  int last_read = -1;
  std::string body;
};

template <typename Getter, typename Url>
Fetch FetchAll(Getter& getter, const Url& url, int64_t offset) {
  Fetch result;
  result.open = getter.Open(url, offset);
  std::vector<char> buffer(8192);
  for (;;) {
    uint32_t got = 0;
    result.last_read = getter.Read(buffer.data(), 8192, got);
    if (result.last_read != 0) break;
    result.body.append(buffer.data(), got);
    if (got == 0) break;
  }
  return result;
}

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

TEST(FrameworkGetterRequest, RangeFromZeroAgentCacheFlagsAndConnectTimeOut) {
  const std::string url = FaultRoot() + "/ok/x?y=1";
  DeleteUrlCacheEntryA(url.c_str());  // a cache entry left by an earlier build would hide the check below
  CZKGetHTTP getter;
  Fetch fetch = FetchAll(getter, url.c_str(), 0);
  EXPECT_EQ(fetch.open, 0);
  EXPECT_EQ(fetch.body, "0123456789");
  const std::string request = zkhttptest::RecordedRequest("ok");
  EXPECT_EQ(request.rfind("GET /ok/x?y=1 HTTP/1.1\r\n", 0), 0u) << request;
  EXPECT_NE(request.find("\r\nRange: bytes=0-\r\n"), std::string::npos) << request;
  EXPECT_NE(request.find("\r\nPragma: no-cache\r\n"), std::string::npos) << request;
  // Without an agent the session takes the application title.
  EXPECT_NE(request.find(std::string("\r\nUser-Agent: ") + kTitleAgent + "\r\n"), std::string::npos) << request;
  EXPECT_NE(request.find("\r\nHost: 127.0.0.1:" + zktest::Env("ZK_HTTP_FAULT_PORT") + "\r\n"),
            std::string::npos)
      << request;

  // The request inherits the session's connect time-out, and its answer
  // is never written into the cache.
  ASSERT_NE(getter.Request(), nullptr);
  DWORD timeout = 0, size = sizeof(timeout);
  ASSERT_TRUE(InternetQueryOptionA(getter.Request()->GetHandle(), INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, &size));
  EXPECT_EQ(timeout, 10000u);
  DWORD entry_size = 0;
  EXPECT_FALSE(GetUrlCacheEntryInfoA(url.c_str(), nullptr, &entry_size));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

  CZKGetHTTP named("Test Agent");
  EXPECT_EQ(named.Open((FaultRoot() + "/partial").c_str(), 5), 0);
  const std::string ranged = zkhttptest::RecordedRequest("partial");
  EXPECT_NE(ranged.find("\r\nRange: bytes=5-\r\n"), std::string::npos) << ranged;
  EXPECT_NE(ranged.find("\r\nUser-Agent: Test Agent\r\n"), std::string::npos) << ranged;
}

// The framework's session with no agent (the application name) still goes
// through the proxy that it is given.
TEST(FrameworkSession, NullAgentKeepsTheProxy) {
  const std::string proxy = "127.0.0.1:" + zktest::Env("ZK_HTTP_FAULT_PORT");
  CInternetSession session(static_cast<const char*>(nullptr), 1, INTERNET_OPEN_TYPE_PROXY, proxy.c_str(), nullptr);
  std::unique_ptr<CHttpConnection> connection(session.GetHttpConnection("proxied.invalid", 80));
  std::unique_ptr<CHttpFile> file(connection->OpenRequest("GET", "/ok/proxied", nullptr, 1, nullptr, nullptr,
                                                          INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE));
  ASSERT_TRUE(file->SendRequest());
  DWORD status = 0;
  ASSERT_TRUE(file->QueryInfoStatusCode(status));
  EXPECT_EQ(status, 200u);
  const std::string request = zkhttptest::RecordedRequest("ok");
  EXPECT_EQ(request.rfind("GET http://proxied.invalid", 0), 0u) << request;
  EXPECT_NE(request.find("/ok/proxied HTTP/1.1\r\n"), std::string::npos) << request;
  EXPECT_NE(request.find(std::string("\r\nUser-Agent: ") + kTitleAgent + "\r\n"), std::string::npos) << request;
}

struct StatusCase {
  const char* path;
  int open;
  const char* body;  // the body that Read hands out afterwards
};

TEST(FrameworkGetterStatus, OnlyTwoHundredAndTwoHundredSixAreAccepted) {
  const StatusCase cases[] = {
      {"/ok", 0, "0123456789"}, {"/partial", 0, "56789"}, {"/noreason", 0, "ok"},
      {"/s204", 6, ""},         {"/s299", 6, "odd"},      {"/s300", 6, ""},
  };
  for (const StatusCase& c : cases) {
    SCOPED_TRACE(c.path);
    CZKGetHTTP getter;
    // A refused answer stays open, and Read hands out its body.
    Fetch fetch = FetchAll(getter, (FaultRoot() + c.path).c_str(), 0);
    EXPECT_EQ(fetch.open, c.open);
    EXPECT_EQ(fetch.last_read, 0);
    EXPECT_EQ(fetch.body, c.body);
  }
  CZKGetHTTP getter;
  EXPECT_EQ(getter.Open((NginxRoot() + "/missing.bin").c_str(), 0), 6);
}

// A getter made to refuse redirects takes a 302 for a refused answer and
// asks its target nothing, in both widths and in the size probe; the
// getter as it is made by default follows it.
TEST(FrameworkGetterRedirects, RefusedOnlyWhereAsked) {
  const std::string moved = FaultRoot() + "/moved/x";
  DeleteFileA(zktest::HostPath(zktest::Env("ZK_HTTP_STATE") + "/fault/requests/movedto.req").c_str());
  CZKGetHTTP refusing(nullptr, ZKRedirects::kRefuse);
  EXPECT_EQ(refusing.Open(moved.c_str(), 0), 6);
  CZKGetHTTPW wide(L"", ZKRedirects::kRefuse);
  EXPECT_EQ(wide.Open(Wide(moved).c_str(), 0), 6);
  EXPECT_EQ(ProbeUrlFileSize(moved.c_str(), ZKRedirects::kRefuse), -1);
  EXPECT_EQ(zkhttptest::RecordedRequest("movedto"), "");

  CZKGetHTTP following;
  Fetch fetch = FetchAll(following, moved.c_str(), 0);
  EXPECT_EQ(fetch.open, 0);
  EXPECT_EQ(fetch.body, "0123456789");
  EXPECT_EQ(zkhttptest::RecordedRequest("movedto").rfind("GET /movedto/x HTTP/1.1\r\n", 0), 0u);
  EXPECT_EQ(ProbeUrlFileSize(moved.c_str()), 10);
}

TEST(FrameworkGetterOpen, ArgumentsAddressesAndClosedState) {
  CZKGetHTTP getter;
  uint32_t got = 0;
  char byte;
  EXPECT_EQ(getter.Read(&byte, 1, got), 3);
  int64_t length = 0;
  EXPECT_EQ(getter.GetContentLength(length), 3);
  EXPECT_EQ(getter.Open(nullptr, 0), 1);
  EXPECT_EQ(getter.Open("", 0), 1);
  EXPECT_EQ(getter.Open("https://127.0.0.1/x", 0), 2);
  EXPECT_EQ(getter.Open("ftp://127.0.0.1/x", 0), 2);
  EXPECT_EQ(getter.Open((FaultRoot() + "/ok").c_str(), -1), 1);
  getter.Close();
  getter.Close();
  EXPECT_EQ(getter.Read(&byte, 1, got), 3);
  const std::string closed = "http://127.0.0.1:" + zktest::Env("ZK_HTTP_CLOSED_PORT");
  EXPECT_EQ(getter.Open((closed + "/x").c_str(), 0), 9);
}

TEST(FrameworkGetterContentLength, SixtyFourBitsAndMissing) {
  struct Case {
    std::string url;
    int code;
    int64_t length;
  };
  const Case cases[] = {
      {FaultRoot() + "/ok", 0, 10},
      {FaultRoot() + "/bigclaim", 0, 5368709121LL},
      {FaultRoot() + "/nolength", 4, -7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    CZKGetHTTP getter;
    ASSERT_EQ(getter.Open(c.url.c_str(), 0), 0);
    int64_t length = -7;
    EXPECT_EQ(getter.GetContentLength(length), c.code);
    EXPECT_EQ(length, c.length);
  }
}

TEST(ProbeUrlFileSize, SizesAndFailures) {
  const std::string closed = "http://127.0.0.1:" + zktest::Env("ZK_HTTP_CLOSED_PORT");
  EXPECT_EQ(ProbeUrlFileSize(nullptr), -1);
  EXPECT_EQ(ProbeUrlFileSize((NginxRoot() + "/small.bin").c_str()), 100000);
  EXPECT_EQ(ProbeUrlFileSize((NginxRoot() + "/empty.bin").c_str()), 0);
  // A size beyond 4 GB from a server that announces it and closes: under Wine,
  // closing a request reads the rest of its body, so a real 5 GB file would be
  // read whole by the probe.
  EXPECT_EQ(ProbeUrlFileSize((FaultRoot() + "/bigclaim").c_str()), 5368709121LL);
  EXPECT_EQ(ProbeUrlFileSize((NginxRoot() + "/missing.bin").c_str()), -1);
  EXPECT_EQ(ProbeUrlFileSize((FaultRoot() + "/nolength").c_str()), -1);
  EXPECT_EQ(ProbeUrlFileSize(("https://127.0.0.1:" + zktest::Env("ZK_HTTP_NGINX_PORT") + "/small.bin").c_str()),
            -1);
  EXPECT_EQ(ProbeUrlFileSize((closed + "/small.bin").c_str()), -1);
}

TEST(FrameworkGetterNginx, RangesLargeFileAndOffsetsBeyondFourGigabytes) {
  CZKGetHTTP getter;
  Fetch tail = FetchAll(getter, (NginxRoot() + "/small.bin").c_str(), 99990);
  EXPECT_EQ(tail.open, 0);
  ASSERT_EQ(tail.body.size(), 10u);
  EXPECT_EQ(zkhttptest::FirstPatternMismatch(reinterpret_cast<const unsigned char*>(tail.body.data()), 10, 99990),
            -1);

  const int64_t sparse_offset = (5LL << 30) - 70000;
  Fetch beyond = FetchAll(getter, (NginxRoot() + "/sparse5g.bin").c_str(), sparse_offset);
  EXPECT_EQ(beyond.open, 0);
  ASSERT_EQ(beyond.body.size(), 70000u);
  EXPECT_EQ(zkhttptest::FirstPatternMismatch(reinterpret_cast<const unsigned char*>(beyond.body.data()), 70000,
                                             static_cast<uint64_t>(sparse_offset)),
            -1);

  ASSERT_EQ(getter.Open((NginxRoot() + "/big.bin").c_str(), 0), 0);
  uint64_t failed_at = 0;
  const int64_t total = zkhttptest::ReadPatternBody(getter, 0, failed_at);
  ASSERT_NE(total, -1) << "at " << failed_at;
  EXPECT_EQ(total, ProbeUrlFileSize((NginxRoot() + "/big.bin").c_str()));

  // nginx logs a request after it has answered it.
  EXPECT_TRUE(zktest::SyncAccessLog(std::stoi(zktest::Env("ZK_HTTP_NGINX_PORT")),
                                    zktest::HostPath(zktest::Env("ZK_HTTP_STATE") + "/nginx/access.log")));
  const std::string log = zkhttptest::NginxLog();
  EXPECT_NE(log.find(std::string("GET /small.bin 206 10 range=bytes=99990- agent=") + kTitleAgentLogged + "\n"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("GET /big.bin 206 " + std::to_string(total) + " range=bytes=0- "), std::string::npos);
}

TEST(FrameworkGetterRead, ConnectionCutAfterHundredBytes) {
  CZKGetHTTP getter;
  ASSERT_EQ(getter.Open((FaultRoot() + "/cut100").c_str(), 0), 0);
  std::vector<unsigned char> buffer(8192);
  std::string body;
  uint32_t got = 0;
  int code = 0;
  for (int reads = 0; reads < 10; ++reads) {
    code = getter.Read(buffer.data(), 8192, got);
    if (code != 0 || got == 0) break;
    body.append(reinterpret_cast<char*>(buffer.data()), got);
  }
  // The answer is short of its Content-Length: either a short body or a
  // receive failure, never more bytes than arrived.
  EXPECT_TRUE(code == 0 || code == 12) << code;
  ASSERT_EQ(body.size(), 100u);
  for (size_t i = 0; i < body.size(); ++i) ASSERT_EQ(static_cast<unsigned char>(body[i]), zkhttptest::FaultPatternByte(i));
}

TEST(StarterGetter, WideTextsAndAnEmptyApplicationName) {
  zkframework::SetInternetDefaultAgent(L"");
  CZKGetHTTPW getter;
  zkframework::SetInternetDefaultAgent(nullptr);
  Fetch tail = FetchAll(getter, Wide(NginxRoot() + "/small.bin").c_str(), 99990);
  EXPECT_EQ(tail.open, 0);
  ASSERT_EQ(tail.body.size(), 10u);
  EXPECT_EQ(zkhttptest::FirstPatternMismatch(reinterpret_cast<const unsigned char*>(tail.body.data()), 10, 99990),
            -1);
  EXPECT_EQ(getter.Open(Wide(FaultRoot() + "/ok").c_str(), 0), 0);
  const std::string request = zkhttptest::RecordedRequest("ok");
  EXPECT_NE(request.find("\r\nRange: bytes=0-\r\n"), std::string::npos) << request;
  EXPECT_EQ(request.find(std::string("User-Agent: ") + kTitleAgent), std::string::npos) << request;
  EXPECT_EQ(getter.Open(L"https://127.0.0.1/x", 0), 2);
  EXPECT_EQ(getter.Open(static_cast<const wchar_t*>(nullptr), 0), 1);
  EXPECT_EQ(getter.Open(Wide(FaultRoot() + "/s299").c_str(), 0), 6);
}

}  // namespace
