// The clipboard reader's text handling: segments, trimming, limits, and the read over a fake clipboard.
#include "zkrunparammodulelib/zkcbdata.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// Segments as the outside writer makes them, under the key text "passphrase"
// unless said otherwise: the plain text NUL-filled to whole blocks, then
//   swap() { sed 's/\(..\)\(..\)\(..\)\(..\)/\4\3\2\1/g'; }   # reverse each 4-byte group
//   echo -n $(swap PLAIN) | xxd -r -p |
//     openssl enc -provider legacy -provider default -seed-ecb -nopad -K $(swap 70617373706872617365000000000000) |
//     xxd -p | swap
const char kKey[] = "passphrase";
const std::string kHello = "934a2cf54449144b008ace0c44a07b27";      // "Hello, clipboard"
const std::string kTrailing = "9ee5086901fa826449c3d95472a9e666";   // "trailing   "
const std::string kInnerNul = "6dd1e516c11cd0b955e0e3a6e9e168db";   // "ab\0cd"
const std::string kGame =                                           // "GameID=7|Server=alpha"
    "2214bc563fcc5347f288ef6675f97a315d4c5a12c44ef80b46a99910059f8ece";
const std::string kSpaces = "6c7c3d2c3df255318bd306380e1cf903";     // 16 spaces
const std::string kNuls = "a1db9cae6a4c9b677914eb26e7bec176";       // 16 NUL bytes
const std::string kXs = "195f363c95e537ec02cd8ef7b058e693";         // "xxxxxxxxxxxxxxxx"
const std::string kNext = "5c600e57970f8cdb7df727c698f321fa";       // "next"
// "sixteen-key text" under the key text "0123456789abcdef".
const std::string kSixteen = "b6e57e6e2a5776c5ca5db24829469da0";
// "zero key" under 16 zero bytes.
const std::string kZeroKey = "3d3c52481cdaf86b32570eaaf3b91244";

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string Repeat(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

TEST(HexTextToInt, ReadsLeadingDigitsOnly) {
  struct Case {
    const char* text;
    int value;
  } cases[] = {
      {"", 0},   {"0", 0},      {"ff", 255}, {"Ab", 171},          {"aF", 175},
      {"g1", 0}, {"1g", 1},     {" 1", 0},   {"7fffffff", INT32_MAX}, {"123456789", 0x23456789},
  };
  for (const Case& c : cases) EXPECT_EQ(HexTextToInt(c.text), c.value) << c.text;
  EXPECT_EQ(HexTextToInt(nullptr), 0);
}

struct TextCase {
  const char* name;
  std::string text;
  const char* key;
  int code;
  std::string plain;  // the result up to its first NUL, when code is 0
};

TEST(DecryptCBText, SplitsTrimsAndJoinsSegments) {
  const TextCase cases[] = {
      {"one block", kHello, kKey, 0, "Hello, clipboard"},
      {"trailing spaces and NULs go", kTrailing, kKey, 0, "trailing"},
      {"two segments joined", kTrailing + "|" + kGame, kKey, 0, "trailingGameID=7|Server=alpha"},
      {"cases mixed", Upper(kHello.substr(0, 16)) + kHello.substr(16) + "|" + Upper(kNext), kKey, 0,
       "Hello, clipboardnext"},
      {"inner NUL cuts the result", kInnerNul + "|" + kNext, kKey, 0, "ab"},
      {"20-character key is cut to 16", kSixteen, "0123456789abcdefWXYZ", 0, "sixteen-key text"},
      {"16-character key", kSixteen, "0123456789abcdef", 0, "sixteen-key text"},
      {"empty key is 16 zero bytes", kZeroKey, "", 0, "zero key"},
      {"31 digits", kHello.substr(1), kKey, 1, ""},
      {"33 digits", kHello + "0", kKey, 1, ""},
      {"line break at the end", kHello + "\r\n", kKey, 1, ""},
      {"bad second segment", kHello + "|" + kNext.substr(2), kKey, 1, ""},
      {"empty text", "", kKey, 2, ""},
      {"separator at the end", kHello + "|", kKey, 2, ""},
      {"two separators in a row", kHello + "||" + kNext, kKey, 2, ""},
      {"all spaces", kSpaces, kKey, 2, ""},
      {"all NULs", kNuls, kKey, 2, ""},
      {"NULL key", kHello, nullptr, 3, ""},
  };
  for (const TextCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<char> out(CBDATA_WORK_AREA_SIZE, '\0');
    ASSERT_EQ(DecryptCBText(c.text.c_str(), c.key, out.data(), CBDATA_WORK_TEXT_LIMIT), c.code);
    if (c.code == 0) {
      EXPECT_EQ(std::string(out.data()), c.plain);
    }
  }
}

TEST(DecryptCBText, NonHexDigitsEndTheirPairWithoutError) {
  // "9g" reads as 9 and "g3" as 0: the same bytes as "09" and "00".
  std::string bent = kHello, plain = kHello;
  bent.replace(0, 4, "9gg3");
  plain.replace(0, 4, "0900");
  char a[64] = {}, b[64] = {};
  ASSERT_EQ(DecryptCBText(bent.c_str(), kKey, a, sizeof a), 0);
  ASSERT_EQ(DecryptCBText(plain.c_str(), kKey, b, sizeof b), 0);
  EXPECT_EQ(memcmp(a, b, sizeof a), 0);
}

TEST(DecryptCBText, StaysWithinTheGivenRoom) {
  struct Case {
    std::string text;
    int outSize;
    int code;
  } cases[] = {
      {kHello, 17, 0},                       // 16 bytes and the NUL
      {kHello, 16, 4},
      {kHello + "|" + kNext, 33, 0},         // the second segment gets the 17 bytes left
      {kHello + "|" + kNext, 32, 4},
      {kTrailing + "|" + kNext, 25, 0},      // the first segment's trimmed length counts
      {Repeat(kXs, 2047), CBDATA_WORK_TEXT_LIMIT, 0},
      {Repeat(kXs, 2048), CBDATA_WORK_TEXT_LIMIT, 4},
      {Repeat(kXs, 2047) + "|" + kXs, CBDATA_WORK_TEXT_LIMIT, 4},
      {kHello, 0, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.outSize);
    // Exactly outSize bytes, so that a write beyond them trips the address checker.
    std::vector<char> out(c.outSize > 0 ? c.outSize : 1);
    EXPECT_EQ(DecryptCBText(c.text.c_str(), kKey, out.data(), c.outSize), c.code);
  }
}

TEST(DecryptCBSegment, CountIsRoomInAndLengthOut) {
  std::vector<char> out(17);
  int count = 17;
  ASSERT_EQ(DecryptCBSegment(kTrailing.c_str(), -1, kKey, out.data(), &count), 0);
  EXPECT_EQ(count, 8);
  EXPECT_EQ(std::string(out.data()), "trailing");

  // Only hexLen digits are read, whatever follows them.
  std::string two = kHello + kNext;
  count = 17;
  ASSERT_EQ(DecryptCBSegment(two.c_str(), 32, kKey, out.data(), &count), 0);
  EXPECT_EQ(std::string(out.data(), count), "Hello, clipboard");

  // A negative count sets no limit: the caller vouches for the room.
  std::vector<char> roomy(64);
  count = -1;
  ASSERT_EQ(DecryptCBSegment(kGame.c_str(), -1, kKey, roomy.data(), &count), 0);
  EXPECT_EQ(count, 21);

  count = 0;
  EXPECT_EQ(DecryptCBSegment(kHello.c_str(), -1, kKey, out.data(), &count), 3);
  EXPECT_EQ(DecryptCBSegment(kHello.c_str(), -1, kKey, out.data(), nullptr), 3);
  count = 17;
  EXPECT_EQ(DecryptCBSegment(nullptr, 0, kKey, out.data(), &count), 3);
  EXPECT_EQ(DecryptCBSegment(kHello.c_str(), -1, kKey, nullptr, &count), 3);
  EXPECT_EQ(DecryptCBSegment(kHello.c_str(), 31, kKey, out.data(), &count), 1);
}

// A clipboard in memory for the read around the decryption.
struct FakeClipboard {
  unsigned format = 0xc123;
  bool opens = true;
  bool hasData = true;
  bool locks = true;
  std::vector<char> block;  // the memory block, exactly as large as the writer made it
  int opened = 0, closed = 0, locked = 0, unlocked = 0, cleared = 0;
};
FakeClipboard* fake = nullptr;

CBClipboardCalls FakeCalls() {
  return CBClipboardCalls{
      [](const char* name) { return strcmp(name, "Corvalise_ClipFormat") == 0 ? fake->format : 0u; },
      [] { return fake->opens && ++fake->opened > 0; },
      [](unsigned format) -> void* { return format == fake->format && fake->hasData ? fake : nullptr; },
      [](void*, size_t* size) -> const char* {
        if (!fake->locks) return nullptr;
        ++fake->locked;
        *size = fake->block.size();
        return fake->block.data();
      },
      [](void*) { ++fake->unlocked; },
      [](unsigned format) { fake->cleared += format == fake->format; },
      [] { ++fake->closed; },
  };
}

class ReadCBDataExTest : public ::testing::Test {
 protected:
  void SetUp() override { fake = &clipboard_; }
  void TearDown() override { fake = nullptr; }
  void Put(const std::string& text) { clipboard_.block.assign(text.c_str(), text.c_str() + text.size() + 1); }
  FakeClipboard clipboard_;
  ScopedCBClipboardCalls calls_{FakeCalls()};
};

TEST_F(ReadCBDataExTest, ReadsAndClearsOnlyWhenAsked) {
  for (bool clear : {false, true}) {
    clipboard_ = FakeClipboard();
    Put(kTrailing + "|" + kGame);
    char out[64];
    ASSERT_EQ(ReadCBDataEx(out, sizeof out, kKey, clear), 0);
    EXPECT_STREQ(out, "trailingGameID=7|Server=alpha");
    EXPECT_EQ(clipboard_.cleared, clear ? 1 : 0);
    EXPECT_EQ(clipboard_.closed, 1);
    EXPECT_EQ(clipboard_.unlocked, 1);
  }
}

TEST_F(ReadCBDataExTest, FailuresCloseWhatWasOpenedAndLeaveTheOutputAlone) {
  struct Case {
    const char* name;
    void (*arrange)(FakeClipboard*);
    std::string text;
    const char* key;
    int code;
    int closed;
  } cases[] = {
      {"format not registered", [](FakeClipboard* c) { c->format = 0; }, kHello, kKey, 2001, 0},
      {"clipboard not opened", [](FakeClipboard* c) { c->opens = false; }, kHello, kKey, 2002, 0},
      {"no data in the format", [](FakeClipboard* c) { c->hasData = false; }, kHello, kKey, 2006, 1},
      {"data not locked", [](FakeClipboard* c) { c->locks = false; }, kHello, kKey, 2004, 1},
      {"bad segment", [](FakeClipboard*) {}, kHello + "\n", kKey, 1, 1},
      {"empty text", [](FakeClipboard*) {}, "", kKey, 2, 1},
      {"NULL key", [](FakeClipboard*) {}, kHello, nullptr, 3, 1},
      {"longer than the work area", [](FakeClipboard*) {}, Repeat(kXs, 2048), kKey, 4, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    clipboard_ = FakeClipboard();
    Put(c.text);
    c.arrange(&clipboard_);
    char out[64];
    memset(out, 'Z', sizeof out);
    EXPECT_EQ(ReadCBDataEx(out, sizeof out, c.key, true), c.code);
    EXPECT_EQ(std::string(out, sizeof out), std::string(sizeof out, 'Z'));
    EXPECT_EQ(clipboard_.closed, c.closed);
    EXPECT_EQ(clipboard_.unlocked, clipboard_.locked);
    EXPECT_EQ(clipboard_.cleared, 0);
  }
}

TEST_F(ReadCBDataExTest, CallerBufferMustHoldTheTextAndItsNul) {
  Put(kHello);  // 16 characters
  char out[17];
  EXPECT_EQ(ReadCBDataEx(nullptr, 17, kKey, false), 3);
  EXPECT_EQ(ReadCBDataEx(out, 0, kKey, false), 3);
  EXPECT_EQ(clipboard_.opened, 0);

  memset(out, 'Z', sizeof out);
  EXPECT_EQ(ReadCBDataEx(out, 16, kKey, false), 4);
  EXPECT_EQ(std::string(out, 16), std::string(16, 'Z'));
  ASSERT_EQ(ReadCBDataEx(out, 17, kKey, false), 0);
  EXPECT_STREQ(out, "Hello, clipboard");
}

TEST_F(ReadCBDataExTest, TextWithoutNulIsReadOnlyToTheEndOfItsBlock) {
  clipboard_.block.assign(kHello.begin(), kHello.end());  // no NUL after the 32 digits
  char out[32];
  ASSERT_EQ(ReadCBDataEx(out, sizeof out, kKey, false), 0);
  EXPECT_STREQ(out, "Hello, clipboard");
}

TEST(ReadCBData, WithoutAClipboardNativelyReportsFailure) {
#if !defined(_WIN32)
  char out[16];
  EXPECT_EQ(ReadCBDataEx(out, sizeof out, kKey, false), 2001);
  EXPECT_FALSE(ReadCBData(out, sizeof out, kKey, false));
#endif
}

}  // namespace
