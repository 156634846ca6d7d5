// Checks the version text format and the text comparison of version texts.
#include "starter/versiontext.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(VersionText, FormatsFourWordsInDecimal) {
  EXPECT_EQ(FormatVersionText(0x00010002, 0x0003000A), L"1.2.3.10");
  EXPECT_EQ(FormatVersionText(0, 0), L"0.0.0.0");
  EXPECT_EQ(FormatVersionText(0xFFFFFFFF, 0xFFFF0000), L"65535.65535.65535.0");
}

TEST(VersionText, RequiredIsNewerByTextOrder) {
  struct Case {
    const wchar_t* required;
    const wchar_t* installed;
    bool newer;
  } cases[] = {
      {L"1.0.0.10", L"1.0.0.9", false},  // text order, not numeric
      {L"1.0.1.0", L"1.0.0.12", true},
      {L"1.0.0.5", L"1.0.0.5", false},
      {L"1.0.0.6", L"1.0.0.5", true},
      {L"1.0.0.4", L"1.0.0.5", false},
      {L"1.0.0.50", L"1.0.0.5", true},  // a prefix sorts first
      {L"1.0.0.5", L"1.0.0.50", false},
      {L"1.0.0.5A", L"1.0.0.5a", false},  // case folded
      {L"1.0.0.5b", L"1.0.0.5A", true},
      {L"[", L"a", false},  // '[' (0x5B) compares below 'a' once 'A'-'Z' fold down
      {L"1.0.0.1", L"0.0.0.0", true},
      {L"", L"0.0.0.0", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsRequiredVersionNewer(c.required, c.installed), c.newer) << c.required << L" vs " << c.installed;
  }
}

TEST(VersionText, OnlyPlainVersionsMayNameAnArchive) {
  struct Case {
    std::wstring version;
    bool plain;
  } cases[] = {
      {L"1.0.0.5", true},
      {L"2.0.0.1-beta_2", true},
      {L"Zz09", true},
      {L".5", true},  // a lone dot leads nowhere
      {L"1.", true},
      {L"", false},
      {L"9\\..\\..\\victim", false},  // the archive would be C:\victim.zip
      {L"9/../../users/Public/Documents/backup", false},
      {L"..", false},
      {L"1..0", false},
      {L"...", false},
      {L"1\\2", false},
      {L"1/2", false},
      {L"C:1", false},  // an alternate stream or a drive
      {L"1 2", false},
      {L"1%2e%2e", false},
      {L"1?x", false},
      {L"1*", false},
      {L"1\"", false},
      {L"1&calc", false},
      {std::wstring(L"1\0.zip", 6), false},
      {L"1\x00e9", false},  // letters beyond ASCII
      {L"1\xff0e\xff0e", false},  // full-width dots
      {L"\xac00", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsPlainVersionText(c.version), c.plain) << c.version;
  }
}

}  // namespace
