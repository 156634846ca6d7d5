// Tests of the starter's Triple-DES library: known answers, the four modes
// against OpenSSL, streaming, padding and key faults, Crypt and the hex text.
#include "zkcrypt/corecipher.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "tests/support/desknownanswers.h"

namespace {

using zkcrypt_test::FromHex;
using zkcrypt_test::Lower;
using zkcrypt_test::ToHex;
using Bytes = std::vector<unsigned char>;

CipherContext MakeContext(uint32_t mode, int padding, const Bytes& iv) {
  CipherContext c;
  std::memset(&c, 0xA5, sizeof c);  // every field the caller must set is set below
  c.mode = mode;
  c.padding = padding;
  std::memcpy(c.iv, iv.data(), 8);
  std::memcpy(c.chain, iv.data(), 8);
  c.pendingCount = 0;
  return c;
}

struct Outcome {
  int result = 0;
  Bytes data;
};

// One whole operation: updates over the input cut at `split` (one update
// when split is beyond the end), then the final step.
Outcome RunCipher(CipherContext& c, bool encrypt, const Bytes& in, size_t split = ~size_t(0)) {
  Outcome o;
  auto update = encrypt ? CipherEncryptUpdate : CipherDecryptUpdate;
  auto final = encrypt ? CipherEncryptFinal : CipherDecryptFinal;
  std::vector<std::pair<size_t, size_t>> pieces;
  if (split < in.size()) {
    pieces = {{0, split}, {split, in.size() - split}};
  } else {
    pieces = {{0, in.size()}};
  }
  for (auto piece : pieces) {
    Bytes out(piece.second + 16, 0xEE);
    unsigned int n = 0;
    o.result = update(&c, in.data() + piece.first, static_cast<unsigned int>(piece.second), out.data(), &n);
    if (o.result != 0) return o;
    o.data.insert(o.data.end(), out.begin(), out.begin() + n);
  }
  Bytes last(8, 0xEE);
  unsigned int n = 0;
  o.result = final(&c, last.data(), &n);
  if (o.result == 0) o.data.insert(o.data.end(), last.begin(), last.begin() + n);
  return o;
}

TEST(CoreCipher, KnownAnswersInEcbBothDirections) {
  std::vector<std::string> keys;
  for (const auto& answer : zkcrypt_test::AllTripleDesAnswers(keys)) {
    SCOPED_TRACE(answer.key);
    Bytes key = FromHex(answer.key);
    CipherContext c = MakeContext(CIPHER_MODE_ECB, CIPHER_PADDING_NONE, Bytes(8, 0));
    ASSERT_EQ(0, CipherSetKey(&c, key.data(), 24));
    Outcome e = RunCipher(c, true, FromHex(answer.plain));
    ASSERT_EQ(0, e.result);
    EXPECT_EQ(ToHex(e.data.data(), e.data.size()), Lower(answer.cipher));
    CipherContext d = MakeContext(CIPHER_MODE_ECB, CIPHER_PADDING_NONE, Bytes(8, 0));
    ASSERT_EQ(0, CipherSetKey(&d, key.data(), 24));
    Outcome p = RunCipher(d, false, FromHex(answer.cipher));
    ASSERT_EQ(0, p.result);
    EXPECT_EQ(ToHex(p.data.data(), p.data.size()), Lower(answer.plain));
  }
}

// Made once with
//   K=0123456789ABCDEFFEDCBA987654321089ABCDEF01234567 IV=1234567890ABCDEF
//   printf '<text>' | openssl enc -des-ede3-<ecb|cbc|ofb|cfb> [-nopad] -K $K -iv $IV | xxd -p
// where the text is "Now is the time for all good men to c" (37 bytes), or
// its first 32 bytes for -nopad.
const char kModeKey[] = "0123456789ABCDEFFEDCBA987654321089ABCDEF01234567";
const char kModeIv[] = "1234567890ABCDEF";
const char kText37[] = "Now is the time for all good men to c";
const char kText32[] = "Now is the time for all good men";

struct ModeCase {
  const char* name;
  uint32_t mode;
  int padding;
  const char* text;
  const char* cipher;
};

const ModeCase kModeCases[] = {
    {"ecb-pad", CIPHER_MODE_ECB, CIPHER_PADDING_PKCS5, kText37,
     "fbe62b683922941e0e05e3677c31fc264259965404d683df73f13a6e09d0b0a1814b70b52ff7deaf"},
    {"ecb-nopad", CIPHER_MODE_ECB, CIPHER_PADDING_NONE, kText32,
     "fbe62b683922941e0e05e3677c31fc264259965404d683df73f13a6e09d0b0a1"},
    {"cbc-pad", CIPHER_MODE_CBC, CIPHER_PADDING_PKCS5, kText37,
     "204011f986e35647199e47af391620c5bb9a5bcfc86db0bb2c577d732216250961f149024e3f2f4e"},
    {"cbc-nopad", CIPHER_MODE_CBC, CIPHER_PADDING_NONE, kText32,
     "204011f986e35647199e47af391620c5bb9a5bcfc86db0bb2c577d7322162509"},
    {"ofb", CIPHER_MODE_OFB, CIPHER_PADDING_NONE, kText37,
     "c0c1c6ca165475d15e1b880b42afb9d1d4788ecc852a4717cf96b1290d6f938b758ababf20"},
    {"cfb", CIPHER_MODE_CFB, CIPHER_PADDING_NONE, kText37,
     "c0c1c6ca165475d139c0d2bb8c1a3cc94500b206a2867aba58c61c893e0c2802a1935d975c"},
};

TEST(CoreCipher, FourModesMatchOpensslAtEverySplit) {
  const Bytes key = FromHex(kModeKey);
  const Bytes iv = FromHex(kModeIv);
  for (const ModeCase& mc : kModeCases) {
    const Bytes plain(mc.text, mc.text + std::strlen(mc.text));
    const Bytes cipher = FromHex(mc.cipher);
    for (size_t split = 0; split <= plain.size(); ++split) {
      SCOPED_TRACE(std::string(mc.name) + " split " + std::to_string(split));
      CipherContext e = MakeContext(mc.mode, mc.padding, iv);
      ASSERT_EQ(0, CipherSetKey(&e, key.data(), 24));
      Outcome enc = RunCipher(e, true, plain, split);
      ASSERT_EQ(0, enc.result);
      EXPECT_EQ(ToHex(enc.data.data(), enc.data.size()), mc.cipher);
    }
    for (size_t split = 0; split <= cipher.size(); ++split) {
      SCOPED_TRACE(std::string(mc.name) + " decrypt split " + std::to_string(split));
      CipherContext d = MakeContext(mc.mode, mc.padding, iv);
      ASSERT_EQ(0, CipherSetKey(&d, key.data(), 24));
      Outcome dec = RunCipher(d, false, cipher, split);
      ASSERT_EQ(0, dec.result);
      EXPECT_EQ(dec.data, plain);
    }
  }
}

TEST(CoreCipher, SixteenByteKeyReusesTheFirstKey) {
  const Bytes key24 = FromHex(kModeKey);
  Bytes key16(key24.begin(), key24.begin() + 16);
  Bytes key24FromFirst = key16;
  key24FromFirst.insert(key24FromFirst.end(), key16.begin(), key16.begin() + 8);
  const Bytes plain = FromHex("00112233445566778899AABBCCDDEEFF");
  CipherContext a = MakeContext(CIPHER_MODE_CBC, CIPHER_PADDING_PKCS5, FromHex(kModeIv));
  CipherContext b = a;
  ASSERT_EQ(0, CipherSetKey(&a, key16.data(), 16));
  ASSERT_EQ(0, CipherSetKey(&b, key24FromFirst.data(), 24));
  EXPECT_EQ(RunCipher(a, true, plain).data, RunCipher(b, true, plain).data);
}

TEST(CoreCipher, KeyFaults) {
  const Bytes good = FromHex(kModeKey);
  CipherContext c = MakeContext(CIPHER_MODE_ECB, CIPHER_PADDING_NONE, Bytes(8, 0));
  for (unsigned int length : {0u, 8u, 15u, 17u, 23u, 25u, 32u}) {
    EXPECT_EQ(CIPHER_ERROR_KEY_LENGTH, CipherSetKey(&c, good.data(), length)) << length;
  }
  const Bytes weak = FromHex("FE1FFE1FFE0EFE0E");
  for (int third = 0; third < 3; ++third) {
    SCOPED_TRACE(third);
    Bytes key = good;
    std::memcpy(key.data() + 8 * third, weak.data(), 8);
    EXPECT_EQ(CIPHER_ERROR_WEAK_KEY, CipherSetKey(&c, key.data(), 24));
    key[8 * third] ^= 1;  // one parity bit: no longer the listed key
    EXPECT_EQ(0, CipherSetKey(&c, key.data(), 24));
  }
  Bytes weakSecond = good;
  std::memcpy(weakSecond.data() + 8, FromHex("0101010101010101").data(), 8);
  EXPECT_EQ(CIPHER_ERROR_WEAK_KEY, CipherSetKey(&c, weakSecond.data(), 16));
}

TEST(CoreCipher, UpdateAndFinalFaults) {
  const Bytes key = FromHex(kModeKey);
  const Bytes iv = FromHex(kModeIv);
  auto keyed = [&](uint32_t mode, int padding) {
    CipherContext c = MakeContext(mode, padding, iv);
    EXPECT_EQ(0, CipherSetKey(&c, key.data(), 24));
    return c;
  };
  // Padding off with a partial block pending.
  CipherContext c = keyed(CIPHER_MODE_CBC, CIPHER_PADDING_NONE);
  EXPECT_EQ(CIPHER_ERROR_PARTIAL_BLOCK, RunCipher(c, true, Bytes(13, 'x')).result);
  // Held-back block not whole.
  for (size_t n : {1u, 7u, 9u, 15u}) {
    c = keyed(CIPHER_MODE_CBC, CIPHER_PADDING_PKCS5);
    EXPECT_EQ(CIPHER_ERROR_BLOCK_LENGTH, RunCipher(c, false, Bytes(n, 1)).result) << n;
  }
  // Unknown mode or padding.
  c = keyed(5, CIPHER_PADDING_PKCS5);
  EXPECT_EQ(CIPHER_ERROR_PARAMETER, RunCipher(c, true, Bytes(16, 1)).result);
  c = keyed(0, CIPHER_PADDING_PKCS5);
  EXPECT_EQ(CIPHER_ERROR_PARAMETER, RunCipher(c, false, Bytes(16, 1)).result);
  c = keyed(CIPHER_MODE_ECB, 3);
  EXPECT_EQ(CIPHER_ERROR_PARAMETER, RunCipher(c, true, Bytes(16, 1)).result);
  c = keyed(CIPHER_MODE_ECB, 3);
  EXPECT_EQ(CIPHER_ERROR_PARAMETER, RunCipher(c, false, Bytes(16, 1)).result);
  // Output equal to input: the length is set, nothing else changes.
  c = keyed(CIPHER_MODE_CBC, CIPHER_PADDING_PKCS5);
  unsigned char buffer[16] = {1, 2, 3};
  unsigned int n = 0;
  EXPECT_EQ(CIPHER_ERROR_PARAMETER, CipherEncryptUpdate(&c, buffer, 16, buffer, &n));
  EXPECT_EQ(16u, n);
  EXPECT_EQ(0u, c.pendingCount);
  EXPECT_EQ(CIPHER_ERROR_PARAMETER, CipherDecryptUpdate(&c, buffer, 16, buffer, &n));
  // A corrupt pending count is refused rather than trusted.
  c = keyed(CIPHER_MODE_CBC, CIPHER_PADDING_PKCS5);
  c.pendingCount = 200;
  EXPECT_EQ(CIPHER_ERROR_PARAMETER, CipherEncryptUpdate(&c, buffer, 16, buffer + 0, &n));
  EXPECT_EQ(CIPHER_ERROR_PARAMETER, CipherDecryptFinal(&c, buffer, &n));
}

TEST(CoreCipher, PaddingCheckOfTheLastBlock) {
  const Bytes key = FromHex(kModeKey);
  const Bytes iv = FromHex(kModeIv);
  struct Case {
    const char* lastBlock;
    int result;
    size_t kept;
  } cases[] = {
      {"4142434445464701", 0, 7}, {"0808080808080808", 0, 0}, {"4142434445030303", 0, 5},
      {"4142434445464700", CIPHER_ERROR_BAD_PADDING, 0}, {"4142434445464709", CIPHER_ERROR_BAD_PADDING, 0},
      {"4142434445460303", CIPHER_ERROR_BAD_PADDING, 0}, {"0708080808080808", CIPHER_ERROR_BAD_PADDING, 0},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.lastBlock);
    // Encrypt the chosen last block without padding, decrypt with padding.
    Bytes plain = FromHex(std::string("0011223344556677") + k.lastBlock);
    CipherContext e = MakeContext(CIPHER_MODE_CBC, CIPHER_PADDING_NONE, iv);
    ASSERT_EQ(0, CipherSetKey(&e, key.data(), 24));
    Outcome cipher = RunCipher(e, true, plain);
    ASSERT_EQ(0, cipher.result);
    CipherContext d = MakeContext(CIPHER_MODE_CBC, CIPHER_PADDING_PKCS5, iv);
    ASSERT_EQ(0, CipherSetKey(&d, key.data(), 24));
    Outcome back = RunCipher(d, false, cipher.data);
    EXPECT_EQ(k.result, back.result);
    if (k.result == 0) {
      EXPECT_EQ(back.data, Bytes(plain.begin(), plain.begin() + 8 + k.kept));
    }
  }
}

// Expected texts made once with, for pass phrase P and text T:
//   K=$(printf '%-24s' "$P" | cut -c1-24 | xxd -p); printf "$T" | openssl enc -des-ede3-cbc -K $K -iv ${K:0:16} | xxd -p
TEST(CoreCipher, CryptEncryptsLikeOpenssl) {
  struct Case {
    const char* phrase;
    const char* text;
    const char* hex;
  } cases[] = {
      {"publish1", "Hello=\"World\"", "3e28c58726146c6d9ee09fd1546dfeae"},
      {"abc", "", "1f9334a8f2f2920c"},
      {"abc", "12345678", "4392dfbbd39ed6485d305375440b65a6"},
      {"abcdefghijklmnopqrstuvwx", "x", "e20393ae2a06f76e"},
      // Longer than 24 bytes: cut to its first 24.
      {"abcdefghijklmnopqrstuvwxyz0123", "x", "e20393ae2a06f76e"},
      // Shorter: the same as the phrase padded with spaces.
      {"abc                     ", "12345678", "4392dfbbd39ed6485d305375440b65a6"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.phrase);
    char out[80];
    std::memset(out, 0, sizeof out);
    ASSERT_EQ(0, Crypt(k.phrase, 0, k.text, out, sizeof out));
    EXPECT_STREQ(out, k.hex);
    char back[80];
    std::memset(back, 0, sizeof back);
    ASSERT_EQ(0, Crypt(k.phrase, 1, out, back, sizeof back));
    EXPECT_STREQ(back, k.text);
  }
}

TEST(CoreCipher, CryptOutputLimits) {
  char out[40];
  // The hex text and its NUL must fit.
  std::memset(out, 'Z', sizeof out);
  EXPECT_EQ(CIPHER_ERROR_PARAMETER, Crypt("abc", 0, "12345678", out, 32));
  EXPECT_EQ('Z', out[0]);
  EXPECT_EQ(0, Crypt("abc", 0, "12345678", out, 33));
  EXPECT_STREQ(out, "4392dfbbd39ed6485d305375440b65a6");
  // Decrypt: room for the NUL is required, and nothing is copied otherwise.
  char plain[9];
  std::memset(plain, 'Z', sizeof plain);
  EXPECT_EQ(CIPHER_ERROR_PARAMETER, Crypt("abc", 1, "4392dfbbd39ed6485d305375440b65a6", plain, 8));
  EXPECT_EQ('Z', plain[0]);
  std::memset(plain, 0, sizeof plain);
  EXPECT_EQ(0, Crypt("abc", 1, "4392dfbbd39ed6485d305375440b65a6", plain, 9));
  EXPECT_STREQ(plain, "12345678");
  // Empty hex text: an empty plaintext, output left as given.
  std::memset(plain, 'Z', sizeof plain);
  EXPECT_EQ(0, Crypt("abc", 1, "", plain, sizeof plain));
  EXPECT_EQ('Z', plain[0]);
  EXPECT_EQ(CIPHER_ERROR_PARAMETER, Crypt("abc", 1, nullptr, plain, sizeof plain));
  EXPECT_EQ(CIPHER_ERROR_PARAMETER, Crypt("abc", 0, "x", nullptr, 10));
}

// Builds the hex text of a CBC encryption under Crypt's key rule, so that
// plaintexts Crypt cannot produce (embedded NUL, bad padding) can be fed in.
std::string EncryptRaw(const char* phrase, const Bytes& plain) {
  unsigned char key[24];
  unsigned char iv[24];
  unsigned int keyLength = 0;
  unsigned int ivLength = 0;
  CipherKeyFromPassPhrase(phrase, key, iv, &keyLength, &ivLength);
  CipherContext c = MakeContext(CIPHER_MODE_CBC, CIPHER_PADDING_NONE, Bytes(iv, iv + 8));
  EXPECT_EQ(0, CipherSetKey(&c, key, keyLength));
  Outcome o = RunCipher(c, true, plain);
  EXPECT_EQ(0, o.result);
  return ToHex(o.data.data(), o.data.size());
}

TEST(CoreCipher, CryptDecryptFaultsAndNul) {
  char out[64];
  struct Case {
    std::string hex;
    int result;
    const char* text;
  } cases[] = {
      {EncryptRaw("k", FromHex("4142000043020202")), 0, "AB"},        // delivered up to the NUL
      {EncryptRaw("k", FromHex("4142434445464700")), CIPHER_ERROR_BAD_PADDING, ""},
      {EncryptRaw("k", FromHex("4142434445464709")), CIPHER_ERROR_BAD_PADDING, ""},
      {"4392dfbbd39ed648", CIPHER_ERROR_BAD_PADDING, ""},                // wrong key for this text
      {"4392dfbbd39ed6485d3053", CIPHER_ERROR_BLOCK_LENGTH, ""},         // 11 bytes
      {"4392dfbbd39ed6485d305375440b65a6f", CIPHER_ERROR_BAD_PADDING, ""},  // odd last digit ignored
      {"zz92dfbbd39ed6485d305375440b65a6", CIPHER_ERROR_BAD_PADDING, ""},   // non-hex pair
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.hex);
    std::memset(out, 0, sizeof out);
    EXPECT_EQ(k.result, Crypt("k", 1, k.hex.c_str(), out, sizeof out));
    EXPECT_STREQ(out, k.text);
  }
}

TEST(CoreCipher, SecureDecryptUsesTheStoredPassPhrase) {
  const char hex[] = "97529ab1c47a412e8c6fdcf9561e564d";  // openssl, as above, P=qmzvtrokhulwab
  char out[sizeof hex * 3 + 33];
  std::memset(out, 0, sizeof out);
  EXPECT_EQ(1, SecureDecrypt(hex, out, sizeof out));
  EXPECT_STREQ(out, "Secret=\"value\"");
  std::memset(out, 0, sizeof out);
  EXPECT_EQ(0, SecureDecrypt("4392dfbbd39ed6485d305375440b65a6", out, sizeof out));
  EXPECT_EQ(0, SecureDecrypt(hex, nullptr, 10));
}

TEST(CoreCipher, HexToBytesForms) {
  struct Case {
    const char* text;
    const char* bytes;  // expected, as lower-case hex
  } cases[] = {
      {"0a1bff", "0a1bff"},
      {"0A1BFF", "0a1bff"},
      {"0a 1b ff", "0a1bff"},
      {"0a+1b+ff", "0a1bff"},
      {"0a%2B1b%2Bff", "0a1bff"},
      {"0a%2b1b", "0a00b1"},   // lower-case %2b is no separator: plain pairs "0a", "%2", "b1"
      {"0a1bf", "0a1b"},       // odd last digit ignored
      {"0a 1b f", "0a1b"},     // separated: (7 + 1) / 3 pairs
      {"0a 1", "0a"},
      {"", ""},
      {"+", ""},
      {"g1zz", "0000"},        // pairs that do not start with a digit read as 0
      {"1g2", "01"},           // a digit followed by a non-digit gives the first digit
      {"-1+-1", "0000"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.text);
    unsigned char out[16];
    unsigned int count = 99;
    CipherHexToBytes(k.text, out, sizeof out, &count);
    EXPECT_EQ(ToHex(out, count), k.bytes);
  }
}

// Web-page text of any shape must end in a code, never outside a buffer
// (the sanitizers watch the heap copies made here).
TEST(CoreCipher, CryptSurvivesArbitraryHexText) {
  const char alphabet[] = "0123456789abcdefABCDEF %2B+xg-\t";
  std::mt19937 random(3);
  for (int round = 0; round < 2000; ++round) {
    std::string text(random() % 80, ' ');
    for (char& c : text) c = alphabet[random() % (sizeof alphabet - 1)];
    const unsigned int size = random() % 40;
    std::vector<char> out(size + 1, 'Z');
    const int result = Crypt("k", 1, text.c_str(), out.data(), size);
    EXPECT_TRUE(result == 0 || (result >= CIPHER_ERROR_PARAMETER && result <= CIPHER_ERROR_BLOCK_LENGTH)) << text;
    EXPECT_EQ('Z', out[size]);
  }
}

TEST(CoreCipher, HexToBytesStaysInsideTheOutput) {
  for (unsigned int size = 0; size <= 4; ++size) {
    SCOPED_TRACE(size);
    unsigned char out[8];
    std::memset(out, 0xEE, sizeof out);
    unsigned int count = 99;
    CipherHexToBytes("0a1b2c3d4e", out, size, &count);
    EXPECT_EQ(size, count);
    for (unsigned int i = size; i < sizeof out; ++i) EXPECT_EQ(0xEE, out[i]);
  }
  unsigned int count = 99;
  CipherHexToBytes(nullptr, nullptr, 4, &count);
  EXPECT_EQ(0u, count);
}

TEST(CoreCipher, BytesToHexCutsAtWholePairs) {
  const unsigned char bytes[] = {0x0a, 0xb1, 0xff};
  const char* expected[] = {"", "", "", "0a", "0a", "0ab1", "0ab1", "0ab1ff", "0ab1ff"};
  for (unsigned int size = 1; size <= 8; ++size) {
    SCOPED_TRACE(size);
    char out[10];
    std::memset(out, 'Z', sizeof out);
    EXPECT_EQ(1, CipherBytesToHex(bytes, 3, out, size));
    EXPECT_STREQ(out, expected[size]);
    for (unsigned int i = size; i < sizeof out; ++i) EXPECT_EQ('Z', out[i]);
  }
  char out[4] = {'Z', 'Z', 'Z', 'Z'};
  EXPECT_EQ(1, CipherBytesToHex(bytes, 3, out, 0));
  EXPECT_EQ('Z', out[0]);
  EXPECT_EQ(1, CipherBytesToHex(nullptr, 3, out, 4));
}

}  // namespace
