// Tests of the update worker's pure parts: the compared version texts, the
// prefix test of WizardFile and the patch-script holder.
#include "updatewizard/updateworker.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "updatewizard/updatemanager.h"

namespace {

TEST(UpdateWorkerVersion, WantedPointsBecomeCommasInstalledPointsStay) {
  struct Case {
    const char* wanted;
    const char* installed;
    const char* wanted_text;
    const char* installed_text;
  } cases[] = {
      {"1.0.0.5", "1,0,0,5", "1,0,0,5", "1,0,0,5"},
      {" 1 . 0 . 0 . 5 ", "1, 0, 0, 5", "1,0,0,5", "1,0,0,5"},
      // The installed points stay, so a pointed FileVersion never equals the wanted text.
      {"1.0.0.5", "1.0.0.5", "1,0,0,5", "1.0.0.5"},
      {"", "", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_STREQ(NormalizeWantedVersion(c.wanted), c.wanted_text) << c.wanted;
    EXPECT_STREQ(NormalizeInstalledVersion(c.installed), c.installed_text) << c.installed;
  }
  EXPECT_STREQ(NormalizeWantedVersion(nullptr), "");
}

TEST(UpdateWorkerPrefix, WizardFileMustBeginWithOneOfTheRoots) {
  const char* test_root = "http://10.1.2.3:8080/";
  const char* folder = "http://cdn.corvalise.test/Common/";
  struct Case {
    const char* url;
    int expected;
  } cases[] = {
      {"http://10.1.2.3:8080/wizard/Quillan1.zip", 0},
      {"HTTP://10.1.2.3:8080/x.zip", 0},
      {"http://CDN.Corvalise.TEST/common/Quillan1.zip", 0},
      {"http://10.1.2.3:8080/", 0},
      {"http://10.1.2.3:8080", 2002},  // shorter than the root
      {"http://10.1.2.3:8081/x.zip", 2002},
      {"http://cdn.corvalise.test/Other/Quillan1.zip", 2002},
      {"https://cdn.corvalise.test/Common/x.zip", 2002},
      {"http://10.1.2.3:80800/x.zip", 2002},  // the root's final "/" counts
      {"http://10.1.2.3:8080.evil.test/x.zip", 2002},
      {"", 2002},
      {nullptr, 2002},
      // Under a root, but able to leave it once WinINet or the server has
      // decoded or split the address.
      {"http://cdn.corvalise.test/Common/../elsewhere/x.zip", 2002},
      {"http://cdn.corvalise.test/Common/%2e%2e/elsewhere/x.zip", 2002},
      {"http://cdn.corvalise.test/Common/..\\elsewhere\\x.zip", 2002},
      {"http://10.1.2.3:8080/\\evil.test/x.zip", 2002},
      {"http://cdn.corvalise.test/Common/@evil.test/x.zip", 2002},
      {"http://10.1.2.3:8080/x.zip\r\nHost: evil.test", 2002},
      {"http://10.1.2.3:8080/\x7f.zip", 2002},
      // Code page 949's full-width "．．／", which a best-fit conversion makes "../".
      {"http://cdn.corvalise.test/Common/\xA3\xAE\xA3\xAE\xA3\xAFx.zip", 2002},
      {"http://cdn.corvalise.test/Common/\xC7\xD1.zip", 2002},  // any byte above 0x7E
      // Another file than the one the address spells.
      {"http://cdn.corvalise.test/Common/get.php?file=x.zip", 2002},
      {"http://cdn.corvalise.test/Common/x.zip#", 2002},
      {"http://cdn.corvalise.test/Common/sub/Quillan1_1,0,0,5-a~b.zip", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CheckWizardFileUrl(c.url, test_root, folder), c.expected) << (c.url ? c.url : "(null)");
  }
}

TEST(UpdateWorkerPrefix, DoubleByteCharactersCompareExactly) {
  // "\xB0\x41" is one Korean character whose trail byte looks like 'A': it must
  // not match "\xB0\x61" as a letter would.
  EXPECT_TRUE(MatchesRootIgnoringCase("http://h/\xB0\x41/x", "http://h/\xB0\x41/"));
  EXPECT_FALSE(MatchesRootIgnoringCase("http://h/\xB0\x61/x", "http://h/\xB0\x41/"));
  EXPECT_TRUE(MatchesRootIgnoringCase("HTTP://H/\xB0\x41/x", "http://h/\xB0\x41/"));
}

struct ReaderCall {
  std::string name, address;
  bool lists;
  int installed_version;
};
std::vector<ReaderCall> g_reader_calls;
int g_reader_answer = 1;

// Stands in for the retrying download: records the call and fills the parser.
int RecordingReader(const char* name, CStringA& address, CSentenceParse& parser, PatchFileLists* lists,
                    int installed_version) {
  g_reader_calls.push_back({name, address.GetString(), lists != nullptr, installed_version});
  parser.m_strWizardFile = "http://h/Quillan1.zip";
  parser.m_strWizardVersion = "1.0.0.5";
  parser.m_strWizardFileHash = "ABCDEF";
  return g_reader_answer;
}

TEST(UpdateManager, ReadsTheAvatarScriptIntoItsParseResult) {
  g_reader_calls.clear();
  CZKUpdateManager manager(RecordingReader);
  CStringA address("http://patch/CorvaliseAvatar.htm");
  g_reader_answer = 1;
  EXPECT_TRUE(manager.ReadPatchScript(address));
  g_reader_answer = 0;
  EXPECT_FALSE(manager.ReadPatchScript(address));
  ASSERT_EQ(g_reader_calls.size(), 2u);
  EXPECT_EQ(g_reader_calls[0].name, "CorvaliseAvatar");
  EXPECT_EQ(g_reader_calls[0].address, "http://patch/CorvaliseAvatar.htm");
  EXPECT_FALSE(g_reader_calls[0].lists);
  EXPECT_EQ(g_reader_calls[0].installed_version, 0);
  EXPECT_STREQ(manager.WizardFile(), "http://h/Quillan1.zip");
  EXPECT_STREQ(manager.WizardVersion(), "1.0.0.5");
  EXPECT_STREQ(manager.WizardFileHash(), "ABCDEF");
}

TEST(UpdateManager, EmptyAddressReadsNothingAndMissingReaderFails) {
  g_reader_calls.clear();
  CZKUpdateManager manager(RecordingReader);
  CStringA empty;
  EXPECT_TRUE(manager.ReadPatchScript(empty));
  EXPECT_TRUE(g_reader_calls.empty());

  CZKUpdateManager without_reader;
  CStringA address("http://patch/CorvaliseAvatar.htm");
  EXPECT_FALSE(without_reader.ReadPatchScript(address));
  EXPECT_STREQ(without_reader.WizardFile(), "");
}

}  // namespace
