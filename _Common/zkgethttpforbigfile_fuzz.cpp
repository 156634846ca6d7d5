// Fuzz entry of the socket getter's answer: status line, header lines and
// body, served by stand-in sockets that hand out the fuzzer's bytes.
//
// Input: a byte whose low bit asks for a resumed download (a range from
// offset 1000), a byte of body piece size, then the server's answer.
// Checks: the request is one well-formed GET; an answer with a 2xx status is
// taken, any other refused; the body is the answer's bytes after the header,
// never more than an announced length, and no read writes past its buffer.
#include <string>

#include "tests/support/fuzzsupport.h"
#include "_Common/zkgethttpforbigfile.h"

namespace {

class AnswerSockets : public IZKSocketCalls {
 public:
  explicit AnswerSockets(std::string answer) : answer_(std::move(answer)) {}

  int CreateSocket() override { return 5; }
  bool ConnectTo(int, const char*, unsigned short) override { return true; }
  int Send(int, const char* data, int length) override {
    request_.append(data, static_cast<size_t>(length));
    return length;
  }
  int Receive(int, char* buffer, int length) override {
    ZK_FUZZ_CHECK(length > 0);
    const size_t n = std::min(answer_.size() - at_, static_cast<size_t>(length));
    std::memcpy(buffer, answer_.data() + at_, n);
    at_ += n;
    return static_cast<int>(n);  // 0 once the answer is out: the peer closed
  }
  int WaitReadable(int, unsigned) override { return 1; }
  // What is left of the answer counts as queued; once it is out, the getter
  // waits and then takes the peer's close.
  unsigned long QueuedBytes(int) override { return static_cast<unsigned long>(answer_.size() - at_); }
  void CloseSocket(int) override {}

  const std::string& request() const { return request_; }
  size_t taken() const { return at_; }
  const std::string& answer() const { return answer_; }

 private:
  std::string answer_;
  std::string request_;
  size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zkfuzz::Input input(data, size);
  const bool resume = input.Byte() & 1;
  const uint32_t piece = input.Byte() + 1u;
  AnswerSockets sockets(input.Rest());
  CZKGetHTTPForBigFile getter(1, &sockets);

  const int opened = getter.Open("http://127.0.0.1:8080/files/a%20b.zip?x=1", resume ? 1000 : 0);
  const std::string& request = sockets.request();
  ZK_FUZZ_CHECK(request.compare(0, 35, "GET /files/a%20b.zip?x=1 HTTP/1.1\r\n") == 0);
  ZK_FUZZ_CHECK(request.size() >= 4 && request.compare(request.size() - 4, 4, "\r\n\r\n") == 0);
  ZK_FUZZ_CHECK((request.find("\r\nRange: bytes=1000-\r\n") != std::string::npos) == resume);
  if (opened != ZKGETHTTP_OK) {
    ZK_FUZZ_CHECK(getter.StatusCode() / 100 != 2 || opened == ZKGETHTTP_HEADER_LINE_TOO_LONG ||
                  opened == ZKGETHTTP_RECEIVE_FAILED);
    return 0;
  }
  ZK_FUZZ_CHECK(getter.StatusCode() / 100 == 2);

  const size_t header_end = sockets.taken();
  const std::string& answer = sockets.answer();
  std::string expected = answer.substr(header_end);
  if (getter.ContentLength() >= 1 && static_cast<uint64_t>(getter.ContentLength()) < expected.size()) {
    expected.resize(static_cast<size_t>(getter.ContentLength()));
  }
  std::string body;
  for (;;) {
    zkfuzz::GuardedBuffer buffer(piece);
    uint32_t got = 12345;
    const int read = getter.Read(buffer.data(), piece, got);
    ZK_FUZZ_CHECK(read == ZKGETHTTP_OK && got <= piece);
    ZK_FUZZ_CHECK(buffer.UntouchedFrom(got));
    if (got == 0) break;
    body.append(buffer.data(), got);
  }
  ZK_FUZZ_CHECK(body == expected);
  return 0;
}
