// The update wizard program under Wine, handed its run parameters like the
// starter does: every request that it makes reaches nginx with the agent
// that belongs to it, "My Session" for the patch script and the application
// title "게임 업데이트 마법사" (code page 949) for the hash list, the wizard
// zip and the statistics reports.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/peer.h"
#include "zkrunparammodulelib/zkrunparam.h"

namespace {

// The title as nginx writes the code page 949 bytes into its log.
const char kTitleLogged[] =
    "\\xB0\\xD4\\xC0\\xD3 \\xBE\\xF7\\xB5\\xA5\\xC0\\xCC\\xC6\\xAE \\xB8\\xB6\\xB9\\xFD\\xBB\\xE7";

using zktest::Env;

std::string Root() { return "http://127.0.0.1:" + Env("ZK_WIZARD_NGINX_PORT") + "/"; }

std::string InstalledProgram() {
  char folder[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, 0, folder);
  return std::string(folder) + "\\corvalise\\Quillan1.exe";
}

std::string AccessLog() { return zktest::ReadFileBytes(zktest::HostPath(Env("ZK_WIZARD_NGINX_LOG"))); }

// A logged request: its path without the query, and its agent.
struct Request {
  std::string path, agent;
};

// The requests logged after the first `from` bytes of the log.
std::vector<Request> RequestsSince(size_t from) {
  std::vector<Request> requests;
  const std::string log = AccessLog();
  for (size_t at = from; at < log.size();) {
    size_t end = log.find('\n', at);
    if (end == std::string::npos) break;  // a line still being written
    const std::string line = log.substr(at, end - at);
    at = end + 1;
    const size_t path = line.find(' ') + 1;
    const size_t agent = line.find(" agent=");
    if (path == 0 || agent == std::string::npos) continue;
    requests.push_back({line.substr(path, line.find_first_of(" ?", path) - path), line.substr(agent + 7)});
  }
  return requests;
}

// nginx writes a request's line once the answer is out: waits until the
// request of path has been logged since from (or a minute has passed).
std::vector<Request> RequestsOnceLogged(size_t from, const std::string& path) {
  std::vector<Request> requests;
  for (int i = 0; i < 600; ++i) {
    requests = RequestsSince(from);
    for (const Request& request : requests)
      if (request.path == path) return requests;
    Sleep(100);
  }
  return requests;
}

// Hands the parameters of a run against the docroot case to the wizard.
void HandCase(const std::string& docroot_case) {
  // One wizard at a time: a second one would only bring the first to the front.
  ASSERT_TRUE(zktest::WaitForChildren()) << "an earlier wizard did not end";
  DeleteFileA(InstalledProgram().c_str());  // so that the zip is fetched
  CZKRunParam params;
  params.SetValue("RunMode", "1");
  params.SetValue("ProgName", "Corvalise");
  params.SetValue("AvatarURL", (Root() + docroot_case + "/CorvaliseAvatar.htm").c_str());
  params.SetValue("UpdateURL", "http://www.zkgames.test/update");
  params.SetValue("StatisticsURL", (Root() + "stats/index_v2.asp").c_str());
  int launch = 0;
  ASSERT_EQ(params.Execute((zktest::ProgramFolder() + "Tesselo1.exe").c_str(), &launch, nullptr), 0);
}

void ExpectAgents(const std::vector<Request>& requests, const std::vector<std::string>& title_paths,
                  const std::string& script_path) {
  int scripts = 0;
  std::vector<std::string> titled;
  for (const Request& request : requests) {
    if (request.path == script_path) {
      ++scripts;
      EXPECT_EQ(request.agent, "My Session") << request.path;
    } else {
      EXPECT_EQ(request.agent, kTitleLogged) << request.path;
      titled.push_back(request.path);
    }
  }
  EXPECT_EQ(scripts, 1);
  for (const std::string& path : title_paths) {
    bool seen = false;
    for (const std::string& logged : titled) seen = seen || logged == path;
    EXPECT_TRUE(seen) << path << " was not requested";
  }
}

TEST(WizardAgentScenarioTest, ScriptHashListAndZipCarryTheirAgents) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string record = std::string(temp) + "zk_wizard_agent_record.txt";
  DeleteFileA(record.c_str());
  SetEnvironmentVariableA("ZKTEST_RECORD", record.c_str());
  SetEnvironmentVariableA("ZKTEST_NAMES", "RunMode");
  const size_t from = AccessLog().size();
  HandCase("good");
  // The stand-in that the wizard starts at its very end writes the record.
  ASSERT_TRUE(zktest::WaitForChildren()) << "the wizard or the stand-in did not end";
  ASSERT_NE(GetFileAttributesA(record.c_str()), INVALID_FILE_ATTRIBUTES) << "Quillan1.exe was not started";
  DeleteFileA(record.c_str());
  ExpectAgents(RequestsOnceLogged(from, "/good/CorvaliseAvatar_hash.htm"),
               {"/good/Quillan1.zip", "/good/CorvaliseAvatar_hash.htm"}, "/good/CorvaliseAvatar.htm");
}

TEST(WizardAgentScenarioTest, StatisticsReportsCarryTheTitle) {
  zktest::BoxWatch watch(1, 60000);
  const size_t from = AccessLog().size();
  HandCase("mismatch");
  // The failed check's box comes after the reports.
  const std::string boxes = watch.Wait();
  EXPECT_NE(boxes.find("Code: UPDATEWIZARD_WIZARD_FILEHASH_MISMATCH\n"), std::string::npos) << boxes;
  const std::vector<Request> requests = RequestsOnceLogged(from, "/stats/index_v2.asp");
  ExpectAgents(requests, {"/mismatch/Quillan1.zip", "/mismatch/CorvaliseAvatar_hash.htm", "/stats/index_v2.asp"},
               "/mismatch/CorvaliseAvatar.htm");
  int reports = 0;
  for (const Request& request : requests) reports += request.path == "/stats/index_v2.asp";
  EXPECT_EQ(reports, 2) << "one for the zip, one closing";
}

}  // namespace
