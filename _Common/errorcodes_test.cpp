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

// Every named code with its name, typed out here rather than taken from the
// header, so that a slip on either side shows up.
const NamedCode kEveryNamedCode[] = {
    {0, "SUCCESS"},
    {1000, "NOT_ENOUGH_MEMORY"},
    {1500, "FAIL_ANALYZE_WIZARD_VER"},
    {1501, "CANT_UPDATEWIZARD"},
    {1502, "CANT_READPATCHSCRIPT"},
    {2000, "INVALID_PARAM"},
    {2001, "INVALID_KEY"},
    {2002, "INVALID_URL"},
    {2100, "NOT_EXIST_DATA"},
    {2101, "NOTEXIST_URLHOST"},
    {2200, "BLANK_CMDLINE"},
    {2201, "INVALID_CMDLINE"},
    {2300, "FAIL_LOAD_CBDATA"},
    {2301, "NOT_EXIST_CBDATA"},
    {2302, "CANT_SAVE_CBDATA"},
    {2303, "FAIL_WRITECBDATA"},
    {2304, "INVALID_CB_FORMAT"},
    {2400, "FAIL_BUILD_PARAMSTRING"},
    {2401, "FAIL_SET_PARAM"},
    {2402, "NOT_ENOUGH_RUNPARAM"},
    {2403, "FAIL_BUILD_RUNPARAM"},
    {2500, "CANT_OPEN_EXTRAWEB"},
    {2501, "CANT_READ_EXTRAWEB"},
    {2502, "MISSING_VALUE_EXTRAWEB"},
    {2503, "TOO_BIGSIZE_EXTRAWEB"},
    {2504, "NOTEXIST_HEADER_EXTRAWEB"},
    {3000, "WIZARDTHREAD"},
    {3001, "WIZARDTHREAD_NOTVALID"},
    {3002, "WIZARDTHREAD_EXTRACT"},
    {3003, "WIZARDTHREAD_CANTOPEN_EXTFILE"},
    {3004, "WIZARDTHREAD_CANTOPENZIP"},
    {3005, "WIZARDTHREAD_CANTWRITEFILE"},
    {3006, "WIZARDTHREAD_CANTWRITEFILE_AVATADLL"},
    {3007, "WIZARDTHREAD_CANTDOWNLOADFILE"},
    {3008, "WIZARDTHREAD_USER_STOP"},
    {3009, "WIZARDTHREAD_NOTFOUND_INSTALL_FILE"},
    {3010, "WIZARDTHREAD_CANT_CREATETHREAD"},
    {3011, "WIZARDTHREAD_ALREADY_CREATETHREAD"},
    {3012, "WIZARDTHREAD_INVALID_DOWNLOADLIB"},
    {3100, "WIZARDTHREAD_EXEC_INSTALL"},
    {3101, "WIZARDTHREAD_EXEC_INSTALL_TIMEOUT"},
    {3102, "WIZARDTHREAD_EXEC_INSTALL_NOTFOUND_REGINFO"},
    {3103, "WIZARDTHREAD_EXEC_INSTALL_NOTMATCH_MINUPDATEVER"},
    {3104, "WIZARDTHREAD_EXEC_INSTALL_UNKNOWN"},
    {3200, "WIZARDTHREAD_BIN_INSTALL"},
    {3201, "WIZARDTHREAD_BIN_INSTALL_CANTOPEN"},
    {3202, "WIZARDTHREAD_BIN_INSTALL_CANTSEEK"},
    {3203, "WIZARDTHREAD_BIN_INSTALL_CANTOPENFILE"},
    {3204, "WIZARDTHREAD_BIN_INSTALL_INVALIDJUMPPOINT"},
    {3205, "WIZARDTHREAD_BIN_INSTALL_CANTOPENZIP"},
    {3206, "WIZARDTHREAD_BIN_INSTALL_SETUPISTOOBIG"},
    {3207, "WIZARDTHREAD_BIN_INSTALL_CANTEXTRACTSETUP"},
    {3208, "WIZARDTHREAD_BIN_INSTALL_CANTFINDSETUPSCRIPT"},
    {3209, "WIZARDTHREAD_BIN_INSTALL_INVALIDFORMAT"},
    {3210, "WIZARDTHREAD_BIN_INSTALL_NOTENOUGHSPACE"},
    {3211, "WIZARDTHREAD_BIN_INSTALL_CANTCREATEREGSTRY"},
    {3500, "DOWNLOAD"},
    {3501, "DOWNLOAD_CANT_INIT"},
    {3502, "DOWNLOAD_CANT_OPEN_FILE"},
    {3503, "DOWNLOAD_CANT_OPEN_URL"},
    {3504, "DOWNLOAD_CANT_READ_URL"},
    {3505, "DOWNLOAD_CANT_WRITE_URL"},
    {3506, "DOWNLOAD_NOT_INITIALIZED"},
    {3507, "DOWNLOAD_NOT_ENOUGHSPACE"},
    {3508, "DOWNLOAD_END"},
    {3600, "GRIDDOWNLOAD"},
    {3601, "GRIDDOWNLOAD_INVALID"},
    {3602, "GRIDDOWNLOAD_ALREADY_STARTED"},
    {3603, "GRIDDOWNLOAD_FAIL_SETCALLBACK"},
    {3604, "GRIDDOWNLOAD_FAIL_START"},
    {3605, "GRIDDOWNLOAD_FAIL_WAIT"},
    {3606, "GRIDDOWNLOAD_FAIL_RUN"},
    {3607, "GRIDDOWNLOAD_FAIL_UPDATER"},
    {3608, "GRIDDOWNLOAD_FAIL_DOWNLOAD"},
    {3609, "GRIDDOWNLOAD_FAIL_ONERRORMSG"},
    {3610, "GRIDDOWNLOAD_FAIL_ADDFILE"},
    {3611, "GRIDDOWNLOAD_MISSING_SAVEFILENAME"},
    {3612, "GRIDDOWNLOAD_CHANGE_HTTPDOWNLOAD"},
    {3613, "GRIDDOWNLOAD_NOT_FOUND_SAVEFILE"},
    {3614, "GRIDDOWNLOAD_FAIL_CREATEJOB"},
    {3615, "GRIDDOWNLOAD_FAIL_STOP"},
    {3616, "GRIDDOWNLOAD_ALREADY_INITIALIZED"},
    {3617, "GRIDDOWNLOAD_FAIL_INIT_USERDATACLASS"},
    {3618, "GRIDDOWNLOAD_GRIDJOB_ISNULL"},
    {3619, "GRIDDOWNLOAD_GRIDCLASS_ISNULL"},
    {3620, "GRIDDOWNLOAD_USERDATA_ALREADY_SET"},
    {3621, "GRIDDOWNLOAD_USERDATA_IS_NULL"},
    {3700, "GRIDDOWNLOAD_GRIDLOAD"},
    {3701, "GRIDDOWNLOAD_GRIDLOAD_UNKNOWN_ERROR"},
    {3702, "GRIDDOWNLOAD_GRIDLOAD_FAIL_LOAD"},
    {3703, "GRIDDOWNLOAD_GRIDLOAD_FAIL_INIT"},
    {3704, "GRIDDOWNLOAD_GRIDLOAD_PATH_GET_FAIL"},
    {3705, "GRIDDOWNLOAD_GRIDLOAD_PATH_EMPTY"},
    {3706, "GRIDDOWNLOAD_END"},
    {4000, "CTR_FATAL_ERROR"},
    {4001, "CTR_INVALID_USERKEYLEN"},
    {4002, "CTR_PAD_CHECK_ERROR"},
    {4003, "CTR_DATA_LEN_ERROR"},
    {4004, "CTR_CIPHER_LEN_ERROR"},
    {4005, "CTR_WEAK_KEY"},
    {8099, "CTR_INVALID_KEY"},
    {5000, "UPDATEWIZARD"},
    {5001, "UPDATEWIZARD_CANT_AFXPARSEURL"},
    {5002, "UPDATEWIZARD_CANT_OPEN_URL"},
    {5003, "UPDATEWIZARD_CANT_OPEN_FILE"},
    {5004, "UPDATEWIZARD_CANT_READ_URL"},
    {5005, "UPDATEWIZARD_CANT_WRITE_FILE"},
    {5006, "UPDATEWIZARD_CANT_OPEN_ZIP"},
    {5007, "UPDATEWIZARD_CANT_FIND_ZIP_WIZARDFILE"},
    {5008, "UPDATEWIZARD_CANT_OPEN_WIZARDFILE"},
    {5009, "UPDATEWIZARD_CANT_WRITE_WIZARDFILE"},
    {5010, "UPDATEWIZARD_CANT_RENAME_WIZARDFILE"},
    {5011, "UPDATEWIZARD_WIZARD_FILEHASH_MISMATCH"},
    {9000, "UNKNOWNERROR"},
};

TEST(ErrorCodeName, NamesEveryCodeOfTheTable) {
  for (const NamedCode& c : kEveryNamedCode) {
    const char* name = ErrorCodeName(c.code);
    ASSERT_NE(name, nullptr) << c.code;
    EXPECT_STREQ(name, c.name) << c.code;
  }
}

TEST(ErrorCodeName, NamesNothingElse) {
  std::set<LauncherErrorCode> named;
  for (const NamedCode& c : kEveryNamedCode) named.insert(c.code);
  ASSERT_EQ(named.size(), 114u);
  for (LauncherErrorCode code = -1000; code <= 20000; ++code) {
    if (!named.count(code)) {
      EXPECT_EQ(ErrorCodeName(code), nullptr) << code;
    }
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
