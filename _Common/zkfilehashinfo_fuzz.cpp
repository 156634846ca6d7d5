// Fuzz entry of the hash list: its ini section block and DecryptHashValue.
//
// Input: a first byte picks the road (modulo 3), the rest is its text.
//   0  a section block of exactly the input's size (no final NUL promised):
//      every digest taken is upper-case hex without blanks, and the first
//      entry of a name keeps its digest.
//   1  a key and an IV (fields split at '\n') and a value: a refusal leaves
//      the output alone.
//   2  a plaintext, encrypted independently (Crypto++ AES-CBC, PKCS#7, the
//      built-in key and IV, Base64): the value gives its upper-case hex.
#include <cryptopp/aes.h>
#include <cryptopp/base64.h>
#include <cryptopp/filters.h>
#include <cryptopp/modes.h>

#include <string>

#include "tests/support/fuzzsupport.h"
#include "_Common/zkfilehashinfo.h"

namespace {

bool IsUpperHex(const char* text) {
  for (; *text; ++text) {
    if (!((*text >= '0' && *text <= '9') || (*text >= 'A' && *text <= 'F'))) return false;
  }
  return true;
}

void CheckSection(const std::string& block) {
  std::vector<char> exact(block.begin(), block.end());
  CFileHashInfo info;
  info.AddHashInfoSection(exact.data(), exact.size());

  // The entries read plainly: the first digest of each name is the one kept.
  std::map<std::string, std::string> first;
  for (size_t at = 0; at < block.size() && block[at] != '\0';) {
    size_t end = block.find('\0', at);
    if (end == std::string::npos) end = block.size();
    const std::string entry = block.substr(at, end - at);
    at = end + 1;
    const size_t equals = entry.find('=');
    if (equals == std::string::npos || equals == 0) continue;
    CStringA digest;
    if (!DecryptHashValue(entry.substr(equals + 1).c_str(), digest, nullptr, nullptr)) continue;
    std::string trimmed = digest.GetString();
    first.emplace(entry.substr(0, equals), trimmed);
  }
  for (const auto& entry : first) {
    const char* kept = info.FindDigest(entry.first);
    ZK_FUZZ_CHECK(kept && IsUpperHex(kept) && entry.second == kept);
  }
}

void CheckRefusal(zkfuzz::Input& input) {
  const std::string key = input.Field('\n');
  const std::string iv = input.Field('\n');
  const std::string text = input.Rest();
  CStringA out("untouched");
  if (!DecryptHashValue(text.c_str(), out, key.c_str(), iv.c_str())) ZK_FUZZ_CHECK(out == "untouched");
  else ZK_FUZZ_CHECK(IsUpperHex(out.GetString()));
}

void CheckRoundTrip(const std::string& plain) {
  CryptoPP::byte iv[CryptoPP::AES::BLOCKSIZE] = {};
  std::memcpy(iv, kDefaultHashIv, std::min(std::strlen(kDefaultHashIv), sizeof iv));
  CryptoPP::CBC_Mode<CryptoPP::AES>::Encryption aes;
  aes.SetKeyWithIV(reinterpret_cast<const CryptoPP::byte*>(kDefaultHashKey), std::strlen(kDefaultHashKey), iv,
                   sizeof iv);
  std::string value;
  CryptoPP::StringSource(plain, true,
                         new CryptoPP::StreamTransformationFilter(
                             aes, new CryptoPP::Base64Encoder(new CryptoPP::StringSink(value), false)));
  static const char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (unsigned char c : plain) {
    hex += kDigits[c >> 4];
    hex += kDigits[c & 15];
  }
  CStringA out;
  ZK_FUZZ_CHECK(DecryptHashValue(value.c_str(), out, nullptr, nullptr));
  ZK_FUZZ_CHECK(hex == out.GetString());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zkfuzz::Input input(data, size);
  switch (input.Byte() % 3) {
    case 0:
      CheckSection(input.Rest());
      break;
    case 1:
      CheckRefusal(input);
      break;
    default:
      CheckRoundTrip(input.Rest());
      break;
  }
  return 0;
}
