// Tests of the library string and its formatter.
#include "zkrunparammodulelib/zkstring.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

using NS_ZKRunParamModuleLib::_CZKString;
using NS_ZKRunParamModuleLib::VFormatText;

namespace {

std::string Fmt(const char* format, ...) {
  va_list args;
  va_start(args, format);
  _CZKString text;
  bool done = text.FormatV(format, args);
  va_end(args);
  return done && text.GetText() ? std::string(text.GetText()) : std::string("<failed>");
}

// VFormatText into a guarded buffer of count characters; returns its result.
int Bounded(char* out, int count, const char* format, ...) {
  va_list args;
  va_start(args, format);
  int result = VFormatText(args, format, out, count);
  va_end(args);
  return result;
}

TEST(FormatText, Conversions) {
  struct Case {
    std::string got;
    const char* expected;
  } cases[] = {
      {Fmt("%05d", -42), "-00042"},
      {Fmt("%5d", -42), "-   42"},
      {Fmt("%d|%i", 0, -2147483647 - 1), "0|-2147483648"},
      {Fmt("%u", 4294967295u), "4294967295"},
      {Fmt("%04X", 255), "00FF"},
      {Fmt("%x", 255), "ff"},
      {Fmt("%08x", 0xdeadbeefu), "deadbeef"},
      {Fmt("%o", 8), "10"},
      {Fmt("%b", 5), "101"},
      {Fmt("%hd", 0x18000), "-32768"},
      {Fmt("%hu", 0x18001), "32769"},
      {Fmt("%ld", -7L), "-7"},
      {Fmt("%I64u", uint64_t(1) << 40), "1099511627776"},
      {Fmt("%I64d", INT64_MIN), "-9223372036854775808"},
      {Fmt("%I64x|%d", uint64_t(0x123456789abcdefULL), 9), "123456789abcdef|9"},
      {Fmt("%s_%d", "ab", 12), "ab_12"},
      {Fmt("[%s]", static_cast<const char*>(nullptr)), "[(NULL)]"},
      {Fmt("[%s]", ""), "[]"},
      {Fmt("%10s|%c", "ab", 0x141), "ab|A"},
      {Fmt("100%%"), "100%"},
      {Fmt("%q%d", 7), "7"},
      {Fmt("%-5s", "x"), "5s"},
      {Fmt("%.2d", 3), "2d"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.expected);
}

TEST(FormatText, FieldNeverExceedsItsBound) {
  // A width beyond the 32-character field pads to 32 characters only.
  EXPECT_EQ(Fmt("%099d", 1), std::string(31, '0') + "1");
  EXPECT_EQ(Fmt("%4000000000d", 1), std::string(31, ' ') + "1");
  // A 64-bit number in binary has more digits than the field: written whole.
  EXPECT_EQ(Fmt("%I64b", UINT64_MAX), std::string(64, '1'));
  EXPECT_EQ(Fmt("%040I64b", uint64_t(1) << 40), "1" + std::string(40, '0'));
}

TEST(FormatText, FormatEndingInsideAConversionStops) {
  for (const char* format : {"ab%", "ab%0", "ab%12", "ab%h", "ab%I64"}) {
    EXPECT_EQ(Fmt(format, 5), "ab") << format;
  }
  // 'I' without "64" is an unknown conversion of its own.
  EXPECT_EQ(Fmt("ab%I6", 5), "ab6");
}

TEST(FormatText, CountBoundsTheOutput) {
  EXPECT_EQ(Bounded(nullptr, 0, "%s_%d", "ab", 12), 6);
  char out[8];
  memset(out, '#', sizeof out);
  EXPECT_EQ(Bounded(out, 3, "abcdef"), 7);
  EXPECT_EQ(std::string(out, 4), "abc#");  // cut output carries no NUL
  memset(out, '#', sizeof out);
  EXPECT_EQ(Bounded(out, 5, "%08d", 7), 9);
  EXPECT_EQ(std::string(out, 6), "00000#");
  memset(out, '#', sizeof out);
  EXPECT_EQ(Bounded(out, -1, "x%dy", 5), 4);
  EXPECT_STREQ(out, "x5y");
  EXPECT_EQ(Bounded(out, 8, nullptr), 1);
  EXPECT_EQ(out[0], '\0');
}

TEST(CZKString, AssignAndEmptiness) {
  _CZKString none(nullptr);
  EXPECT_EQ(none.GetText(), nullptr);
  EXPECT_TRUE(none.IsEmpty());
  EXPECT_EQ(none.GetLength(), 0);

  _CZKString text("abc");
  text.Assign(nullptr);
  EXPECT_EQ(text.GetText(), nullptr);
  EXPECT_EQ(text.GetLength(), 0);

  _CZKString empty("");
  ASSERT_NE(empty.GetText(), nullptr);
  EXPECT_EQ(*empty.GetText(), '\0');
  EXPECT_TRUE(empty.IsEmpty());
  EXPECT_FALSE(empty.Format(nullptr));
  EXPECT_NE(empty.GetText(), nullptr);
}

TEST(CZKString, Trim) {
  struct Case {
    const char* text;
    const char* expected;
  } cases[] = {{"  abc  ", "abc"}, {"   ", ""}, {"abc", "abc"}, {" a b ", "a b"}, {"", ""}};
  for (const Case& c : cases) {
    _CZKString text(c.text);
    text.Trim(' ');
    EXPECT_STREQ(text.GetText(), c.expected) << '"' << c.text << '"';
    EXPECT_EQ(text.GetLength(), static_cast<int>(strlen(c.expected)));
    // The cached length must match a fresh measurement.
    _CZKString copy(text.GetText());
    EXPECT_EQ(copy.GetLength(), text.GetLength());
  }
  _CZKString none;
  none.Trim(' ');
  EXPECT_EQ(none.GetText(), nullptr);
}

TEST(CZKString, AppendGrowsAndKeepsLength) {
  _CZKString text;
  text.Append(nullptr);
  text.Append("");
  EXPECT_EQ(text.GetText(), nullptr);
  std::string expected;
  for (int i = 0; i < 200; ++i) {
    text += "xyz";
    expected += "xyz";
  }
  EXPECT_EQ(text.GetLength(), 600);
  EXPECT_EQ(std::string(text.GetText()), expected);
  _CZKString trimmed("  ab");
  trimmed.TrimLeft(' ');
  trimmed.Append("cd");
  EXPECT_STREQ(trimmed.GetText(), "abcd");
  EXPECT_EQ(trimmed.GetLength(), 4);
}

TEST(CZKString, BufferOperations) {
  _CZKString text("hello");
  EXPECT_EQ(text.GetAt(100), nullptr);
  EXPECT_EQ(text.GetAt(-1), nullptr);
  text.SetLength(2);
  EXPECT_STREQ(text.GetText(), "he");
  EXPECT_EQ(text.GetLength(), 2);
  text.SetLength(1000);  // outside the buffer: nothing
  EXPECT_STREQ(text.GetText(), "he");

  EXPECT_TRUE(text.AdvanceStart(1));
  EXPECT_STREQ(text.GetText(), "e");
  _CZKString far("abc");
  EXPECT_TRUE(far.AdvanceStart(1));
  EXPECT_TRUE(far.AdvanceStart(INT32_MAX));  // no overflow past the buffer's last byte
  EXPECT_STREQ(far.GetText(), "");
  EXPECT_TRUE(text.AdvanceStart(1000));  // stops at the buffer's last byte
  EXPECT_FALSE(text.AdvanceStart(1));
  EXPECT_FALSE(text.AdvanceStart(0));

  _CZKString source("moved");
  _CZKString target("old");
  EXPECT_EQ(target.TakeOver(&source), 1);
  EXPECT_STREQ(target.GetText(), "moved");
  EXPECT_EQ(target.GetLength(), 5);
  EXPECT_EQ(source.GetText(), nullptr);
  EXPECT_EQ(source.GetLength(), 0);
  target.TakeOver(nullptr);
  EXPECT_EQ(target.GetText(), nullptr);

  _CZKString grown;
  char* room = grown.GetBuffer(10);
  ASSERT_NE(room, nullptr);
  strcpy(room, "0123456789");
  EXPECT_STREQ(grown.GetText(), "0123456789");
  EXPECT_EQ(grown.GetLength(), 10);
}

}  // namespace
