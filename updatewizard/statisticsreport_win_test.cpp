// Tests of the statistics report under Wine: the requests as nginx logged
// them, and the system line from version numbers and the prefix's registry.
#include <windows.h>

#include "updatewizard/statisticsreport_win.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "_Common/zkfilehashinfo.h"
#include "updatewizard/statisticsreport.h"
#include "updatewizard/wizardglobals.h"
#include "tests/support/peer.h"

// The program's globals, which the start-up would set.
CStringA g_strProgramName;
CStringA g_strStatisticsUrl;
CStringA g_strBrowserName;

namespace {

const char kPage[] = "/cpage/ClientDownLoad/index_v2.asp";
const char kZeroDigest[] = "0000000000000000000000000000000000000000";

using zktest::Env;

std::string Root() { return "http://127.0.0.1:" + Env("ZK_STATISTICS_PORT"); }

std::string LogPath() { return zktest::HostPath(Env("ZK_STATISTICS_STATE") + "/nginx/access.log"); }

std::vector<std::string> LogLines() {
  std::istringstream in(zktest::WithoutSyncLines(zktest::ReadFileBytes(LogPath())));
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// One logged request: "GET <uri> <status> ...".
struct Logged {
  std::string method, uri, status;
};

// The requests logged after the first `from` lines, once nginx has logged
// every request that it answered before.
std::vector<Logged> LoggedSince(size_t from) {
  EXPECT_TRUE(zktest::SyncAccessLog(std::stoi(Env("ZK_STATISTICS_PORT")), LogPath()));
  const std::vector<std::string> lines = LogLines();
  std::vector<Logged> out;
  for (size_t i = from; i < lines.size(); ++i) {
    std::istringstream words(lines[i]);
    Logged entry;
    words >> entry.method >> entry.uri >> entry.status;
    out.push_back(entry);
  }
  return out;
}

// The request target as it reaches the server: the internet library turns
// backslashes into slashes.
std::string OnTheWire(const CStringA& request) {
  std::string text = request.GetString();
  const std::string root = Root();
  if (text.compare(0, root.size(), root) == 0) text.erase(0, root.size());
  std::string out;
  for (char c : text) out += c == '\\' ? '/' : c;
  return out;
}

OSVERSIONINFOA g_fake_version;
BOOL WINAPI FakeVersion(LPOSVERSIONINFOA info) {
  if (info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) return FALSE;
  *info = g_fake_version;
  return TRUE;
}

// Tests that may stand in for another Windows version; the real query is back after each.
class VersionQueryTest : public ::testing::Test {
 protected:
  void FakeWindows(DWORD major, DWORD minor, DWORD build, const char* service_pack) {
    std::memset(&g_fake_version, 0, sizeof(g_fake_version));
    g_fake_version.dwOSVersionInfoSize = sizeof(g_fake_version);
    g_fake_version.dwMajorVersion = major;
    g_fake_version.dwMinorVersion = minor;
    g_fake_version.dwBuildNumber = build;
    g_fake_version.dwPlatformId = VER_PLATFORM_WIN32_NT;
    std::strcpy(g_fake_version.szCSDVersion, service_pack);
    version_.calls().getVersionExA = FakeVersion;
  }

 private:
  ScopedStatisticsReportCalls version_;
};

const char kCurrentVersionKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

// Whether the prefix's 64-bit registry view has a Wow6432Node key of its own,
// which a case cannot take away. The shipped 32-bit program runs in a win32
// prefix, which has none: with the key away its system line says "(32)", the
// literal the cases below are written with. The x86_64 test build runs in a
// win64 prefix, where the key is always there, so a 64-bit program of the
// same code says "(64)" in those cases.
#ifdef _WIN64
constexpr bool kPrefixHasWowNode = true;
#else
constexpr bool kPrefixHasWowNode = false;
#endif

// A system line as written for a system without the Wow6432Node key, as the
// build's own prefix gives it.
std::string WithoutWowNode(std::string line) {
  const std::string bits = "(32)";
  const size_t at = line.find(bits);
  if (kPrefixHasWowNode && at != std::string::npos) line.replace(at, bits.size(), "(64)");
  return line;
}

// A registry value saved at the start and put back at the end.
struct SavedValue {
  std::string name;
  bool present = false;
  DWORD type = 0;
  std::vector<BYTE> data;
};

// Keeps the prefix's CurrentVersion values and Wow6432Node key as they were.
class SystemLineTest : public VersionQueryTest {
 protected:
  void SetUp() override {
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kCurrentVersionKey, 0, KEY_READ | KEY_WRITE | KEY_WOW64_64KEY, &key_),
              ERROR_SUCCESS);
    for (const char* name : {"ProductName", "CurrentVersion", "BuildLab"}) {
      SavedValue saved;
      saved.name = name;
      DWORD size = 0;
      if (RegQueryValueExA(key_, name, nullptr, &saved.type, nullptr, &size) == ERROR_SUCCESS) {
        saved.present = true;
        saved.data.resize(size + 1);
        RegQueryValueExA(key_, name, nullptr, &saved.type, saved.data.data(), &size);
        saved.data.resize(size);
      }
      saved_.push_back(saved);
    }
    HKEY wow = nullptr;
    had_wow_node_ = RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Wow6432Node", 0, KEY_READ | KEY_WOW64_64KEY, &wow) ==
                    ERROR_SUCCESS;
    if (wow) RegCloseKey(wow);
    ASSERT_EQ(had_wow_node_, kPrefixHasWowNode) << "the prefix is not the one this build runs in";
    g_strBrowserName = "IE 8.0";
  }
  void TearDown() override {
    for (const SavedValue& saved : saved_) {
      if (saved.present) {
        RegSetValueExA(key_, saved.name.c_str(), 0, saved.type, saved.data.data(), static_cast<DWORD>(saved.data.size()));
      } else {
        RegDeleteValueA(key_, saved.name.c_str());
      }
    }
    RegCloseKey(key_);
    SetWowNode(had_wow_node_);
    g_strBrowserName.Empty();
  }

  void SetText(const char* name, const std::string& value) {
    ASSERT_EQ(RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>(value.size() + 1)),
              ERROR_SUCCESS);
  }
  void Delete(const char* name) { RegDeleteValueA(key_, name); }
  void SetWowNode(bool present) {
    if (present) {
      HKEY wow = nullptr;
      RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Wow6432Node", 0, nullptr, 0, KEY_WRITE | KEY_WOW64_64KEY, nullptr,
                      &wow, nullptr);
      if (wow) RegCloseKey(wow);
    } else if (!had_wow_node_) {
      RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Wow6432Node");
    }
  }
  void SetRegistryTexts() {
    SetText("ProductName", "Windows 10 Pro");
    SetText("CurrentVersion", "6.3");
    SetText("BuildLab", "19041.vb_release.191206-1406");
  }

  HKEY key_ = nullptr;
  std::vector<SavedValue> saved_;
  bool had_wow_node_ = false;
};

TEST_F(SystemLineTest, OlderWindowsTakesTheVersionNumbersAndIgnoresTheRegistry) {
  SetRegistryTexts();
  SetWowNode(false);
  FakeWindows(5, 1, 2600, "Service Pack 3");
  EXPECT_EQ(std::string(BuildSystemDescription(0).GetString()),
            WithoutWowNode("Windows 5.1.2600_Service Pack 3(32) , Browser:IE 8.0 , Avatar Ver:0"));
  FakeWindows(6, 1, 7601, "Service Pack 1");
  SetWowNode(true);
  EXPECT_STREQ(BuildSystemDescription(3).GetString(),
               "Windows 6.1.7601_Service Pack 1(64) , Browser:IE 8.0 , Avatar Ver:3");
}

TEST_F(SystemLineTest, NewerWindowsTakesProductVersionAndBuildFromTheRegistry) {
  SetRegistryTexts();
  FakeWindows(6, 2, 9200, "");
  SetWowNode(true);
  EXPECT_STREQ(BuildSystemDescription(0).GetString(),
               "Windows 10 Pro 6.3.19041.vb_release.191206-1406_(64) , Browser:IE 8.0 , Avatar Ver:0");
  // The CurrentVersion key counts, not Wow6432Node, once it opens.
  SetWowNode(false);
  FakeWindows(10, 0, 19045, "");
  EXPECT_EQ(std::string(BuildSystemDescription(0).GetString()),
            WithoutWowNode("Windows 10 Pro 6.3.19041.vb_release.191206-1406_(32) , Browser:IE 8.0 , Avatar Ver:0"));
}

TEST_F(SystemLineTest, UnreadableValuesKeepTheirDefaults) {
  FakeWindows(10, 0, 19045, "");
  SetWowNode(false);
  const struct {
    const char* name;
    std::string product;  // "" deletes the value
    std::string build;
    const char* expected;
  } cases[] = {
      {"missing values", "", "", "Windows 10.0.19045_(32) , Browser:IE 8.0 , Avatar Ver:0"},
      {"a value over 128 characters", std::string(129, 'p'), "lab",
       "Windows 10.0.lab_(32) , Browser:IE 8.0 , Avatar Ver:0"},
      {"a value of 127 characters fits", std::string(127, 'p'), "lab", nullptr},
  };
  for (const auto& c : cases) {
    Delete("CurrentVersion");
    if (c.product.empty()) Delete("ProductName"); else SetText("ProductName", c.product);
    if (c.build.empty()) Delete("BuildLab"); else SetText("BuildLab", c.build);
    const std::string expected =
        c.expected ? c.expected : c.product + " 10.0.lab_(32) , Browser:IE 8.0 , Avatar Ver:0";
    EXPECT_EQ(std::string(BuildSystemDescription(0).GetString()), WithoutWowNode(expected)) << c.name;
  }
  const DWORD number = 7;
  ASSERT_EQ(RegSetValueExA(key_, "CurrentVersion", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number)),
            ERROR_SUCCESS);
  Delete("ProductName");
  Delete("BuildLab");
  EXPECT_EQ(std::string(BuildSystemDescription(0).GetString()),
            WithoutWowNode("Windows 10.0.19045_(32) , Browser:IE 8.0 , Avatar Ver:0"))
      << "a number is no version text";
}

TEST_F(SystemLineTest, RealVersionQuery) {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof(info);
  ASSERT_TRUE(GetVersionExA(&info));
  SetRegistryTexts();
  const std::string line = BuildSystemDescription(0).GetString();
  if (UsesCurrentVersionKey(info.dwMajorVersion, info.dwMinorVersion)) {
    EXPECT_EQ(line.rfind("Windows 10 Pro 6.3.19041.vb_release.191206-1406_", 0), 0u) << line;
  } else {
    EXPECT_EQ(line.rfind("Windows " + std::to_string(info.dwMajorVersion) + "." +
                             std::to_string(info.dwMinorVersion) + "." + std::to_string(info.dwBuildNumber), 0),
              0u)
        << line;
  }
}

// The report against nginx, with the system line of an XP machine.
class ReportTest : public VersionQueryTest {
 protected:
  void SetUp() override {
    g_strProgramName = "GAME01";
    g_strBrowserName = "IE 8.0";
    FakeWindows(5, 1, 2600, "Service Pack 3");
    from_ = LogLines().size();
  }
  void TearDown() override {
    g_strProgramName.Empty();
    g_strBrowserName.Empty();
  }
  // Notes path as failed the way the update does: a stream that misses its digest.
  void Fail(const char* path) {
    hash_.SetCheckType(CFileHashInfo::kCheckStrict);
    hash_.UpdateStreamHash("zip", 3);
    ASSERT_FALSE(hash_.VerifyStream(path, 0, kZeroDigest));
  }
  std::string SystemLine() const {
    HKEY wow = nullptr;
    const bool bits64 = RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Wow6432Node", 0, KEY_READ | KEY_WOW64_64KEY,
                                      &wow) == ERROR_SUCCESS;
    if (wow) RegCloseKey(wow);
    return std::string("Windows 5.1.2600_Service Pack 3(") + (bits64 ? "64" : "32") +
           ") , Browser:" + g_strBrowserName.GetString() + " , Avatar Ver:0";
  }
  std::string Wire(const std::string& url, const char* file, int grid) const {
    return OnTheWire(FormatStatisticsRequest(url.c_str(), "GAME01", file, 5011, grid));
  }

  CFileHashInfo hash_;
  size_t from_ = 0;
};

bool Accepted(const std::string& status) { return status == "200" || status == "206"; }

TEST_F(ReportTest, OneRequestPerFailedFileThenTheSystemLine) {
  const char* first = "C:\\users\\me\\Application Data\\corvalise\\Quillan1.exe.zip";
  const char* second = "C:\\temp\\other & more.zip";
  Fail(first);
  Fail(second);
  const std::string url = Root() + kPage;
  EXPECT_TRUE(hash_.ReportHashFailures(url.c_str(), 5011, 0));
  const std::vector<Logged> log = LoggedSince(from_);
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0].uri, std::string(kPage) +
                            "?GameCode=GAME01&contentType=hashcheck&iRunType=0&IsPageStyle=0&IsAgree=0&IsAgreeStartPage=0"
                            "&iReturnGridError=0&iReturnLauncherError=5011&strErrorFileName=Quillan1.exe.zip");
  EXPECT_EQ(log[1].uri, Wire(url, second, 0));
  EXPECT_NE(log[1].uri.find("strErrorFileName=other%20%26%20more.zip"), std::string::npos) << log[1].uri;
  EXPECT_EQ(log[2].uri, Wire(url, SystemLine().c_str(), 9999));
  EXPECT_NE(log[2].uri.find(WithoutWowNode("&strErrorFileName=Windows%205.1.2600_Service%20Pack%203(32)%20,%20"
                                           "Browser:IE%208.0%20,%20Avatar%20Ver:0")),
            std::string::npos)
      << log[2].uri;
  for (const Logged& entry : log) {
    EXPECT_EQ(entry.method, "GET");
    EXPECT_TRUE(Accepted(entry.status)) << entry.status;
  }
}

TEST_F(ReportTest, EmptyListStillSendsTheClosingRequest) {
  const std::string url = Root() + kPage;
  EXPECT_TRUE(hash_.ReportHashFailures(url.c_str(), 5011, 0));
  const std::vector<Logged> log = LoggedSince(from_);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].uri, Wire(url, SystemLine().c_str(), 9999));
}

TEST_F(ReportTest, MissingOrEmptyAddressGoesToTheBuiltInAddress) {
  Fail("C:\\x\\corvalise\\Quillan1.exe.zip");
  for (const char* url : {static_cast<const char*>(nullptr), ""}) {
    from_ = LogLines().size();
    EXPECT_TRUE(hash_.ReportHashFailures(url, 5011, 0));
    const std::vector<Logged> log = LoggedSince(from_);
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].uri, Wire(DefaultStatisticsUrl(), "Quillan1.exe.zip", 0));
    EXPECT_EQ(log[1].uri, Wire(DefaultStatisticsUrl(), SystemLine().c_str(), 9999));
  }
}

TEST_F(ReportTest, LongSystemLineIsSentAsItsFirst254Characters) {
  g_strBrowserName = CStringA(std::string(260, 'b').c_str());
  const std::string url = Root() + kPage;
  EXPECT_TRUE(hash_.ReportHashFailures(url.c_str(), 5011, 0));
  const std::vector<Logged> log = LoggedSince(from_);
  ASSERT_EQ(log.size(), 1u);
  const std::string line = SystemLine();
  ASSERT_GT(line.size(), 254u);
  EXPECT_EQ(log[0].uri, Wire(url, line.substr(0, 254).c_str(), 9999));
}

TEST_F(ReportTest, RefusedOrUnreachableServerFailsTheReport) {
  Fail("C:\\x\\Quillan1.exe.zip");
  const std::string missing = Root() + "/cpage/missing.asp";
  EXPECT_FALSE(hash_.ReportHashFailures(missing.c_str(), 5011, 0));
  const std::vector<Logged> log = LoggedSince(from_);
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].status, "404");
  EXPECT_EQ(log[1].status, "404");
  EXPECT_NE(log[1].uri.find("iReturnGridError=9999"), std::string::npos);

  // Nothing listens on port 1 of loopback.
  EXPECT_FALSE(hash_.ReportHashFailures("http://127.0.0.1:1/cpage/ClientDownLoad/index_v2.asp", 5011, 0));
  EXPECT_FALSE(hash_.SendStatisticsRequest("not an address", "x.zip", 5011, 0));
}

TEST_F(ReportTest, SingleRequestResults) {
  const std::string url = Root() + kPage;
  EXPECT_TRUE(hash_.SendStatisticsRequest(url.c_str(), "D:\\games\\corvalise\\Quillan1.exe.zip", 5011, 0));
  EXPECT_TRUE(hash_.SendStatisticsRequest(url.c_str(), "D:\\whole\\text", 5011, 9999));
  const std::vector<Logged> log = LoggedSince(from_);
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].uri, Wire(url, "Quillan1.exe.zip", 0));
  EXPECT_EQ(log[1].uri, Wire(url, "D:\\whole\\text", 9999));
  EXPECT_NE(log[1].uri.find("strErrorFileName=D:/whole/text"), std::string::npos) << log[1].uri;
}

}  // namespace
