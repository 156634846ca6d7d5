// SEED-128 decryption against RFC 4269's known answers and vectors made with OpenSSL.
#include "zkrunparammodulelib/zkseed.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<unsigned char> FromHex(const std::string& hex) {
  std::vector<unsigned char> bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) bytes.push_back(static_cast<unsigned char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return bytes;
}

// The reader takes words little-endian, RFC 4269 and OpenSSL big-endian: reverse each 4-byte group.
void SwapWordBytes(std::vector<unsigned char>* bytes) {
  for (size_t i = 0; i + 3 < bytes->size(); i += 4) {
    std::swap((*bytes)[i], (*bytes)[i + 3]);
    std::swap((*bytes)[i + 1], (*bytes)[i + 2]);
  }
}

struct Vector {
  const char* key;
  const char* plain;
  const char* cipher;
};

// Key, plain text and cipher text in RFC 4269's (big-endian) byte order. The
// first four are the RFC's appendix; the rest were made with
//   echo -n PLAIN | xxd -r -p | openssl enc -provider legacy -provider default -seed-ecb -nopad -K KEY | xxd -p
// from random keys and blocks (openssl rand -hex 16).
const Vector kVectors[] = {
    {"00000000000000000000000000000000", "000102030405060708090a0b0c0d0e0f", "5ebac6e0054e166819aff1cc6d346cdb"},
    {"000102030405060708090a0b0c0d0e0f", "00000000000000000000000000000000", "c11f22f20140505084483597e4370f43"},
    {"4706480851e61be85d74bfb3fd956185", "83a2f8a288641fb9a4e9a5cc2f131c7d", "ee54d13ebcae706d226bc3142cd40d4a"},
    {"28dbc3bc49ffd87dcfa509b11d422be7", "b41e6be2eba84a148e2eed84593c5ec7", "9b9b7bfcd1813cb95d0b3618f40f5122"},
    {"8f6f785d31d471090c84a5d5a5f9e0c6", "38cfc50d9b03b56e65976b32573c23ee", "0f85004641863c8aa7b948e6f2076951"},
    {"6f1a4687e2c077762af54dd57f932e29", "f678f8e12dc486b921032e2eb4f18b00", "bb436b195e435b11f4aa0b4a43c1e997"},
    {"27a909852ea57dc828a50ebf3ead882d", "688712779fa0c541cd710fc20632752e", "032331b8676c08079e77aa8a4b56e372"},
};

TEST(Seed128, DecryptsReferenceVectorsInLittleEndianWordOrder) {
  for (const Vector& v : kVectors) {
    SCOPED_TRACE(v.cipher);
    std::vector<unsigned char> key = FromHex(v.key), block = FromHex(v.cipher);
    SwapWordBytes(&key);
    SwapWordBytes(&block);
    uint32_t roundKeys[SEED128_ROUND_KEY_WORDS];
    Seed128ExpandKey(roundKeys, key.data());
    Seed128DecryptBlock(block.data(), roundKeys);
    SwapWordBytes(&block);
    EXPECT_EQ(block, FromHex(v.plain));
  }
}

TEST(Seed128, RoundKeysServeEveryBlockAlike) {
  // ECB: one schedule, blocks decrypted one after another, each on its own.
  std::vector<unsigned char> key = FromHex(kVectors[2].key);
  SwapWordBytes(&key);
  uint32_t roundKeys[SEED128_ROUND_KEY_WORDS];
  Seed128ExpandKey(roundKeys, key.data());
  for (int pass = 0; pass < 2; ++pass) {
    std::vector<unsigned char> block = FromHex(kVectors[2].cipher);
    SwapWordBytes(&block);
    Seed128DecryptBlock(block.data(), roundKeys);
    SwapWordBytes(&block);
    EXPECT_EQ(block, FromHex(kVectors[2].plain));
  }
}

}  // namespace
