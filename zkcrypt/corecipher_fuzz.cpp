// Fuzz entry of corecipher's text side: the hex reader and Crypt in the
// decrypt direction under a fuzzed pass phrase and output size.
//
// Input: the pass phrase up to the first '\n', one byte of output size, then
// the hex text. Checks: the hex reader never writes past the room it was
// given; Crypt leaves the output alone on failure and writes at most the
// plaintext (shorter than the output) on success; a text Crypt encrypted
// decrypts back to itself.
#include <string>

#include "tests/support/fuzzsupport.h"
#include "zkcrypt/corecipher.h"

namespace {

void CheckHexReader(const std::string& hex, unsigned room) {
  zkfuzz::GuardedBuffer bytes(room);
  unsigned count = 12345;
  CipherHexToBytes(hex.c_str(), reinterpret_cast<unsigned char*>(bytes.data()), room, &count);
  ZK_FUZZ_CHECK(count <= room);
  ZK_FUZZ_CHECK(bytes.UntouchedFrom(count));

  // Plain pairs read back from the writer's text are the same bytes.
  std::string again(2 * count + 1, '\0');
  CipherBytesToHex(reinterpret_cast<const unsigned char*>(bytes.data()), count, &again[0],
                   static_cast<unsigned>(again.size()));
  zkfuzz::GuardedBuffer read_back(count);
  unsigned count2 = 0;
  CipherHexToBytes(again.c_str(), reinterpret_cast<unsigned char*>(read_back.data()), count, &count2);
  ZK_FUZZ_CHECK(count2 == count && std::memcmp(read_back.data(), bytes.data(), count) == 0);
}

void CheckDecrypt(const std::string& phrase, const std::string& hex, unsigned output_size) {
  // The plaintext with all the room it can need, to hold the small output against.
  std::string plain(hex.size() / 2 + 16, '\0');
  const bool readable = Crypt(phrase.c_str(), 1, hex.c_str(), &plain[0], static_cast<unsigned>(plain.size())) == 0;
  const size_t length = std::strlen(plain.c_str());

  zkfuzz::GuardedBuffer output(output_size);
  const int result = Crypt(phrase.c_str(), 1, hex.c_str(), output.data(), output_size);
  ZK_FUZZ_CHECK((result == 0) == (readable && length < output_size));
  if (result != 0) {
    ZK_FUZZ_CHECK(output.UntouchedFrom(0));
    return;
  }
  ZK_FUZZ_CHECK(std::memcmp(output.data(), plain.data(), length) == 0);
  ZK_FUZZ_CHECK(output.UntouchedFrom(length));
}

// The hex text read as a plaintext: encrypted, it must decrypt to itself.
void CheckRoundTrip(const std::string& phrase, const std::string& text) {
  const std::string plain = text.substr(0, text.find('\0'));
  std::string hex((plain.size() / 8 + 1) * 16 + 1, 'x');
  const int result = Crypt(phrase.c_str(), 0, plain.c_str(), &hex[0], static_cast<unsigned>(hex.size()));
  if (result == CIPHER_ERROR_WEAK_KEY) return;
  ZK_FUZZ_CHECK(result == 0);
  ZK_FUZZ_CHECK(std::strlen(hex.c_str()) == hex.size() - 1);
  std::string back(plain.size() + 1, '\0');
  ZK_FUZZ_CHECK(Crypt(phrase.c_str(), 1, hex.c_str(), &back[0], static_cast<unsigned>(back.size())) == 0);
  ZK_FUZZ_CHECK(std::strcmp(back.c_str(), plain.c_str()) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zkfuzz::Input input(data, size);
  const std::string phrase = input.Field('\n');
  const unsigned output_size = input.Byte();
  const std::string text = input.Rest();
  const std::string hex = text.substr(0, text.find('\0'));
  CheckHexReader(hex, output_size);
  CheckDecrypt(phrase, hex, output_size);
  CheckRoundTrip(phrase, text);
  return 0;
}
