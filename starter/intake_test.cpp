// Tests of the starter's command-line and pair-text parsers and WideToAnsi (pure).
#include "starter/intake.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct CommandLineCase {
  const wchar_t* line;
  const wchar_t* s_version;
  const wchar_t* u_version;
  const wchar_t* publish;
};

TEST(ParseStarterCommandLineTest, Cases) {
  const CommandLineCase cases[] = {
      {L"\"?SVersion=1.0.0.5,UVersion=2.0.0.1,publish=abc\"", L"1.0.0.5", L"2.0.0.1", L"abc"},
      // Without the closing quote the last value loses its last character.
      {L"?SVersion=1.0.0.5,UVersion=2.0.0.1,publish=abc", L"1.0.0.5", L"2.0.0.1", L"ab"},
      {L"  \t\"?publish=p1,UVersion=2,SVersion=1\"  \r\n", L"1", L"2", L"p1"},
      {L"SVersion=1,UVersion=2,publish=abc", L"", L"", L""},
      {L"", L"", L"", L""},
      {L"\"?\"", L"", L"", L""},
      {L"?", L"", L"", L""},
      {L"\"?sversion=1,UVERSION=2,PuBlIsH=x\"", L"1", L"2", L"x"},
      {L"\"?SVersion=1,SVersion=9,UVersion=2,publish=p\"", L"9", L"2", L"p"},
      {L"\"?SVersion=1,UVersion=2,publish=a=b\"", L"1", L"2", L"a=b"},
      {L"\"? SVersion =1,UVersion= 2,publish=p \"", L"1", L" 2", L"p "},
      {L"\"?SVersion,UVersion=,publish=p,Other=o\"", L"", L"", L"p"},
      {L"junk\"?SVersion=1,,UVersion=2,publish=p\"", L"1", L"2", L"p"},
      {L"\"?SVersion=1,UVersion=2,publish=p?q\"", L"1", L"2", L"p?q"},
  };
  for (const CommandLineCase& c : cases) {
    CString s(L"stale"), u(L"stale"), p(L"stale");
    ParseStarterCommandLine(c.line, s, u, p);
    EXPECT_EQ(c.s_version, s.Str()) << c.line;
    EXPECT_EQ(c.u_version, u.Str()) << c.line;
    EXPECT_EQ(c.publish, p.Str()) << c.line;
  }
}

struct PairCase {
  const wchar_t* text;
  // Expected entries in map order, written key|value;key|value;
  const wchar_t* entries;
};

std::wstring Entries(const StarterPairMap& pairs) {
  std::wstring out;
  for (const auto& pair : pairs) out += pair.first.Str() + L"|" + pair.second.Str() + L";";
  return out;
}

TEST(ParseParameterPairsTest, Cases) {
  const PairCase cases[] = {
      {L"a=\"1\",b=\"2\"", L"a|1;b|2;"},
      {L"  a = \"1\" , b = \"2\"  ", L"a|1;b|2;"},
      {L"a=\"x=y\",b=\"2\"", L"a|x=y;b|2;"},
      // A blank alone as separator: the next key's first character is taken for the separator.
      {L"a=\"1\" b=\"2\"", L"|2;a|1;"},
      {L"a=\"1\",b=\"rest of, text", L"a|1;b|rest of, text;"},
      {L"no quotes=here", L"no quotes|;"},
      {L"no equals", L"no equals|;"},
      {L"", L""},
      {L" \t\r\n", L""},
      {L"Key=\"U\",key=\"l\"", L"Key|U;key|l;"},
      {L"k=\"1\",k=\"2\",k=\"3\"", L"k|3;"},
      {L"z=\"\",a=\" spaced \"", L"a| spaced ;z|;"},
      {L"a=\"1\";;b=\"2\"", L";b|2;a|1;"},
      {L"=\"v\"", L"|v;"},
      {L"a=\"1\",", L"a|1;"},
  };
  for (const PairCase& c : cases) {
    CString text(c.text);
    StarterPairMap pairs;
    ParseParameterPairs(text, pairs);
    EXPECT_EQ(c.entries, Entries(pairs)) << c.text;
    EXPECT_EQ(CString(c.text).Trim().Str(), text.Str()) << "the text is trimmed in place: " << c.text;
  }
}

TEST(ParseParameterPairsTest, OrdersKeysByUnsignedCodeUnits) {
  CString text(L"b=\"1\",B=\"2\",\x00e9=\"3\",_=\"4\",a=\"5\"");
  StarterPairMap pairs;
  ParseParameterPairs(text, pairs);
  EXPECT_EQ(L"B|2;_|4;a|5;b|1;\x00e9|3;", Entries(pairs));
}

TEST(ParseParameterPairsTest, KeysEndWhereTheirValueOpens) {
  // Items whose value opens before any "=": read up to the first "=" of the
  // whole text, each key would run on through all later items, and 80 KB of
  // such items would hold gigabytes of keys.
  std::wstring text;
  for (int i = 0; i < 3000; ++i) text += L"k\"v\",";
  text += L"last=\"x\"";
  CString parsed(text.c_str(), static_cast<int>(text.size()));
  StarterPairMap pairs;
  ParseParameterPairs(parsed, pairs);
  EXPECT_EQ(L"k|v;last|x;", Entries(pairs));
}

// The pair-text steps read literally, each step on a fresh copy of the
// remaining text: slow, but plainly what the steps say (with the key ending
// at its value's opening quote).
StarterPairMap ParsePairsStepByStep(std::wstring text) {
  auto trim = [](std::wstring t) {
    CString c(t.c_str(), static_cast<int>(t.size()));
    return c.Trim().Str();
  };
  StarterPairMap pairs;
  std::wstring remaining = trim(text);
  while (!remaining.empty()) {
    std::wstring key = trim(remaining.substr(0, remaining.find_first_of(L"=\"")));
    size_t open = remaining.find(L'"');
    size_t close = open == std::wstring::npos ? std::wstring::npos : remaining.find(L'"', open + 1);
    std::wstring value;
    if (open != std::wstring::npos) {
      value = remaining.substr(open + 1, close == std::wstring::npos ? std::wstring::npos : close - open - 1);
    }
    remaining = close == std::wstring::npos ? std::wstring() : trim(remaining.substr(close + 1));
    if (!remaining.empty()) remaining = trim(remaining.substr(1));
    pairs[CString(key.c_str(), static_cast<int>(key.size()))] = CString(value.c_str(), static_cast<int>(value.size()));
  }
  return pairs;
}

TEST(ParseParameterPairsTest, MatchesTheStepsOnGeneratedTexts) {
  // Short texts over the characters the steps look at: keys whose "=" lies in
  // a later item, missing quotes, runs of separators and blanks, a NUL.
  const wchar_t alphabet[] = {L'a', L'K', L'=', L'"', L',', L' ', L'\t', L'\n', L';', L'\0', 0x3000, 0xAC00};
  unsigned state = 12345;
  auto next = [&state] { return (state = state * 1103515245u + 12345u) >> 16; };
  for (int round = 0; round < 20000; ++round) {
    std::wstring text;
    for (unsigned n = next() % 24; n > 0; --n) text += alphabet[next() % (sizeof alphabet / sizeof alphabet[0])];
    CString parsed(text.c_str(), static_cast<int>(text.size()));
    StarterPairMap pairs;
    ParseParameterPairs(parsed, pairs);
    ASSERT_EQ(Entries(ParsePairsStepByStep(text)), Entries(pairs)) << "round " << round;
  }
}

TEST(WideToAnsiTest, NulTerminatedCopy) {
  struct Case {
    const wchar_t* wide;
    const char* ansi;
  } cases[] = {{L"", ""}, {L"plain text", "plain text"}, {L"a=\"1\"", "a=\"1\""}};
  for (const Case& c : cases) {
    char* block = WideToAnsi(c.wide);
    ASSERT_NE(nullptr, block);
    EXPECT_STREQ(c.ansi, block);
    delete[] block;
  }
  // The conversion stops at the first NUL of the text.
  CString with_nul(L"ab\0cd", 5);
  char* block = WideToAnsi(with_nul);
  EXPECT_STREQ("ab", block);
  delete[] block;
}

}  // namespace
