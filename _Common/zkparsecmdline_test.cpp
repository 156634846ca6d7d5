// The run-parameter reader: both forms of the clipboard text, the run string,
// and the choice between the hand-over and the clipboard.
#include "_Common/zkparsecmdline.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "tests/support/fakerunenv.h"

namespace {

using Values = std::map<std::string, std::string>;

// Every name the tests look at, so that an unexpected store shows up.
const char* const kNames[] = {"RunMode", "ProgName",   "AvatarURL", "UpdateURL", "RunString",
                              "InstallParam", "ServIP", "ServPort", "AuthCookie", "A", "B"};

// The parameters of kNames and of the names in expected that the object holds.
Values Stored(CZKParseCmdLine& parser, const Values& expected = {}) {
  std::vector<std::string> names(std::begin(kNames), std::end(kNames));
  for (const auto& entry : expected) names.push_back(entry.first);
  Values found;
  for (const std::string& name : names) {
    if (!parser.HasValue(name.c_str())) continue;
    const char* value = parser.GetValue(name.c_str());
    found[name] = value ? value : "<null>";
  }
  return found;
}

struct TextCase {
  const char* what;
  std::string text;
  int code;
  Values values;
};

void RunTextCases(const std::vector<TextCase>& cases) {
  for (const TextCase& c : cases) {
    CZKParseCmdLine parser;
    std::vector<char> text(c.text.begin(), c.text.end());
    text.push_back('\0');
    EXPECT_EQ(parser.ParseCBText(text.data()), c.code) << c.what;
    EXPECT_EQ(Stored(parser, c.values), c.values) << c.what;
  }
}

TEST(ParseCBText, TaggedForm) {
  RunTextCases({
      {"two elements, the second empty", "<ProgName>abc</ProgName> <UpdateURL></UpdateURL>", 0, {{"ProgName", "abc"}}},
      {"blanks before and between", " \t\r<A>1</A>\t\r <B>2</B>\r", 0, {{"A", "1"}, {"B", "2"}}},
      {"value kept as it is", "<A> x <y> z%3d </A>", 0, {{"A", " x <y> z%3d "}}},
      {"closing tag differs in case", "<ProgName>abc</progname>", 2304, {}},
      {"no closing tag", "<A>1", 2304, {}},
      {"no '>'", "<A", 2304, {}},
      {"empty key", "<>1</>", 2304, {}},
      {"text between elements", "<A>1</A>x<B>2</B>", 2304, {{"A", "1"}}},
      {"line feed between elements", "<A>1</A>\n<B>2</B>", 2304, {{"A", "1"}}},
      {"first closing tag ends the value", "<A>1</A>2</A>", 2304, {{"A", "1"}}},
      {"later value of a name wins", "<A>1</A><a>2</a>", 0, {{"A", "2"}}},
      {"key of blanks cannot be stored", "<A>1</A>< >x</ >", 2401, {{"A", "1"}}},
      {"a failed store ends the parse", "< >x</ ><B>2</B>", 2401, {}},
      {"empty value of a blank key stores nothing", "< ></ ><B>2</B>", 0, {{"B", "2"}}},
      {"key longer than 256", "<" + std::string(300, 'k') + ">v</" + std::string(300, 'k') + "><A>1</A>", 0,
       {{std::string(300, 'k'), "v"}, {"A", "1"}}},
  });
}

TEST(ParseCBText, PositionalForm) {
  RunTextCases({
      {"two markers only", "[#1]A[#2]B", 2301, {{"RunMode", "A"}, {"ProgName", "B"}}},
      {"all six, trimmed; CR LF kept",
       "junk [#1] run\t[#2]\tprog [#3]avatar\r\n[#4]update[#5]  [#6] install \r",
       0,
       {{"RunMode", "run"},
        {"ProgName", "prog"},
        {"AvatarURL", "avatar\r\n"},
        {"UpdateURL", "update"},
        {"RunString", ""},
        {"InstallParam", "install"}}},
      {"the sixth ends before [#7]", "[#1]1[#2]2[#3]3[#4]4[#5]5[#6]6 [#7]7[#8]8", 0,
       {{"RunMode", "1"}, {"ProgName", "2"}, {"AvatarURL", "3"}, {"UpdateURL", "4"}, {"RunString", "5"},
        {"InstallParam", "6"}}},
      {"[#2] is searched after [#1]", "[#2]x[#1]y", 2301, {{"RunMode", "y"}}},
      {"no [#1]", "RunMode=1", 2301, {}},
      {"line feed before '<' is not skipped", "\n<A>1</A>", 2301, {}},
      {"blanks only", " \t ", 2301, {}},
      {"markers out of order", "[#1]a[#3]c[#2]b", 2301, {{"RunMode", "a[#3]c"}, {"ProgName", "b"}}},
  });
}

TEST(ParseCBText, NoText) {
  CZKParseCmdLine parser;
  char empty[] = "";
  EXPECT_EQ(parser.ParseCBText(nullptr), 2300);
  EXPECT_EQ(parser.ParseCBText(empty), 2300);
}

// A clipboard reader standing in for the SEED reader, installed for one test's life.
struct FakeCBData {
  std::string text;
  bool succeeds = true;
  int calls = 0;
  std::string key;
  unsigned size = 0;
  bool clear = false;

  FakeCBData() : reader_(ZKParseCmdLineCalls{Read}) { current = this; }
  ~FakeCBData() { current = nullptr; }

  static bool Read(char* outBuf, unsigned bufSize, const char* keyText, bool clearAfterRead) {
    FakeCBData& fake = *current;
    ++fake.calls;
    fake.key = keyText ? keyText : "<null>";
    fake.size = bufSize;
    fake.clear = clearAfterRead;
    if (!fake.succeeds || fake.text.size() + 1 > bufSize) return false;
    memcpy(outBuf, fake.text.c_str(), fake.text.size() + 1);
    return true;
  }

  static FakeCBData* current;

 private:
  ScopedZKParseCmdLineCalls reader_;
};
FakeCBData* FakeCBData::current = nullptr;

class ParseTest : public ::testing::Test {
 protected:
  // Puts a hand-over of values into the fake environment, as a sender's Execute leaves it to its child.
  void HandOver(const Values& values) {
    CZKRunParam sender;
    for (const auto& value : values) ASSERT_EQ(sender.SetValue(value.first.c_str(), value.second.c_str()), 0);
    int launched = 0;
    ASSERT_EQ(sender.Execute("C:\\wizard\\Tesselo1.exe", &launched, "ZKKEY123_0042"), 0);
    ASSERT_EQ(env.launches.size(), 1u);
    env.variables = env.launches[0].environment;
    env.commandLine = "\"C:\\wizard\\Tesselo1.exe\" " + env.launches[0].parameters;
  }

  zktest::FakeRunEnv env;
  FakeCBData clipboard;
};

TEST_F(ParseTest, HandOverIsUsedAndTheClipboardNotRead) {
  HandOver({{"RunMode", "1"}, {"ProgName", "game"}});
  clipboard.text = "<RunMode>2</RunMode>";
  CZKParseCmdLine parser;
  EXPECT_EQ(parser.Parse(false), 0);
  EXPECT_EQ(Stored(parser), (Values{{"RunMode", "1"}, {"ProgName", "game"}}));
  EXPECT_EQ(clipboard.calls, 0);
  EXPECT_TRUE(env.RunEnv().empty());  // loaded with clearing
  EXPECT_STREQ(parser.GetRunString(), "");
}

TEST_F(ParseTest, WithoutHandOverTheClipboardIsReadWithTheKey) {
  env.commandLine = "Tesselo1.exe passphrase";
  clipboard.text = "[#1]1[#2]game[#3]a[#4]u[#5][#6]";
  CZKParseCmdLine parser;
  EXPECT_EQ(parser.Parse(false), 0);
  EXPECT_EQ(clipboard.calls, 1);
  EXPECT_EQ(clipboard.key, "passphrase");
  EXPECT_EQ(clipboard.size, 20479u);
  EXPECT_TRUE(clipboard.clear);
  EXPECT_EQ(parser.GetValue("ProgName"), std::string("game"));
}

TEST_F(ParseTest, FallbackFailures) {
  struct Case {
    const char* what;
    const char* commandLine;
    bool readSucceeds;
    const char* text;
    int code;
    int reads;
  } cases[] = {
      {"no argument 1", "Tesselo1.exe", true, "<A>1</A>", 2001, 0},
      {"empty quoted argument 1", "Tesselo1.exe \"\"", true, "<A>1</A>", 2001, 0},
      {"clipboard not read", "Tesselo1.exe key", false, "", 2300, 1},
      {"decrypted text empty", "Tesselo1.exe key", true, "", 2300, 1},
      {"text of neither form", "Tesselo1.exe key", true, "garbage", 2301, 1},
  };
  for (const Case& c : cases) {
    env.commandLine = c.commandLine;
    clipboard.succeeds = c.readSucceeds;
    clipboard.text = c.text;
    clipboard.calls = 0;
    CZKParseCmdLine parser;
    EXPECT_EQ(parser.Parse(true), c.code) << c.what;
    EXPECT_EQ(clipboard.calls, c.reads) << c.what;
    EXPECT_STREQ(parser.GetRunString(), "") << c.what;
  }
}

TEST_F(ParseTest, DamagedHandOverFallsBackToTheClipboard) {
  HandOver({{"RunMode", "1"}});
  std::string& hex = env.variables["ZKRunEnv_DATA_1"];
  hex.resize(hex.size() - 16);  // the last block lost: the padding is wrong
  clipboard.text = "<RunMode>2</RunMode>";
  CZKParseCmdLine parser;
  EXPECT_EQ(parser.Parse(false), 0);
  EXPECT_EQ(clipboard.key, "ZKKEY123_0042");
  EXPECT_EQ(parser.GetValue("RunMode"), std::string("2"));
}

TEST(LoadCBData, NoBuffer) {
  CZKParseCmdLine parser;
  char buffer[4];
  EXPECT_EQ(parser.LoadCBData(nullptr, 4), 2000);
  EXPECT_EQ(parser.LoadCBData(buffer, 0), 2000);
}

TEST_F(ParseTest, RunString) {
  const std::string longText(CZKParseCmdLine::RUN_STRING_SIZE, 'x');
  const std::string almost(CZKParseCmdLine::RUN_STRING_SIZE - 1, 'x');
  // "1,2," + cookie + ",,," fills the buffer with its NUL when the cookie has 8 characters less.
  const std::string longestCookie(CZKParseCmdLine::RUN_STRING_SIZE - 8, 'c');
  const std::string longCookie(CZKParseCmdLine::RUN_STRING_SIZE - 7, 'c');
  struct Case {
    const char* what;
    std::string text;
    int code;
    std::string runString;
    bool runStringStays;
  } cases[] = {
      {"given", "<RunString>abc</RunString><ServIP>1</ServIP>", 0, "abc", false},
      {"given in the positional form", "[#1]m[#2]p[#3]a[#4]u[#5] a,b [#6]i", 0, "a,b", false},
      {"built with one cookie", "<ServIP>10</ServIP><ServPort>20</ServPort><AuthCookie>auth</AuthCookie>", 0,
       "10,20,auth,,,", false},
      {"built from all six",
       "<SpareParam>s</SpareParam><CpCookie>c</CpCookie><DataCookie>d</DataCookie><AuthCookie>a</AuthCookie>"
       "<ServPort>2</ServPort><ServIP>1</ServIP>",
       0, "1,2,a,d,c,s", false},
      {"empty RunString, no cookie", "[#1]m[#2]p[#3]a[#4]u[#5][#6]i", 2402, "", true},
      {"no ServPort", "<ServIP>10</ServIP><AuthCookie>a</AuthCookie>", 2402, "", false},
      {"no cookie", "<ServIP>10</ServIP><ServPort>20</ServPort>", 2402, "", false},
      {"longest given", "<RunString>" + almost + "</RunString>", 0, almost, false},
      {"given too long", "<RunString>" + longText + "</RunString>", 2400, "", true},
      {"longest built", "<ServIP>1</ServIP><ServPort>2</ServPort><AuthCookie>" + longestCookie + "</AuthCookie>", 0,
       "1,2," + longestCookie + ",,,", false},
      {"built too long", "<ServIP>1</ServIP><ServPort>2</ServPort><AuthCookie>" + longCookie + "</AuthCookie>",
       2400, "", false},
  };
  env.commandLine = "Tesselo1.exe key";
  for (const Case& c : cases) {
    clipboard.text = c.text;
    CZKParseCmdLine parser;
    EXPECT_EQ(parser.Parse(true), c.code) << c.what;
    EXPECT_EQ(parser.GetRunString(), c.runString) << c.what;
    EXPECT_EQ(parser.HasValue("RunString"), c.runStringStays) << c.what;
  }
}

}  // namespace
