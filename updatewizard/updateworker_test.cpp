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
      {"", 2002},
      {nullptr, 2002},
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

class RecordingSource : public IZKPatchScriptSource {
 public:
  int DownloadPatchScriptRetry(const char* name, CStringA& address) override {
    names.push_back(name);
    addresses.push_back(address.GetString());
    return answer;
  }
  CStringA GetWizardFile() const override { return "http://h/Quillan1.zip"; }
  CStringA GetWizardVersion() const override { return "1.0.0.5"; }
  CStringA GetWizardFileHash() const override { return "ABCDEF"; }

  int answer = 1;
  std::vector<std::string> names, addresses;
};

TEST(UpdateManager, ReadsTheAvatarScriptThroughItsSource) {
  RecordingSource source;
  CZKUpdateManager manager(&source);
  CStringA address("http://patch/CorvaliseAvatar.htm");
  EXPECT_TRUE(manager.ReadPatchScript(address));
  source.answer = 0;
  EXPECT_FALSE(manager.ReadPatchScript(address));
  EXPECT_EQ(source.names, (std::vector<std::string>{"CorvaliseAvatar", "CorvaliseAvatar"}));
  EXPECT_EQ(source.addresses[0], "http://patch/CorvaliseAvatar.htm");
  EXPECT_STREQ(manager.WizardFile(), "http://h/Quillan1.zip");
  EXPECT_STREQ(manager.WizardVersion(), "1.0.0.5");
  EXPECT_STREQ(manager.WizardFileHash(), "ABCDEF");
}

TEST(UpdateManager, EmptyAddressReadsNothingAndMissingSourceFails) {
  RecordingSource source;
  CZKUpdateManager manager(&source);
  CStringA empty;
  EXPECT_TRUE(manager.ReadPatchScript(empty));
  EXPECT_TRUE(source.names.empty());

  CZKUpdateManager without_source;
  CStringA address("http://patch/CorvaliseAvatar.htm");
  EXPECT_FALSE(without_source.ReadPatchScript(address));
  EXPECT_STREQ(without_source.WizardFile(), "");
}

}  // namespace
