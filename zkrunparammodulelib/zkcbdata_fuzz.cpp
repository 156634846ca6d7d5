// Fuzz entry of the SEED clipboard reader: the whole read over a stand-in
// clipboard whose block holds the fuzzer's bytes.
//
// Input: the key text up to the first '\n', two bytes of caller buffer size,
// a byte whose low bit picks the road, then the text.
//   raw    the text is the clipboard block as another program left it (no
//          NUL promised). The caller's buffer is untouched on failure; on
//          success it holds a NUL-terminated text and nothing past its size.
//   sent   the text, split at '|' into segments, is encrypted the web page's
//          way with an independent SEED (Crypto++, words swapped to the
//          reader's little-endian order); the read gives the joined text.
#include <cryptopp/seed.h>

#include <algorithm>
#include <string>

#include "tests/support/fuzzsupport.h"
#include "zkrunparammodulelib/zkcbdata.h"

namespace {

// One clipboard holding one block of text.
struct FakeClipboard {
  std::string block;
  int clears = 0;
};
FakeClipboard* g_clipboard = nullptr;

CBClipboardCalls FakeCalls() {
  CBClipboardCalls calls;
  calls.registerFormat = [](const char*) { return 0xC123u; };
  calls.open = [] { return true; };
  calls.getData = [](unsigned format) -> void* { return format == 0xC123u ? g_clipboard : nullptr; };
  calls.lock = [](void*, size_t* size) -> const char* {
    *size = g_clipboard->block.size();
    return g_clipboard->block.data();
  };
  calls.unlock = [](void*) {};
  calls.clearFormat = [](unsigned) { ++g_clipboard->clears; };
  calls.close = [] {};
  return calls;
}

void SwapWords(unsigned char* bytes, size_t count) {
  for (size_t i = 0; i + 4 <= count; i += 4) {
    std::swap(bytes[i], bytes[i + 3]);
    std::swap(bytes[i + 1], bytes[i + 2]);
  }
}

// A segment's hex text: the plain text NUL-filled to whole blocks, encrypted.
std::string EncryptSegment(const std::string& plain, const std::string& key_text) {
  unsigned char key[16] = {};
  std::memcpy(key, key_text.data(), std::min<size_t>(strnlen(key_text.c_str(), 16), 16));
  SwapWords(key, 16);
  CryptoPP::SEED::Encryption seed(key, 16);
  std::string hex;
  for (size_t at = 0; at < plain.size(); at += 16) {
    unsigned char block[16] = {};
    std::memcpy(block, plain.data() + at, std::min<size_t>(16, plain.size() - at));
    SwapWords(block, 16);
    seed.ProcessBlock(block);
    SwapWords(block, 16);
    char digits[33];
    for (int i = 0; i < 16; ++i) std::snprintf(digits + 2 * i, 3, "%02X", block[i]);
    hex += digits;
  }
  return hex;
}

// Each segment as the reader gives it back: no trailing blanks, no NUL.
// *padded receives the decrypted bytes before the trim.
std::string SentText(const std::string& text, const std::string& key, std::string* block, size_t* padded) {
  std::string joined;
  size_t start = 0;
  for (;;) {
    size_t bar = text.find('|', start);
    std::string segment = text.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
    segment.erase(std::remove(segment.begin(), segment.end(), '\0'), segment.end());
    while (!segment.empty() && segment.back() == ' ') segment.pop_back();
    if (segment.empty()) segment = "x";
    if (!block->empty()) *block += '|';
    *block += EncryptSegment(segment, key);
    joined += segment;
    *padded += (segment.size() + 15) / 16 * 16;
    if (bar == std::string::npos) return joined;
    start = bar + 1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zkfuzz::Input input(data, size);
  const std::string key = input.Field('\n');
  const unsigned buffer_size = input.Word() % 0x9000;
  const bool sent = input.Byte() & 1;
  FakeClipboard clipboard;
  g_clipboard = &clipboard;
  std::string expected;
  size_t padded = 0;
  if (sent) expected = SentText(input.Rest(), key, &clipboard.block, &padded);
  else clipboard.block = input.Rest();

  zkfuzz::GuardedBuffer out(buffer_size);
  int result = 0;
  {
    ScopedCBClipboardCalls calls(FakeCalls());
    result = ReadCBDataEx(out.data(), buffer_size, key.c_str(), true);
  }
  g_clipboard = nullptr;
  ZK_FUZZ_CHECK(clipboard.clears == (result == CBDATA_OK ? 1 : 0));
  if (result != CBDATA_OK) {
    ZK_FUZZ_CHECK(out.UntouchedFrom(0));
    // A sent text that fits the work area and the caller's buffer is read.
    ZK_FUZZ_CHECK(!sent || padded + 16 >= CBDATA_WORK_TEXT_LIMIT || expected.size() >= buffer_size);
    return 0;
  }
  const size_t length = strnlen(out.data(), buffer_size);
  ZK_FUZZ_CHECK(length < buffer_size);
  ZK_FUZZ_CHECK(out.UntouchedFrom(buffer_size));
  if (sent) ZK_FUZZ_CHECK(std::string(out.data(), length) == expected);
  return 0;
}
