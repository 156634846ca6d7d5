// Tests of the result-code names.
#include "_Common/errorcodes.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <set>
#include <string>

namespace {

struct NamedCode {
  LauncherErrorCode code;
  const char* name;
};

TEST(ErrorCodeName, NamesTheCodesOfEveryFamily) {
  const NamedCode cases[] = {
      {0, "SUCCESS"},
      {1000, "NOT_ENOUGH_MEMORY"},
      {1502, "CANT_READPATCHSCRIPT"},
      {2101, "NOTEXIST_URLHOST"},
      {2201, "INVALID_CMDLINE"},
      {2304, "INVALID_CB_FORMAT"},
      {2403, "FAIL_BUILD_RUNPARAM"},
      {2504, "NOTEXIST_HEADER_EXTRAWEB"},
      {3000, "WIZARDTHREAD"},
      {3008, "WIZARDTHREAD_USER_STOP"},
      {3012, "WIZARDTHREAD_INVALID_DOWNLOADLIB"},
      {3104, "WIZARDTHREAD_EXEC_INSTALL_UNKNOWN"},
      {3211, "WIZARDTHREAD_BIN_INSTALL_CANTCREATEREGSTRY"},
      {3508, "DOWNLOAD_END"},
      {3621, "GRIDDOWNLOAD_USERDATA_IS_NULL"},
      {3706, "GRIDDOWNLOAD_END"},
      {4005, "CTR_WEAK_KEY"},
      {8099, "CTR_INVALID_KEY"},
      {5000, "UPDATEWIZARD"},
      {5011, "UPDATEWIZARD_WIZARD_FILEHASH_MISMATCH"},
      {9000, "UNKNOWNERROR"},
  };
  for (const NamedCode& c : cases) {
    const char* name = ErrorCodeName(c.code);
    ASSERT_NE(name, nullptr) << c.code;
    EXPECT_STREQ(name, c.name) << c.code;
  }
}

TEST(ErrorCodeName, HasNoNameOutsideTheTable) {
  // Neighbours of family ends, codes of the run-parameter library that the
  // table lacks, and the extremes.
  const LauncherErrorCode cases[] = {-1,   1,    999,  1001, 1503, 2003, 2102, 2202,
                                     2305, 2404, 2505, 3013, 3105, 3212, 3509, 3622,
                                     3707, 4006, 5012, 5110, 5301, 8000, 8098, 8100,
                                     8999, 9001, INT_MIN, INT_MAX};
  for (LauncherErrorCode code : cases) EXPECT_EQ(ErrorCodeName(code), nullptr) << code;
}

TEST(ErrorCodeName, NamesAreDistinctUpperCaseWords) {
  std::set<std::string> seen;
  for (LauncherErrorCode code = -100; code <= 10000; ++code) {
    const char* name = ErrorCodeName(code);
    if (!name) continue;
    EXPECT_TRUE(seen.insert(name).second) << "name used twice: " << name;
    ASSERT_GT(std::strlen(name), 0u) << code;
    EXPECT_EQ(std::strspn(name, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_"), std::strlen(name))
        << code << " " << name;
  }
}

TEST(FormatErrorCodeName, GivesTheNameOrTheUnknownText) {
  const NamedCode cases[] = {
      {0, "SUCCESS"},
      {3008, "WIZARDTHREAD_USER_STOP"},
      {9000, "UNKNOWNERROR"},
      {5110, "Unknown Error Code(5110)"},
      {-1, "Unknown Error Code(-1)"},
      {3013, "Unknown Error Code(3013)"},
      {INT_MIN, "Unknown Error Code(-2147483648)"},
  };
  for (const NamedCode& c : cases) {
    CStringA ansi("left over");
    FormatErrorCodeName(c.code, ansi);
    EXPECT_EQ(ansi.Str(), c.name) << c.code;
    CStringW wide(L"left over");
    FormatErrorCodeName(c.code, wide);
    EXPECT_EQ(wide.Str(), std::wstring(c.name, c.name + std::strlen(c.name))) << c.code;
  }
}

}  // namespace
