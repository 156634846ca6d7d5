// Checks the version text format and the text comparison of version texts.
#include "starter/versiontext.h"

#include <gtest/gtest.h>

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

}  // namespace
