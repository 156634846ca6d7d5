// Tests of the self-update's exact conversion of the batch file's lines to
// the ANSI code page, over the code pages a player's system may use.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "starter/selfupdate_calls.h"

namespace {

UINT g_codePage = 0;
UINT WINAPI ChosenCodePage() { return g_codePage; }

// Wine converts with any flags; Windows refuses for UTF-8 and GB 18030 every
// flag but WC_ERR_INVALID_CHARS and any used-default argument.
int WINAPI ConvertAsWindowsDoes(UINT codePage, DWORD flags, LPCWCH wide, int wideLength, LPSTR ansi,
                                int ansiLength, LPCCH defaultChar, LPBOOL usedDefaultChar) {
  if ((codePage == CP_UTF8 || codePage == 54936) &&
      ((flags & ~static_cast<DWORD>(WC_ERR_INVALID_CHARS)) != 0 || defaultChar || usedDefaultChar)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return WideCharToMultiByte(codePage, flags, wide, wideLength, ansi, ansiLength, defaultChar, usedDefaultChar);
}

class ExactAnsiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    calls_.calls().getAnsiCodePage = ChosenCodePage;
    calls_.calls().wideCharToMultiByte = ConvertAsWindowsDoes;
  }
  ScopedSelfUpdateCalls calls_;
};

const char kRefused[] = "<refused>";

TEST_F(ExactAnsiTest, ConvertsOnlyWhatEachCodePageHoldsExactly) {
  struct Case {
    UINT codePage;
    std::wstring text;
    std::string bytes;  // kRefused when the conversion must fail
  } cases[] = {
      {949, L"del \"C:\\windows\\_moveLumora1.exe\"", "del \"C:\\windows\\_moveLumora1.exe\""},
      {1252, L"del \"C:\\windows\\_moveLumora1.exe\"", "del \"C:\\windows\\_moveLumora1.exe\""},
      {65001, L"del \"C:\\windows\\_moveLumora1.exe\"", "del \"C:\\windows\\_moveLumora1.exe\""},
      // A folder named in Korean.
      {949, L"C:\\\xC708\xB3C4\xC6B0\\", "C:\\\xC0\xA9\xB5\xB5\xBF\xEC\\"},
      {1252, L"C:\\\xC708\xB3C4\xC6B0\\", kRefused},
      {65001, L"C:\\\xC708\xB3C4\xC6B0\\", "C:\\\xEC\x9C\x88\xEB\x8F\x84\xEC\x9A\xB0\\"},
      {949, L"caf\x00E9", kRefused},
      {1252, L"caf\x00E9", "caf\xE9"},
      {65001, L"caf\x00E9", "caf\xC3\xA9"},
      // A best fit would turn the character into another one.
      {1252, L"\x0100", kRefused},
      {65001, L"\x0100", "\xC4\x80"},
      // A lone surrogate has no bytes in any code page.
      {949, L"a\xD800", kRefused},
      {1252, L"a\xD800", kRefused},
      {65001, L"a\xD800", kRefused},
      {65001, L"", ""},
  };
  for (const Case& c : cases) {
    g_codePage = c.codePage;
    std::string ansi = "stale";
    bool converted = ToAnsiExactly(c.text, &ansi);
    EXPECT_EQ(converted ? ansi : std::string(kRefused), c.bytes) << "code page " << c.codePage;
    if (!converted) {
      EXPECT_EQ(ansi, "") << "code page " << c.codePage;
    }
  }
}

}  // namespace
