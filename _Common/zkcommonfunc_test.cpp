// Tests of the toolkit's pure text helpers: hex digits, trims, directory part.
#include "_Common/zkcommonfunc.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

TEST(HexDigitValueTest, DigitsLettersAndEverythingElse) {
  const struct {
    char character;
    int value;
  } cases[] = {{'0', 0}, {'1', 1}, {'9', 9}, {'A', 10}, {'F', 15}, {'a', 10}, {'f', 15}, {'G', 0}, {'g', 0},
               {'/', 0}, {':', 0}, {'@', 0}, {'`', 0}, {' ', 0}, {'\0', 0}, {'\xC7', 0}};
  for (const auto& c : cases) EXPECT_EQ(c.value, HexDigitValue(c.character)) << int(c.character);
}

TEST(IsTrimSpaceTest, TabCarriageReturnAndSpaceOnly) {
  for (int value = -128; value < 128; ++value) {
    char character = static_cast<char>(value);
    bool expected = character == '\t' || character == '\r' || character == ' ';
    EXPECT_EQ(expected, IsTrimSpace(character) != 0) << value;
  }
}

// Each case: the text, and what TrimSpaces leaves of it.
TEST(TrimSpacesTest, CutsTheTrimSetButStopsAtOtherCharacters) {
  const struct {
    const char* text;
    const char* trimmed;
  } cases[] = {
      {" \tabc \r\n", "abc \r\n"},  // the trailing line feed stops the trimming
      {"\r\n abc", "\n abc"},
      {" \t\r abc \t\r ", "abc"},
      {"a b", "a b"},
      {"", ""},
      {" \t\r", ""},
      {"\xB0\xD4\xC0\xD3 ", "\xB0\xD4\xC0\xD3"},  // Korean text in code page 949
  };
  for (const auto& c : cases) {
    std::string buffer = c.text;
    char* start = TrimSpaces(&buffer[0]);
    EXPECT_STREQ(c.trimmed, start) << '"' << c.text << '"';
    EXPECT_GE(start, &buffer[0]);
  }
  EXPECT_EQ(nullptr, TrimSpaces(nullptr));
  EXPECT_EQ(nullptr, SkipLeadingSpaces(nullptr));
}

TEST(TrimTrailingSpacesTest, WalksBackFromTheGivenEndAndNeverBeforeTheStart) {
  char text[] = "ab  cd  ";
  TrimTrailingSpaces(text, text + 4);  // end after "ab  ": the rest is untouched
  EXPECT_EQ(std::string("ab\0\0cd  ", 8), std::string(text, 8));

  // A start in the middle of blanks: the blanks before the start stay.
  char blanks[] = "    ";
  TrimTrailingSpaces(blanks + 2);
  EXPECT_EQ(std::string("  \0\0", 4), std::string(blanks, 4));

  char keep[] = "x";
  TrimTrailingSpaces(keep, keep);  // empty range
  EXPECT_STREQ("x", keep);
  TrimTrailingSpaces(nullptr);
  TrimTrailingSpaces(nullptr, nullptr);
}

TEST(TrimStandardStringTest, UsesTheCLibrarySpaces) {
  const struct {
    const char* text;
    const char* left;
    const char* right;
  } cases[] = {
      {" \t\n\v\f\rabc \t\n\v\f\r", "abc \t\n\v\f\r", " \t\n\v\f\rabc"},
      {"abc", "abc", "abc"},
      {"", "", ""},
      {"\n\n", "", ""},
      // Bytes above 127 (Korean text) are no spaces and must not upset isspace.
      {"\xA0\xB0\xD4 ", "\xA0\xB0\xD4 ", "\xA0\xB0\xD4"},
      {" \xFF", "\xFF", " \xFF"},
  };
  for (const auto& c : cases) {
    std::string left = c.text, right = c.text;
    TrimLeftSpaces(left);
    TrimRightSpaces(right);
    EXPECT_EQ(c.left, left) << '"' << c.text << '"';
    EXPECT_EQ(c.right, right) << '"' << c.text << '"';
  }
}

TEST(DirectoryOfPathTest, DriveAndDirectoryWithTheirSeparator) {
  const struct {
    const char* path;
    const char* directory;
  } cases[] = {
      {"C:\\a\\b\\file.txt", "C:\\a\\b\\"},
      {"C:\\a\\b\\", "C:\\a\\b\\"},
      {"C:\\a\\b", "C:\\a\\"},
      {"C:\\", "C:\\"},
      {"C:", "C:"},
      {"C:file.txt", "C:"},
      {"file.txt", ""},
      {"", ""},
      {"a/b/c.zip", "a/b/"},
      {"a\\b/c", "a\\b/"},
      {"\\\\server\\share\\f.exe", "\\\\server\\share\\"},
      {"\\", "\\"},
      {"C:\\\xB0\xD4\xC0\xD3\\\xC6\xC4\xC0\xCF.exe", "C:\\\xB0\xD4\xC0\xD3\\"},
  };
  for (const auto& c : cases) {
    CStringA out("stale");
    DirectoryOfPath(out, c.path);
    EXPECT_EQ(c.directory, out.Str()) << c.path;
#ifdef _WIN32
    // The C runtime's own split is the reference.
    char drive[_MAX_DRIVE], directory[_MAX_DIR], name[_MAX_FNAME], extension[_MAX_EXT];
    _splitpath(c.path, drive, directory, name, extension);
    EXPECT_EQ(std::string(drive) + directory, out.Str()) << c.path;
#endif
  }
  CStringA out("stale");
  DirectoryOfPath(out, nullptr);
  EXPECT_TRUE(out.IsEmpty());
}

}  // namespace
