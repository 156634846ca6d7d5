// Tests of the framework strings and AfxExtractSubString (pure: native and Windows).
#include "framework/cstring.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <map>

#include "framework/strings.h"

namespace {

std::string Narrow(const CStringW& text) {
  std::string out;
  for (int i = 0; i < text.GetLength(); ++i) out += static_cast<char>(text[i]);
  return out;
}

TEST(CStringTest, TrimAndWhiteSpace) {
  CStringW wide(L" \t\r\n a b \v\f");
  wide.Trim();
  EXPECT_EQ(L"a b", wide.Str());
  CStringA narrow("  x y\t");
  EXPECT_EQ("x y\t", CStringA(narrow).TrimLeft().Str());
  EXPECT_EQ("  x y", CStringA(narrow).TrimRight().Str());
  EXPECT_EQ("x y", CStringA("--x y-").Trim('-').Str());
  CStringW empty(L"   ");
  EXPECT_TRUE(empty.Trim().IsEmpty());
}

TEST(CStringTest, FindAndSlices) {
  CStringW text(L"key=va=lue");
  EXPECT_EQ(3, text.Find(L'='));
  EXPECT_EQ(6, text.Find(L'=', 4));
  EXPECT_EQ(-1, text.Find(L'#'));
  EXPECT_EQ(4, text.Find(L"va"));
  EXPECT_EQ(-1, text.Find(L"va", 99));
  EXPECT_EQ(6, text.ReverseFind(L'='));
  EXPECT_EQ(L"key", text.Left(3).Str());
  EXPECT_EQ(L"key=va=lue", text.Left(100).Str());
  EXPECT_EQ(L"", text.Left(-1).Str());
  EXPECT_EQ(L"va=lue", text.Mid(4).Str());
  EXPECT_EQ(L"va", text.Mid(4, 2).Str());
  EXPECT_EQ(L"", text.Mid(50).Str());
  EXPECT_EQ(L"lue", text.Right(3).Str());
  EXPECT_EQ(L"key=va=lue", text.Right(30).Str());
}

TEST(CStringTest, CaseAndComparison) {
  EXPECT_EQ(0, CStringW(L"1.0.0.A").CompareNoCase(L"1.0.0.a"));
  EXPECT_GT(CStringW(L"1.0.0.b").CompareNoCase(L"1.0.0.A"), 0);
  EXPECT_LT(CStringA("abc").Compare("abd"), 0);
  EXPECT_LT(CStringA("ab").Compare("abc"), 0);
  EXPECT_EQ(L"abc", CStringW(L"aBC").MakeLower().Str());
  EXPECT_EQ("ABC", CStringA("aBc").MakeUpper().Str());
  // Code units compare as unsigned numbers: upper case sorts first, high bytes last.
  EXPECT_TRUE(CStringW(L"Key") < CStringW(L"key"));
  EXPECT_TRUE(CStringA("z") < CStringA("\xb0\xa1"));
  EXPECT_TRUE(CStringW(L"a") < CStringW(L"ab"));
  EXPECT_TRUE(CStringW(L"x") == L"x");
  EXPECT_TRUE(CStringW(L"x") != CStringW(L"X"));
}

TEST(CStringTest, EditingOperations) {
  CStringA text("a,b,,c");
  EXPECT_EQ(3, text.Replace(",", ";;"));
  EXPECT_EQ("a;;b;;;;c", text.Str());
  EXPECT_EQ(6, text.Remove(';'));
  EXPECT_EQ(4, text.Insert(1, '-'));
  EXPECT_EQ("a-bc", text.Str());
  EXPECT_EQ(2, text.Delete(1, 2));
  EXPECT_EQ("ac", text.Str());
  EXPECT_EQ(2, text.Delete(5));
  CStringW joined = CStringW(L"a") + L"b" + L'c' + CStringW(L"d");
  joined += L"e";
  EXPECT_EQ(L"abcde", joined.Str());
}

TEST(CStringTest, BufferAccess) {
  CStringW text(L"ab");
  wchar_t* buffer = text.GetBuffer(10);
  EXPECT_EQ(L'a', buffer[0]);
  std::swprintf(buffer, 11, L"%ls", L"0123456789");
  text.ReleaseBuffer();
  EXPECT_EQ(10, text.GetLength());
  text.GetBuffer(0)[3] = 0;
  text.ReleaseBuffer();
  EXPECT_EQ(L"012", text.Str());
  text.GetBuffer(5);
  text.ReleaseBuffer(2);
  EXPECT_EQ(L"01", text.Str());
}

TEST(CStringTest, ConstructionFromEitherWidth) {
  EXPECT_EQ(L"plain", CStringW("plain").Str());
  EXPECT_EQ("plain", CStringA(L"plain").Str());
  EXPECT_TRUE(CStringW(static_cast<const char*>(nullptr)).IsEmpty());
  EXPECT_EQ(L"pl", CStringW("plain", 2).Str());
  EXPECT_EQ(L"xxx", CStringW(L'x', 3).Str());
  CStringA from_wide = CStringW(L"abc");
  EXPECT_EQ("abc", from_wide.Str());
}

struct FormatCase {
  const char* format;
  std::string expected;
};

std::string FormatA(const char* format, ...) {
  va_list args;
  va_start(args, format);
  CStringA out;
  out.FormatV(format, args);
  va_end(args);
  return out.Str();
}

TEST(CStringTest, FormatNumbersAndTexts) {
  EXPECT_EQ("Range: bytes=1099511627776-", FormatA("Range: bytes=%I64d-", 1099511627776LL));
  EXPECT_EQ("-5|ff|00FF|  7|7  |+3", FormatA("%d|%x|%04X|%3u|%-3d|%+d", -5, 255, 255, 7u, 7, 3));
  EXPECT_EQ("-32768", FormatA("%hd", 0x18000));
  EXPECT_EQ("18446744073709551615", FormatA("%llu", ULLONG_MAX));
  EXPECT_EQ("1.50", FormatA("%.2f", 1.5));
  EXPECT_EQ("[ ab][cd ][(null)][x][%]", FormatA("[%3s][%-3s][%s][%c][%%]", "ab", "cd", static_cast<char*>(nullptr), 'x'));
  EXPECT_EQ("[wide][ab]", FormatA("[%S][%.2s]", L"wide", "abc"));
  EXPECT_EQ("[  5]", FormatA("[%*d]", 3, 5));
  // A negative '*' width left-justifies; a negative '*' precision counts as none.
  EXPECT_EQ("[5  ][abc][0][]", FormatA("[%*d][%.*s][%.*d][%.d]", -3, 5, -1, "abc", -1, 0, 0));
  EXPECT_EQ("Unknown Error Code(5110)", FormatA("Unknown Error Code(%d)", 5110));
}

TEST(CStringTest, WideFormatTakesWideTextsForPercentS) {
  CStringW out;
  out.Format(L"%s\\|%S|%hs|%ls|%d|%c", L"C:\\windows", "narrow", "h", L"l", 42, L'w');
  EXPECT_EQ("C:\\windows\\|narrow|h|l|42|w", Narrow(out));
  CStringA appended("a");
  appended.AppendFormat("%s%d", "b", 1);
  EXPECT_EQ("ab1", appended.Str());
  CStringW long_text;
  long_text.Format(L"%s", std::wstring(5000, L'q').c_str());
  EXPECT_EQ(5000, long_text.GetLength());
}

TEST(CStringTest, MapOrdersByCodeUnits) {
  std::map<CStringW, int> map;
  map[L"key"] = 1;
  map[L"Key"] = 2;
  map[L"a"] = 3;
  std::string order;
  for (const auto& entry : map) order += Narrow(entry.first) + ",";
  EXPECT_EQ("Key,a,key,", order);
}

TEST(ExtractSubStringTest, Fields) {
  struct Case {
    const char* full;
    int index;
    int found;
    const char* field;
  } cases[] = {
      {"a,b,,c", 0, 1, "a"}, {"a,b,,c", 1, 1, "b"}, {"a,b,,c", 2, 1, ""},  {"a,b,,c", 3, 1, "c"},
      {"a,b,,c", 4, 0, ""},  {"", 0, 1, ""},        {"a,b,,c", -1, 0, ""}, {"abc", 0, 1, "abc"},
  };
  for (const Case& c : cases) {
    CStringA out("stale");
    EXPECT_EQ(c.found, AfxExtractSubString(out, c.full, c.index, ',')) << c.full << " " << c.index;
    EXPECT_EQ(c.field, out.Str()) << c.full << " " << c.index;
  }
  CStringW wide;
  EXPECT_EQ(1, AfxExtractSubString(wide, L"x\ny", 1));
  EXPECT_EQ(L"y", wide.Str());
}

}  // namespace
