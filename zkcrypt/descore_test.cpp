// Tests of the single-DES core against the published known answers and the
// defining property of weak and semi-weak keys.
#include "zkcrypt/descore.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "tests/support/desknownanswers.h"

namespace {

using zkcrypt_test::FromHex;
using zkcrypt_test::Lower;
using zkcrypt_test::ToHex;

TEST(DesCore, SingleDesKnownAnswersBothDirections) {
  for (const auto& answer : zkcrypt_test::SingleDesAnswers()) {
    SCOPED_TRACE(answer.key + std::string(" ") + answer.plain);
    std::vector<unsigned char> key = FromHex(answer.key);
    std::vector<unsigned char> block = FromHex(answer.plain);
    uint32_t schedule[zkcrypt::kDesScheduleWords];
    zkcrypt::DesKeySchedule(key.data(), schedule);
    zkcrypt::DesEncryptBlock(schedule, block.data());
    EXPECT_EQ(ToHex(block.data(), 8), Lower(answer.cipher));
    zkcrypt::DesDecryptBlock(schedule, block.data());
    EXPECT_EQ(ToHex(block.data(), 8), Lower(answer.plain));
  }
}

TEST(DesCore, TripleDesKnownAnswersBothDirections) {
  std::vector<std::string> keys;
  for (const auto& answer : zkcrypt_test::AllTripleDesAnswers(keys)) {
    SCOPED_TRACE(answer.key);
    std::vector<unsigned char> key = FromHex(answer.key);
    std::vector<unsigned char> data = FromHex(answer.plain);
    uint32_t s[3][zkcrypt::kDesScheduleWords];
    for (int i = 0; i < 3; ++i) zkcrypt::DesKeySchedule(key.data() + 8 * i, s[i]);
    for (size_t at = 0; at < data.size(); at += 8) zkcrypt::DesEde3EncryptBlock(s[0], s[1], s[2], data.data() + at);
    EXPECT_EQ(ToHex(data.data(), data.size()), Lower(answer.cipher));
    for (size_t at = 0; at < data.size(); at += 8) zkcrypt::DesEde3DecryptBlock(s[0], s[1], s[2], data.data() + at);
    EXPECT_EQ(ToHex(data.data(), data.size()), Lower(answer.plain));
  }
}

TEST(DesCore, ParityBitsDoNotChangeTheSchedule) {
  const std::vector<unsigned char> key = FromHex("133457799BBCDFF1");
  std::vector<unsigned char> flipped = key;
  for (auto& b : flipped) b ^= 1;
  uint32_t a[zkcrypt::kDesScheduleWords];
  uint32_t b[zkcrypt::kDesScheduleWords];
  zkcrypt::DesKeySchedule(key.data(), a);
  zkcrypt::DesKeySchedule(flipped.data(), b);
  EXPECT_EQ(0, std::memcmp(a, b, sizeof a));
}

// Weak keys are their own inverse; semi-weak keys come in pairs where one
// undoes the other. Checking that property confirms the list independently.
TEST(DesCore, WeakKeyListHasTheWeakKeyProperty) {
  const char* weak[] = {"0101010101010101", "FEFEFEFEFEFEFEFE", "E0E0E0E0F1F1F1F1", "1F1F1F1F0E0E0E0E"};
  const char* semiWeakPairs[][2] = {
      {"011F011F010E010E", "1F011F010E010E01"}, {"01E001E001F101F1", "E001E001F101F101"},
      {"01FE01FE01FE01FE", "FE01FE01FE01FE01"}, {"1FE01FE00EF10EF1", "E01FE01FF10EF10E"},
      {"1FFE1FFE0EFE0EFE", "FE1FFE1FFE0EFE0E"}, {"E0FEE0FEF1FEF1FE", "FEE0FEE0FEF1FEF1"}};
  const std::vector<unsigned char> plain = FromHex("0123456789ABCDEF");
  auto encrypt = [](const std::vector<unsigned char>& key, std::vector<unsigned char>& block) {
    uint32_t s[zkcrypt::kDesScheduleWords];
    zkcrypt::DesKeySchedule(key.data(), s);
    zkcrypt::DesEncryptBlock(s, block.data());
  };
  for (const char* k : weak) {
    SCOPED_TRACE(k);
    std::vector<unsigned char> key = FromHex(k);
    EXPECT_TRUE(zkcrypt::DesIsWeakKey(key.data()));
    std::vector<unsigned char> block = plain;
    encrypt(key, block);
    encrypt(key, block);
    EXPECT_EQ(block, plain);
  }
  for (const auto& pair : semiWeakPairs) {
    SCOPED_TRACE(pair[0]);
    std::vector<unsigned char> first = FromHex(pair[0]);
    std::vector<unsigned char> second = FromHex(pair[1]);
    EXPECT_TRUE(zkcrypt::DesIsWeakKey(first.data()));
    EXPECT_TRUE(zkcrypt::DesIsWeakKey(second.data()));
    std::vector<unsigned char> block = plain;
    encrypt(first, block);
    encrypt(second, block);
    EXPECT_EQ(block, plain);
    // The test is byte for byte: the same key with a parity bit flipped passes.
    first[3] ^= 1;
    EXPECT_FALSE(zkcrypt::DesIsWeakKey(first.data()));
  }
  EXPECT_FALSE(zkcrypt::DesIsWeakKey(FromHex("0001010101010101").data()));
  EXPECT_FALSE(zkcrypt::DesIsWeakKey(FromHex("133457799BBCDFF1").data()));
}

}  // namespace
