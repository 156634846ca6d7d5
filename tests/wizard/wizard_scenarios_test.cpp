// The update wizard program under Wine: handed its run parameters by a
// sender (this test, through the run-parameter hand-over), it installs
// Quillan1.exe from nginx into the user's application-data folder and starts
// it with the parameters plus BrowserName; a missing required parameter ends
// in the box of string 20 with the code's name.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/tools/peer.h"
#include "zkrunparammodulelib/zkrunparam.h"

namespace {

std::string Env(const char* name) {
  const char* value = getenv(name);
  return value ? value : "";
}

std::string WizardProgram() { return zktest::ProgramFolder() + "Tesselo1.exe"; }

std::string InstalledProgram() {
  char folder[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, 0, folder);
  return std::string(folder) + "\\corvalise\\Quillan1.exe";
}

std::string Root() { return "http://127.0.0.1:" + Env("ZK_WIZARD_NGINX_PORT") + "/"; }

// Hands the pairs to the wizard (a new process started by Execute).
int Hand(const std::vector<std::pair<std::string, std::string>>& pairs) {
  // A wizard started while the previous one still ends would take itself
  // for a second instance and quit.
  EXPECT_TRUE(zktest::WaitForChildren()) << "an earlier wizard did not end";
  CZKRunParam params;
  for (const auto& pair : pairs) params.SetValue(pair.first.c_str(), pair.second.c_str());
  int launch = 0;
  return params.Execute(WizardProgram().c_str(), &launch, nullptr);
}

TEST(WizardScenarioTest, InstallsAndStartsQuillanWithTheParametersAndBrowserName) {
  DeleteFileA(InstalledProgram().c_str());
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  std::string record = std::string(temp) + "zk_wizard_quillan_record.txt";
  DeleteFileA(record.c_str());
  SetEnvironmentVariableA("ZKTEST_RECORD", record.c_str());
  SetEnvironmentVariableA("ZKTEST_NAMES", "RunMode|ProgName|AvatarURL|UpdateURL|Extra|BrowserName");
  ASSERT_EQ(Hand({{"RunMode", "1"},
                  {"ProgName", "Corvalise"},
                  {"AvatarURL", Root() + "good/CorvaliseAvatar.htm"},
                  {"UpdateURL", "http://www.zkgames.test/update"},
                  {"Extra", "a;b=c"}}),
            0);
  // The wizard and the Quillan1.exe it started: the record is whole once both have ended.
  ASSERT_TRUE(zktest::WaitForChildren(120000)) << "the wizard or Quillan1.exe did not end";
  ASSERT_NE(GetFileAttributesA(record.c_str()), INVALID_FILE_ATTRIBUTES) << "Quillan1.exe was not started";
  std::string text = zktest::ReadFileBytes(record);
  EXPECT_NE(text.find("LOAD:0\n"), std::string::npos) << text;
  EXPECT_NE(text.find("NAME:RunMode=1\n"), std::string::npos) << text;
  EXPECT_NE(text.find("NAME:ProgName=Corvalise\n"), std::string::npos) << text;
  EXPECT_NE(text.find("NAME:AvatarURL=" + Root() + "good/CorvaliseAvatar.htm\n"), std::string::npos) << text;
  EXPECT_NE(text.find("NAME:UpdateURL=http://www.zkgames.test/update\n"), std::string::npos) << text;
  EXPECT_NE(text.find("NAME:Extra=a;b=c\n"), std::string::npos) << text;
  // The test started the wizard itself: its parent is this test program.
  EXPECT_NE(text.find("NAME:BrowserName=wizard_scenarios_test "), std::string::npos) << text;
  EXPECT_EQ(GetFileAttributesA(InstalledProgram().c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  DeleteFileA(record.c_str());
}

TEST(WizardScenarioTest, MissingRequiredParameterShowsItsBox) {
  zktest::BoxWatch watch(1, 30000);
  ASSERT_EQ(Hand({{"ProgName", "Corvalise"}, {"AvatarURL", Root() + "good/CorvaliseAvatar.htm"}}), 0);
  std::string boxes = watch.Wait();
  EXPECT_NE(boxes.find("CAPTION:게임 업데이트 마법사\n"), std::string::npos) << boxes;
  EXPECT_NE(boxes.find("TEXT:인자가 올바르지 않습니다.\r\n\r\nCode: NOT_ENOUGH_RUNPARAM\n"), std::string::npos) << boxes;
}

TEST(WizardScenarioTest, UntrustedUpdateHostShowsItsBox) {
  zktest::BoxWatch watch(1, 30000);
  ASSERT_EQ(Hand({{"RunMode", "1"},
                  {"ProgName", "Corvalise"},
                  {"AvatarURL", Root() + "good/CorvaliseAvatar.htm"},
                  {"UpdateURL", "http://www.zkgames.test.evil.test/"}}),
            0);
  std::string boxes = watch.Wait();
  EXPECT_NE(boxes.find("Code: INVALID_URL\n"), std::string::npos) << boxes;
}

}  // namespace
