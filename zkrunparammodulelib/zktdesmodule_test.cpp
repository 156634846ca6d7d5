// Tests of the run-parameter library's Triple-DES module: the shared known
// answers, CBC and ECB against OpenSSL under the library's key rule, and
// every fault ending in its code.
#include "zkrunparammodulelib/zktdesmodule.h"

#include <cryptopp/des.h>
#include <cryptopp/filters.h>
#include <cryptopp/modes.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "tests/support/desknownanswers.h"

namespace {

using zkcrypt_test::FromHex;
using zkcrypt_test::Lower;

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

struct HexResult {
  int result;
  std::string text;  // the output up to the length reported
};

HexResult Encrypt(CZKTDESModule& m, const std::string& data, int size = -1) {
  std::vector<char> out(size < 0 ? TDESGetHexSize(static_cast<unsigned>(data.size())) : size, 'Z');
  int n = -1;
  const int result = m.EncryptToHex(data.data(), static_cast<int>(data.size()), out.data(),
                                    static_cast<int>(out.size()), &n);
  if (result != 0) return {result, std::string(out.begin(), out.end())};
  EXPECT_EQ('\0', out[n]);
  return {result, std::string(out.data(), n)};
}

HexResult Decrypt(CZKTDESModule& m, const std::string& hex, int size = -1) {
  std::vector<char> out(size < 0 ? TDESGetPlainBufferSize(static_cast<unsigned>(hex.size())) : size, 'Z');
  int n = -1;
  const int result = m.DecryptFromHex(hex.data(), static_cast<int>(hex.size()), out.data(),
                                      static_cast<int>(out.size()), &n);
  if (result != 0) return {result, std::string(out.begin(), out.end())};
  EXPECT_EQ('\0', out[n]);
  return {result, std::string(out.data(), n)};
}

std::string Bytes(const char* hex) {
  std::vector<unsigned char> b = FromHex(hex);
  return std::string(b.begin(), b.end());
}

TEST(ZKTDESModule, KnownAnswersInEcbWithoutPadding) {
  std::vector<std::string> keys;
  for (const auto& answer : zkcrypt_test::AllTripleDesAnswers(keys)) {
    SCOPED_TRACE(answer.key);
    const std::string keyText = Bytes(answer.key);
    ASSERT_EQ(std::string::npos, keyText.find('\0'));  // the key travels as text
    CZKTDESModule m;
    ASSERT_EQ(0, m.Init(keyText.c_str(), TDES_MODE_ECB, 0));
    HexResult e = Encrypt(m, Bytes(answer.plain));
    ASSERT_EQ(0, e.result);
    EXPECT_EQ(e.text, Lower(answer.cipher));
    HexResult d = Decrypt(m, Upper(answer.cipher));
    ASSERT_EQ(0, d.result);
    EXPECT_EQ(d.text, Bytes(answer.plain));
  }
}

// Made once with, for key text T and plaintext P:
//   K=$(printf '%-24s' "$T" | cut -c1-24 | xxd -p)
//   printf "$P" | openssl enc -des-ede3-<cbc|ecb> -K $K -iv ${K:0:16} | xxd -p
struct OpensslCase {
  const char* keyText;
  int mode;
  std::string plain;
  const char* cipher;
};

const OpensslCase kOpensslCases[] = {
    {"abc", TDES_MODE_CBC, std::string("runparam\0payload", 16),
     "7478edb2f482bbd73b5d4832fbe7ad4068bae8ff2b07f64c"},
    {"Kx7pQ2mZ9rT4wB1c", TDES_MODE_CBC, "exactly sixteen!",
     "3f8498b9b05d1cd6e55d11e080060110f48283d63aae8019"},
    {"Kx7pQ2mZ9rT4wB1c", TDES_MODE_CBC, "x", "16004e34e0f7dffb"},
    {"abcdefghijklmnopqrstuvwxyz0123", TDES_MODE_CBC, "Now is the time for all good men to c",
     "eeb04726af6dcc8e6b1190623ef5402be6b22017082a89a3e32c9b2b9c4879df389ee86b3f10cc83"},
    {"Kx7pQ2mZ9rT4wB1c", TDES_MODE_ECB, "Now is the time for all good men to c",
     "7e7a7f6b327590ae4db0546c3340942ba9ce51a663442746ae95634ccfb53a6008bfe458d8b0119a"},
};

TEST(ZKTDESModule, MatchesOpensslWithTheLibraryKeyRule) {
  for (const OpensslCase& k : kOpensslCases) {
    SCOPED_TRACE(k.keyText);
    CZKTDESModule m;
    ASSERT_EQ(0, m.Init(k.keyText, k.mode, TDES_PADDING_PKCS5));
    HexResult e = Encrypt(m, k.plain);
    ASSERT_EQ(0, e.result);
    EXPECT_EQ(e.text, k.cipher);
    EXPECT_EQ(e.text.size(), 2 * TDESGetPaddedSize(static_cast<unsigned>(k.plain.size())));
    for (const std::string& hex : {std::string(k.cipher), Upper(k.cipher)}) {
      HexResult d = Decrypt(m, hex);
      ASSERT_EQ(0, d.result);
      EXPECT_EQ(d.text, k.plain);
    }
  }
}

TEST(ZKTDESModule, SizeFunctions) {
  struct Case {
    unsigned n, padded, hex, plainBuffer;
  } cases[] = {{0, 8, 17, 1}, {1, 8, 17, 1}, {7, 8, 17, 4}, {8, 16, 33, 5},
               {15, 16, 33, 8}, {16, 24, 49, 9}, {17, 24, 49, 9}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.n);
    EXPECT_EQ(k.padded, TDESGetPaddedSize(k.n));
    EXPECT_EQ(k.hex, TDESGetHexSize(k.n));
    EXPECT_EQ(k.n, TDESGetPlainSize(k.n));
    EXPECT_EQ(k.plainBuffer, TDESGetPlainBufferSize(k.n));
  }
}

TEST(ZKTDESModule, InitStates) {
  CZKTDESModule m;
  EXPECT_FALSE(m.IsReady());
  EXPECT_EQ(TDES_NOT_READY, Encrypt(m, "data").result);
  EXPECT_EQ(TDES_NOT_READY, Decrypt(m, "00").result);
  EXPECT_EQ(TDES_NULL_ARGUMENT, m.Init(nullptr, TDES_MODE_CBC, 2));
  EXPECT_EQ(TDES_NULL_ARGUMENT, m.Init("", TDES_MODE_CBC, 2));
  EXPECT_EQ(TDES_BAD_MODE, m.Init("key", 3, 2));
  EXPECT_EQ(TDES_BAD_MODE, m.Init("key", 0, 2));
  EXPECT_FALSE(m.IsReady());
  // A weak or semi-weak key in any third.
  const std::string weak = Bytes("E0FEE0FEF1FEF1FE");
  for (int third = 0; third < 3; ++third) {
    SCOPED_TRACE(third);
    std::string key = std::string("abcdefghijklmnopqrstuvwx");
    key.replace(8 * third, 8, weak);
    EXPECT_EQ(TDES_WEAK_KEY, m.Init(key.c_str(), TDES_MODE_CBC, 2));
    EXPECT_FALSE(m.IsReady());
    EXPECT_EQ(TDES_NOT_READY, Encrypt(m, "data").result);
  }
  EXPECT_EQ(0, m.Init("Kx7pQ2mZ9rT4wB1c", TDES_MODE_CBC, 2));
  EXPECT_TRUE(m.IsReady());
  EXPECT_EQ(TDES_ALREADY_KEYED, m.Init("other", TDES_MODE_CBC, 2));
  EXPECT_EQ(Encrypt(m, "x").text, "16004e34e0f7dffb");  // the old key stays
  m.Release();
  EXPECT_FALSE(m.IsReady());
  m.Release();
  EXPECT_EQ(0, m.Init("other", TDES_MODE_ECB, 2));
}

TEST(ZKTDESModule, KeyTextRule) {
  // Short text: filled with spaces; long text: cut to 24 characters.
  const char* same[][2] = {{"abc", "abc                     "},
                           {"abcdefghijklmnopqrstuvwx", "abcdefghijklmnopqrstuvwxyz0123"}};
  for (const auto& pair : same) {
    CZKTDESModule a;
    CZKTDESModule b;
    ASSERT_EQ(0, a.Init(pair[0], TDES_MODE_CBC, 2));
    ASSERT_EQ(0, b.Init(pair[1], TDES_MODE_CBC, 2));
    EXPECT_EQ(Encrypt(a, "some payload").text, Encrypt(b, "some payload").text);
  }
}

TEST(ZKTDESModule, EncryptFaults) {
  CZKTDESModule m;
  ASSERT_EQ(0, m.Init("Kx7pQ2mZ9rT4wB1c", TDES_MODE_CBC, 0));
  EXPECT_EQ(TDES_NO_INPUT, Encrypt(m, "").result);
  // Padding off: 13 bytes fail after the first block's 16 characters.
  HexResult r = Encrypt(m, "0123456789abc", 40);
  EXPECT_EQ(TDES_NOT_WHOLE_BLOCKS, r.result);
  EXPECT_EQ(std::string(16, 'Z'), r.text.substr(16, 16));
  EXPECT_NE(std::string(16, 'Z'), r.text.substr(0, 16));
  EXPECT_EQ(0, Encrypt(m, "0123456789abcdef").result);
  int n = 7;
  char out[40];
  EXPECT_EQ(TDES_NULL_ARGUMENT, m.EncryptToHex(nullptr, 4, out, 40, &n));
  EXPECT_EQ(TDES_NULL_ARGUMENT, m.EncryptToHex("data", 4, nullptr, 40, &n));
  EXPECT_EQ(TDES_NO_INPUT, m.EncryptToHex("data", -4, out, 40, &n));
  EXPECT_EQ(7, n);

  CZKTDESModule p;
  ASSERT_EQ(0, p.Init("Kx7pQ2mZ9rT4wB1c", TDES_MODE_CBC, 2));
  // Too small for the input, for the padding block, or for the NUL behind it.
  EXPECT_EQ(TDES_OUTPUT_TOO_SMALL, Encrypt(p, "exactly sixteen!", 31).result);
  EXPECT_EQ(TDES_BUFFER_TOO_SHORT, Encrypt(p, "exactly sixteen!", 40).result);
  EXPECT_EQ(TDES_BUFFER_TOO_SHORT, Encrypt(p, "exactly sixteen!", 48).result);
  EXPECT_EQ(0, Encrypt(p, "exactly sixteen!", 49).result);
  EXPECT_EQ(TDES_OUTPUT_TOO_SMALL, Encrypt(p, "x", 1).result);  // room for the NUL only
}

// Ciphertexts with a chosen last plaintext block, made with padding off.
std::string CipherOf(const std::string& plain) {
  CZKTDESModule raw;
  EXPECT_EQ(0, raw.Init("Kx7pQ2mZ9rT4wB1c", TDES_MODE_CBC, 0));
  return Encrypt(raw, plain).text;
}

TEST(ZKTDESModule, DecryptFaultsAndPadding) {
  CZKTDESModule m;
  ASSERT_EQ(0, m.Init("Kx7pQ2mZ9rT4wB1c", TDES_MODE_CBC, 2));
  const std::string good = "3f8498b9b05d1cd6e55d11e080060110f48283d63aae8019";
  struct Case {
    std::string hex;
    int result;
    std::string plain;
  } cases[] = {
      {"", TDES_NO_INPUT, ""},
      {good + "f", 0, "exactly sixteen!"},                       // odd last character unread
      {"3F8498b9B05D1cd6e55d11E080060110f48283d63aae8019", 0, "exactly sixteen!"},
      {"3f8498b9b05d1cdg" + good.substr(16), TDES_BUFFER_HEX_FAILED, ""},
      {"3f8498b9b05d1cd6e55d11e080060110f48283d63aae80 9", TDES_BUFFER_HEX_FAILED, ""},
      {good.substr(0, 40), TDES_BUFFER_TOO_SHORT, ""},           // 20 bytes: third block short
      {good.substr(0, 10), TDES_BUFFER_TOO_SHORT, ""},
      {CipherOf(std::string("ABCDEFG\x00", 8)), TDES_BAD_PADDING, ""},  // PKCS#5 never pads with 0
      {CipherOf("ABCDEFG\x09"), TDES_BAD_PADDING, ""},
      {CipherOf("ABCDE\x07\x07\x03"), TDES_BAD_PADDING, ""},  // every padding byte counts
      {CipherOf("ABCDE\x03\x02\x03"), TDES_BAD_PADDING, ""},
      {CipherOf("ABCDE\x03\x03\x03"), 0, "ABCDE"},
      {CipherOf("ABCDEFG\x01"), 0, "ABCDEFG"},
      {CipherOf("\x08\x08\x08\x08\x08\x08\x08\x08"), 0, ""},
      {CipherOf("\x07\x08\x08\x08\x08\x08\x08\x08"), TDES_BAD_PADDING, ""},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.hex);
    HexResult r = Decrypt(m, k.hex, 64);
    EXPECT_EQ(k.result, r.result);
    if (k.result == 0) {
      EXPECT_EQ(r.text, k.plain);
    }
  }
  // The output must take the input's bytes and the NUL.
  EXPECT_EQ(TDES_OUTPUT_TOO_SMALL, Decrypt(m, good, 24).result);
  EXPECT_EQ(0, Decrypt(m, good, 25).result);
  // A wrong key normally ends in the padding check.
  CZKTDESModule other;
  ASSERT_EQ(0, other.Init("another key", TDES_MODE_CBC, 2));
  HexResult wrong = Decrypt(other, good);
  EXPECT_TRUE(wrong.result == TDES_BAD_PADDING || wrong.text != "exactly sixteen!");
}

// Crypto++'s DES-EDE3 CBC decryption with PKCS#5 padding under the library's
// key rule (the key text filled with spaces to 24 bytes, IV = its first 8);
// false when Crypto++ refuses the padding.
bool ReferenceDecrypt(const char* keyText, const std::string& cipher, std::string* plain) {
  unsigned char key[24];
  std::memset(key, ' ', sizeof key);
  std::memcpy(key, keyText, strnlen(keyText, sizeof key));
  try {
    CryptoPP::CBC_Mode<CryptoPP::DES_EDE3>::Decryption decryption(key, sizeof key, key);
    plain->clear();
    CryptoPP::StringSource(cipher, true,
                           new CryptoPP::StreamTransformationFilter(decryption, new CryptoPP::StringSink(*plain)));
    return true;
  } catch (const CryptoPP::Exception&) {
    return false;
  }
}

// A hand-over decrypted under a wrong key must fail in the padding check
// unless the garbage happens to end in valid PKCS#5 padding: ours and
// Crypto++ agree on each of a seeded table of wrong keys. Reading the last
// byte alone accepted about one wrong key in 28.
TEST(ZKTDESModule, WrongKeysFailWhereCryptoppRefusesThePadding) {
  const std::string payload = "<<__defAult_sectIonNAMEbyBrumel=>>;AvatarURL=http://patch1.zkgames.test:30109/"
                              "CorvaliseAvatar.htm;ProgName=Corvalise;RunMode=1;";
  CZKTDESModule sender;
  ASSERT_EQ(0, sender.Init("ZKKEY20480_0417", TDES_MODE_CBC, 2));
  const HexResult hex = Encrypt(sender, payload);
  ASSERT_EQ(0, hex.result);
  const std::string cipher = Bytes(hex.text.c_str());

  std::mt19937 random(20261210);
  int lastByteWouldPass = 0;
  for (int i = 0; i < 4000; ++i) {
    char key[16];
    std::snprintf(key, sizeof key, "ZKKEY%d_%04d", static_cast<int>(random() % 32768),
                  static_cast<int>(random() % 10000));
    if (std::strcmp(key, "ZKKEY20480_0417") == 0) continue;
    SCOPED_TRACE(key);
    CZKTDESModule receiver;
    ASSERT_EQ(0, receiver.Init(key, TDES_MODE_CBC, 2));
    const HexResult ours = Decrypt(receiver, hex.text);
    std::string theirs;
    const bool accepted = ReferenceDecrypt(key, cipher, &theirs);
    EXPECT_EQ(ours.result == 0, accepted);
    if (accepted) {
      EXPECT_EQ(ours.text, theirs);
    } else {
      EXPECT_EQ(ours.result, TDES_BAD_PADDING);
    }
    CZKTDESModule raw;
    ASSERT_EQ(0, raw.Init(key, TDES_MODE_CBC, 0));
    const std::string block = Decrypt(raw, hex.text).text;
    if (static_cast<unsigned char>(block.back()) <= 8 && !accepted) ++lastByteWouldPass;
  }
  // The table holds wrong keys that a check of the last byte alone let through.
  EXPECT_GT(lastByteWouldPass, 0);
}

TEST(ZKTDESModule, RoundTripsAnyBytes) {
  std::mt19937 random(7);
  for (int mode : {TDES_MODE_ECB, TDES_MODE_CBC}) {
    CZKTDESModule m;
    ASSERT_EQ(0, m.Init("Kx7pQ2mZ9rT4wB1c", mode, 2));
    for (size_t length = 1; length <= 70; ++length) {
      SCOPED_TRACE(length);
      std::string data(length, '\0');
      for (char& c : data) c = static_cast<char>(random() % 4 == 0 ? 0 : random());
      HexResult e = Encrypt(m, data);
      ASSERT_EQ(0, e.result);
      HexResult d = Decrypt(m, e.text);
      ASSERT_EQ(0, d.result);
      EXPECT_EQ(d.text, data);
    }
  }
}

TEST(ZKTDESModule, SurvivesArbitraryHexText) {
  CZKTDESModule m;
  ASSERT_EQ(0, m.Init("Kx7pQ2mZ9rT4wB1c", TDES_MODE_CBC, 2));
  const char alphabet[] = "0123456789abcdefABCDEF g%";
  std::mt19937 random(5);
  for (int round = 0; round < 2000; ++round) {
    std::string text(random() % 70, ' ');
    for (char& c : text) c = alphabet[random() % (sizeof alphabet - 1)];
    const int size = static_cast<int>(random() % 40);
    std::vector<char> out(size + 1, 'Z');
    int n = -1;
    const int result = m.DecryptFromHex(text.data(), static_cast<int>(text.size()), out.data(), size, &n);
    const bool known = result == 0 || result == TDES_NO_INPUT || result == TDES_OUTPUT_TOO_SMALL ||
                       result == TDES_BAD_PADDING || result == TDES_BUFFER_TOO_SHORT || result == TDES_BUFFER_HEX_FAILED;
    EXPECT_TRUE(known) << result << " " << text;
    EXPECT_EQ('Z', out[size]);
    if (result == 0) {
      EXPECT_LT(n, size);
    }
  }
}

TEST(ZKTDESModule, AlgorithmGuards) {
  CZKTDESAlgorithm_CBC cbc;
  unsigned char block[8] = {};
  EXPECT_EQ(TDES_NOT_READY, cbc.EncryptRaw(block));
  EXPECT_EQ(TDES_NOT_READY, cbc.EncryptBlock(block, block, block));
  EXPECT_EQ(TDES_NOT_READY, cbc.EncryptData(nullptr, nullptr));
  EXPECT_EQ(TDES_NULL_ARGUMENT, cbc.SetKey(nullptr, 2));
  ASSERT_EQ(0, cbc.SetKey("key", 2));
  EXPECT_EQ(TDES_ALREADY_KEYED, cbc.SetKey("key", 2));
  EXPECT_EQ(TDES_NULL_ARGUMENT, cbc.EncryptBlock(block, block, nullptr));
  EXPECT_EQ(TDES_NULL_ARGUMENT, cbc.DecryptBlock(nullptr, block, block));
  EXPECT_EQ(TDES_NULL_ARGUMENT, cbc.EncryptData(nullptr, nullptr));
  CZKTDESModule m;
  ASSERT_EQ(0, m.Init("key", TDES_MODE_CBC, 2));
  CZKTDESBufferInput_BYTE input("abc", 3);
  EXPECT_EQ(TDES_NULL_ARGUMENT, m.Process(true, &input, nullptr, nullptr));
  // Each call starts again from the IV.
  EXPECT_EQ(Encrypt(m, "same").text, Encrypt(m, "same").text);
}

}  // namespace
