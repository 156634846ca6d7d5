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

// Waits until no wizard holds "ZKUpdateMutex": a wizard started while the
// previous one still ends would take itself for a second instance and quit.
void WaitForWizardEnd() {
  for (int i = 0; i < 200; ++i) {
    HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, "ZKUpdateMutex");
    if (!mutex) return;
    CloseHandle(mutex);
    Sleep(100);
  }
}

// Hands the pairs to the wizard (a new process started by Execute).
int Hand(const std::vector<std::pair<std::string, std::string>>& pairs) {
  WaitForWizardEnd();
  CZKRunParam params;
  for (const auto& pair : pairs) params.SetValue(pair.first.c_str(), pair.second.c_str());
  int launch = 0;
  return params.Execute(WizardProgram().c_str(), &launch, nullptr);
}

bool WaitForFile(const std::string& path, unsigned timeout_ms) {
  for (unsigned waited = 0; waited < timeout_ms; waited += 100) {
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    Sleep(100);
  }
  return false;
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
  ASSERT_TRUE(WaitForFile(record, 60000)) << "Quillan1.exe was not started";
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
