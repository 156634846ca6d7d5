// Tests of the Triple-DES module's block buffers and hex codec.
#include "zkrunparammodulelib/zktdesbuffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using namespace NS_ZKRunParamModuleLib;

TEST(ZKTDESHex, PairsAndCharacters) {
  struct Case {
    char high, low;
    int ok;
    unsigned char value;
  } cases[] = {{'0', '0', 1, 0x00}, {'f', 'F', 1, 0xff}, {'A', '9', 1, 0xa9}, {'g', '0', 0, 0},
               {'0', ' ', 0, 0},    {'+', '1', 0, 0},    {'\0', '1', 0, 0}};
  for (const Case& k : cases) {
    SCOPED_TRACE(std::string(1, k.high) + k.low);
    unsigned char b = 0x55;
    EXPECT_EQ(k.ok, HexPairToByte(k.high, k.low, &b));
    if (k.ok) {
      EXPECT_EQ(k.value, b);
    }
    EXPECT_EQ(k.ok != 0, IsHexChar(k.high) && IsHexChar(k.low));
  }
  char high = 0;
  char low = 0;
  EXPECT_EQ(1, ByteToHexPair(0xAB, &high, &low));
  EXPECT_EQ('a', high);
  EXPECT_EQ('b', low);
}

TEST(ZKTDESHex, BlockConversionsRespectTheirLimits) {
  const unsigned char data[3] = {0x01, 0xab, 0xff};
  char text[8];
  std::memset(text, 'Z', sizeof text);
  unsigned length = 0;
  EXPECT_EQ(0, BytesToHex(data, 3, text, 5, &length));
  EXPECT_EQ('Z', text[0]);
  EXPECT_EQ(1, BytesToHex(data, 3, text, 6, &length));
  EXPECT_EQ(6u, length);
  EXPECT_EQ(std::string(text, 7), "01abffZ");
  EXPECT_EQ(0, BytesToHex(nullptr, 3, text, 6, &length));

  unsigned char out[4];
  std::memset(out, 0xEE, sizeof out);
  EXPECT_EQ(0, HexToBytes("01abf", 5, out, 4, &length));     // odd
  EXPECT_EQ(0, HexToBytes("01abff", 6, out, 2, &length));    // no room
  EXPECT_EQ(0xEE, out[0]);
  EXPECT_EQ(0, HexToBytes("01ABxf", 6, out, 4, &length));    // bytes before the fault stay
  EXPECT_EQ(0x01, out[0]);
  EXPECT_EQ(0xab, out[1]);
  EXPECT_EQ(1, HexToBytes("01ABff", 6, out, 3, &length));
  EXPECT_EQ(3u, length);
  EXPECT_EQ(0xEE, out[3]);
}

TEST(ZKTDESBuffer, LockCommitAdvanceCodes) {
  char memory[20] = "0123456789abcdefghi";
  CZKTDESBufferOutput_BYTE none;
  char* start = nullptr;
  EXPECT_FALSE(none.IsValid());
  EXPECT_EQ(TDES_BUFFER_NO_MEMORY, none.Lock(&start, 8));
  EXPECT_EQ(TDES_BUFFER_NO_MEMORY, none.Advance(1));
  EXPECT_FALSE(none.Attach(nullptr, 5));

  CZKTDESBufferOutput_BYTE b(memory, 10);
  EXPECT_EQ(TDES_BUFFER_BAD_ARGUMENT, b.Lock(nullptr, 8));
  EXPECT_EQ(TDES_BUFFER_BAD_ARGUMENT, b.Lock(&start, 0));
  EXPECT_EQ(TDES_BUFFER_TOO_SHORT, b.Lock(&start, 11));
  EXPECT_EQ(TDES_BUFFER_NOT_LOCKED, b.Commit(memory, 8));
  int raw = 0;
  ASSERT_EQ(0, b.Lock(&start, 8, &raw));
  EXPECT_EQ(memory, start);
  EXPECT_EQ(8, raw);
  EXPECT_EQ(TDES_BUFFER_NOT_LOCKED, b.Commit(start, 7));
  EXPECT_EQ(TDES_BUFFER_NOT_LOCKED, b.Commit(start + 1, 8));
  EXPECT_EQ(0, b.Commit(start, 8));
  EXPECT_EQ(8u, b.GetProcessed());
  EXPECT_EQ(TDES_BUFFER_ZERO_ADVANCE, b.Advance(0));
  EXPECT_EQ(TDES_BUFFER_TOO_SHORT, b.Advance(3));
  EXPECT_EQ(TDES_BUFFER_TOO_SHORT, b.Write(reinterpret_cast<const unsigned char*>("xyz"), 3));
  EXPECT_EQ(0, b.Write(reinterpret_cast<const unsigned char*>("xy"), 2));
  EXPECT_TRUE(b.IsEmpty());
  EXPECT_EQ(std::string(memory, 12), "01234567xyab");
}

TEST(ZKTDESBuffer, LastBlockOfByteInput) {
  CZKTDESBufferInput_BYTE b("0123456789ab", 12);
  unsigned char* block = nullptr;
  int length = -1;
  EXPECT_EQ(TDES_BUFFER_FULL_BLOCK_LEFT, b.GetLastBlock(&block, &length));
  ASSERT_EQ(0, b.GetBlock(&block));
  EXPECT_EQ(TDES_BUFFER_NOT_LOCKED, b.ReleaseBlock(block + 1));
  ASSERT_EQ(0, b.ReleaseBlock(block));
  ASSERT_EQ(0, b.GetLastBlock(&block, &length));
  EXPECT_EQ(4, length);
  EXPECT_EQ(0, std::memcmp(block, "89ab", 4));
}

TEST(ZKTDESBuffer, HexInputAlternatesItsStagingBlocks) {
  const char text[] = "0001020304050607" "1011121314151617" "20";
  CZKTDESBufferInput_HSTR in(text, sizeof text - 1);
  EXPECT_EQ(17u, in.GetRemainingBytes());
  unsigned char* first = nullptr;
  ASSERT_EQ(0, in.GetBlock(&first));
  EXPECT_EQ(0x07, first[7]);
  unsigned char foreign[8];
  EXPECT_EQ(TDES_BUFFER_NOT_STAGING, in.ReleaseBlock(foreign));
  ASSERT_EQ(0, in.ReleaseBlock(first));
  unsigned char* second = nullptr;
  ASSERT_EQ(0, in.GetBlock(&second));
  EXPECT_NE(first, second);
  EXPECT_EQ(0x07, first[7]);  // the previous block is still there for chaining
  EXPECT_EQ(0x17, second[7]);
  unsigned char* tail = nullptr;
  int length = 0;
  EXPECT_EQ(TDES_BUFFER_FULL_BLOCK_LEFT, in.GetLastBlock(&tail, &length));
  ASSERT_EQ(0, in.ReleaseBlock(second));
  ASSERT_EQ(0, in.GetLastBlock(&tail, &length));
  EXPECT_EQ(1, length);
  EXPECT_EQ(0x20, tail[0]);

  CZKTDESBufferInput_HSTR bad("00010203040506zz", 16);
  unsigned char* block = nullptr;
  EXPECT_EQ(TDES_BUFFER_HEX_FAILED, bad.GetBlock(&block));
}

TEST(ZKTDESBuffer, HexOutputWritesLowerCasePairs) {
  char memory[40];
  std::memset(memory, 'Z', sizeof memory);
  CZKTDESBufferOutput_HSTR out(memory, 34);
  EXPECT_EQ(17u, out.GetRemainingBytes());
  unsigned char* block = nullptr;
  ASSERT_EQ(0, out.GetBlock(&block));
  for (int i = 0; i < 8; ++i) block[i] = static_cast<unsigned char>(0xA0 + i);
  unsigned char foreign[8];
  EXPECT_EQ(TDES_BUFFER_NOT_STAGING, out.ReleaseBlock(foreign));
  ASSERT_EQ(0, out.ReleaseBlock(block));
  unsigned char* next = nullptr;
  ASSERT_EQ(0, out.GetBlock(&next));
  EXPECT_NE(block, next);
  const unsigned char tail[] = {0x0F, 0xF0};
  ASSERT_EQ(0, out.Write(tail, 2));
  EXPECT_EQ(20u, out.GetProcessed());
  EXPECT_EQ(std::string(memory, 21), "a0a1a2a3a4a5a6a70ff0Z");
  ASSERT_EQ(0, out.GetBlock(&next));
  EXPECT_EQ(TDES_BUFFER_TOO_SHORT, out.ReleaseBlock(next));
}

}  // namespace
