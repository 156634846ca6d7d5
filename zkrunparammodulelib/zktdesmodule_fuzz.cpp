// Fuzz entry of CZKTDESModule's hex decryption under a fuzzed key, mode,
// padding and output size.
//
// Input: the key text up to the first '\n', a byte whose bits pick ECB or
// CBC and padding, a byte of output size, then the hex text. Checks: nothing
// is written past the output's size; a success ends in a NUL behind the
// bytes it reports and agrees with a decryption into ample room; bytes that
// the module encrypted decrypt back to themselves.
#include <string>

#include "tests/support/fuzzsupport.h"
#include "zkrunparammodulelib/zktdesmodule.h"

namespace {

struct Setting {
  std::string key;
  int mode;
  int padding;
};

int Decrypt(const Setting& setting, const std::string& hex, char* out, int out_size, int* length) {
  CZKTDESModule module;
  if (module.Init(setting.key.c_str(), setting.mode, setting.padding) != TDES_OK) return -1;
  return module.DecryptFromHex(hex.data(), static_cast<int>(hex.size()), out, out_size, length);
}

void CheckDecrypt(const Setting& setting, const std::string& hex, int out_size) {
  std::string ample(hex.size() / 2 + 16, '\0');
  int ample_length = -1;
  const bool readable = Decrypt(setting, hex, &ample[0], static_cast<int>(ample.size()), &ample_length) == TDES_OK;

  zkfuzz::GuardedBuffer out(static_cast<size_t>(out_size));
  int length = -1;
  const int result = Decrypt(setting, hex, out.data(), out_size, &length);
  ZK_FUZZ_CHECK(out.UntouchedFrom(static_cast<size_t>(out_size)));
  if (result != TDES_OK) return;
  ZK_FUZZ_CHECK(readable);
  ZK_FUZZ_CHECK(length == ample_length && length >= 0 && length < out_size);
  ZK_FUZZ_CHECK(out.data()[length] == '\0');
  ZK_FUZZ_CHECK(std::memcmp(out.data(), ample.data(), static_cast<size_t>(length)) == 0);
}

// The hex text taken as plain bytes: encrypted and decrypted they come back.
void CheckRoundTrip(const Setting& setting, const std::string& plain) {
  CZKTDESModule module;
  if (module.Init(setting.key.c_str(), setting.mode, setting.padding) != TDES_OK) return;
  std::string hex(2 * TDESGetPaddedSize(static_cast<unsigned>(plain.size())) + 1, '\0');
  int hex_length = 0;
  const int encrypted = module.EncryptToHex(plain.data(), static_cast<int>(plain.size()), &hex[0],
                                            static_cast<int>(hex.size()), &hex_length);
  // Without padding only whole blocks can be encrypted, and nothing is no input.
  if (encrypted != TDES_OK) {
    ZK_FUZZ_CHECK(plain.empty() || (setting.padding != TDES_PADDING_PKCS5 && plain.size() % 8 != 0));
    return;
  }
  std::string back(plain.size() + 9, '\0');
  int back_length = -1;
  ZK_FUZZ_CHECK(module.DecryptFromHex(hex.data(), hex_length, &back[0], static_cast<int>(back.size()),
                                      &back_length) == TDES_OK);
  ZK_FUZZ_CHECK(back_length == static_cast<int>(plain.size()));
  ZK_FUZZ_CHECK(back.compare(0, plain.size(), plain) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zkfuzz::Input input(data, size);
  Setting setting;
  setting.key = input.Field('\n');
  const uint8_t choice = input.Byte();
  setting.mode = choice & 1 ? TDES_MODE_ECB : TDES_MODE_CBC;
  setting.padding = choice & 2 ? 0 : TDES_PADDING_PKCS5;
  const int out_size = input.Byte();
  const std::string hex = input.Rest();
  CheckDecrypt(setting, hex, out_size);
  CheckRoundTrip(setting, hex);
  return 0;
}
