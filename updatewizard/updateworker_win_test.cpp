// Tests of the update worker under Wine against nginx: the patch script, the
// hash list and the wizard zips of tests/worker/worker-fixture, and stand-in
// Quillan1.exe programs that differ in their version blocks.
#include "updatewizard/updateworker_win.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "_Common/zkfilehashinfo.h"
#include "_Common/zkgethttp.h"
#include "_Common/zkcommonfunc_win.h"
#include "tests/support/httppeers.h"
#include "tests/support/peer.h"

namespace {

using zktest::Env;
using zktest::HostPath;
using zktest::ReadFileBytes;

}  // namespace

// The start-up's globals, which the statistics report reads.
CStringA g_strProgramName = "GAME01";
CStringA g_strStatisticsUrl;
CStringA g_strBrowserName = "IE 8.0";

namespace {

std::string Root() { return "http://127.0.0.1:" + Env("ZK_WORKER_NGINX_PORT"); }
std::string FaultRoot() { return "http://127.0.0.1:" + Env("ZK_WORKER_FAULT_PORT") + "/"; }

std::string Program(const std::string& variant) {
  return HostPath(Env("ZK_WORKER_PROGRAMS") + "/quillan_" + variant + ".exe");
}

// nginx's access log once it holds every request that nginx answered before.
std::string NginxLog() {
  EXPECT_TRUE(zktest::SyncAccessLog(std::stoi(Env("ZK_WORKER_NGINX_PORT")),
                                    HostPath(Env("ZK_WORKER_DATA") + "/nginx/access.log")));
  return ReadFileBytes(HostPath(Env("ZK_WORKER_DATA") + "/nginx/access.log"));
}

int CountOf(const std::string& text, const std::string& part) {
  int count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// The message boxes of the patch-script download, recorded instead of shown.
std::vector<std::string> g_boxes;
int WINAPI RecordBox(HWND, LPCSTR text, LPCSTR, UINT) {
  g_boxes.push_back(text ? text : "");
  return IDOK;
}

// The dialog's side as the worker sees it: the codes stored and the flags posted.
class RecordingSink : public IZKUpdateResultSink {
 public:
  void SetResultCode(int code) override { result = code; }
  void PostUpdateDone(int success) override { posted.push_back(success); }

  int result = 9000;
  std::vector<int> posted;
};

class UpdateWorkerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::string safe;
    for (char c : name) safe += (c == '/') ? '_' : c;
    base_ = HostPath(Env("ZK_WORKER_DATA") + "/appdata/" + safe);
    CreateDirectoryA(HostPath(Env("ZK_WORKER_DATA") + "/appdata").c_str(), nullptr);
    CreateDirectoryA(base_.c_str(), nullptr);
    folder_ = base_ + "\\corvalise";
    program_ = folder_ + "\\Quillan1.exe";
    for (const std::string& leftover : {program_, program_ + ".zip", program_ + "_"}) {
      SetFileAttributesA(leftover.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(leftover.c_str());
    }
    RemoveDirectoryA(folder_.c_str());
    SetCurrentDirectoryA(base_.c_str());
    g_boxes.clear();
    boxes_.calls().messageBoxA = RecordBox;
    log_start_ = NginxLog().size();

    settings_ = DefaultUpdateWorkerSettings();
    settings_.test_server_root = (Root() + "/").c_str();
    settings_.download_folder = "http://cdn.corvalise.test/Common/";
    settings_.application_data_folder = base_.c_str();
    settings_.statistics_url = (Root() + "/stats/index_v2.asp").c_str();
  }

  void UseCase(const std::string& name) { settings_.avatar_url = (Root() + "/" + name + "/CorvaliseAvatar.htm").c_str(); }

  void Install(const std::string& variant) {
    CreateDirectoryA(folder_.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(Program(variant).c_str(), program_.c_str(), FALSE));
  }

  // The requests for zips since the test began.
  int ZipRequests() { return CountOf(NginxLog().substr(log_start_), "/Quillan1.zip "); }
  // The requests of patch scripts since the test began.
  int ScriptRequests() { return CountOf(NginxLog().substr(log_start_), "/CorvaliseAvatar.htm "); }
  // The statistics requests since the test began.
  std::vector<std::string> StatisticsRequests() {
    std::vector<std::string> requests;
    std::string log = NginxLog().substr(log_start_);
    for (size_t at = log.find("GET /stats/"); at != std::string::npos; at = log.find("GET /stats/", at + 1)) {
      requests.push_back(log.substr(at, log.find(' ', at + 4) - at));
    }
    return requests;
  }

  std::string base_, folder_, program_;
  size_t log_start_ = 0;
  ScopedZKCommonFuncCalls boxes_;
  ZKUpdateWorkerSettings settings_;
};

struct RunCase {
  const char* name;
  const char* script_case;
  const char* installed;  // program variant in place before the run; "" none, "-" no folder either
  bool foreign_roots;     // WizardFile outside both roots
  int expected;
  int zip_requests;
  const char* program_after;  // variant expected at the wizard path; "" none
};

class UpdateWorkerRunTest : public UpdateWorkerTest, public ::testing::WithParamInterface<RunCase> {};

TEST_P(UpdateWorkerRunTest, LeavesCodeProgramAndNoTemporaryFiles) {
  const RunCase& c = GetParam();
  UseCase(c.script_case);
  if (std::string(c.installed) == "") CreateDirectoryA(folder_.c_str(), nullptr);
  else if (std::string(c.installed) != "-") Install(c.installed);
  if (c.foreign_roots) {
    settings_.test_server_root = "http://127.0.0.2/";
    settings_.download_folder = "http://cdn.corvalise.test/Common/";
  }

  RecordingSink sink;
  CZKUpdateWorker worker(settings_);
  const int code = worker.RunUpdate(&sink);
  EXPECT_EQ(code, c.expected);
  EXPECT_EQ(sink.result, code);
  EXPECT_EQ(sink.posted, std::vector<int>{code == 0 ? 1 : 0});
  EXPECT_EQ(ScriptRequests(), 1);
  EXPECT_TRUE(g_boxes.empty());
  EXPECT_EQ(ZipRequests(), c.zip_requests);

  EXPECT_STREQ(g_strWizardFolder, folder_.c_str());
  EXPECT_STREQ(g_strWizardPath, program_.c_str());
  if (*c.program_after) {
    EXPECT_EQ(ReadFileBytes(program_), ReadFileBytes(Program(c.program_after))) << "program is not " << c.program_after;
    EXPECT_EQ(GetFileAttributesA(program_.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  } else {
    EXPECT_EQ(GetFileAttributesA(program_.c_str()), INVALID_FILE_ATTRIBUTES);
  }
  EXPECT_EQ(GetFileAttributesA((program_ + ".zip").c_str()), INVALID_FILE_ATTRIBUTES) << "zip left behind";
  EXPECT_EQ(GetFileAttributesA((program_ + "_").c_str()), INVALID_FILE_ATTRIBUTES) << "unpack file left behind";

  std::vector<std::string> reports = StatisticsRequests();
  if (code == 5011) {
    // One request for the failed zip, by its file name, and the closing one.
    ASSERT_EQ(reports.size(), 2u);
    const std::string query = "GET /stats/index_v2.asp?GameCode=GAME01&contentType=hashcheck&iRunType=0&IsPageStyle=0"
                              "&IsAgree=0&IsAgreeStartPage=0";
    EXPECT_EQ(reports[0], query + "&iReturnGridError=0&iReturnLauncherError=5011&strErrorFileName=Quillan1.exe.zip");
    EXPECT_EQ(reports[1].rfind(query + "&iReturnGridError=9999&iReturnLauncherError=5011&strErrorFileName=", 0), 0u)
        << reports[1];
    EXPECT_NE(reports[1].find("Avatar%20Ver:0"), std::string::npos) << reports[1];
  } else {
    EXPECT_TRUE(reports.empty());
  }
}

const RunCase kRunCases[] = {
    {"NoFolderInstalls", "good", "-", false, 0, 1, "new"},
    {"MissingProgramInstalls", "good", "", false, 0, 1, "new"},
    {"OtherVersionReplaced", "good", "old", false, 0, 1, "new"},
    // "1, 0, 0, 6" against 1.0.0.6: equal, nothing fetched.
    {"SameVersionNothingDownloaded", "good", "new", false, 0, 0, "new"},
    // "1.0.0.6" keeps its points, so it never equals the wanted "1,0,0,6".
    {"PointedVersionDownloadedAgain", "good", "pointed", false, 0, 1, "new"},
    {"OneCharacterVersionDownloads", "short", "new", false, 0, 1, "new"},
    // Its size is a multiple of 4096: the last read brings 0 bytes and the check runs then.
    {"ZipOfWholePiecesInstalls", "aligned", "old", false, 0, 1, "new"},
    {"HashMismatchReported", "mismatch", "old", false, 5011, 1, "old"},
    {"DamagedZipDataNotInstalled", "damaged", "old", false, 5006, 1, "old"},
    {"NoZipAtAll", "notzip", "old", false, 5006, 1, "old"},
    {"ZipWithoutProgram", "noentry", "old", false, 5007, 1, "old"},
    {"ZipMissingOnServer", "missingzip", "old", false, 5002, 1, "old"},
    {"ForeignAddressRefusedWhenInstalled", "good", "old", true, 2002, 0, "old"},
    // Without a program, or with one whose version cannot be read, the
    // address is tested all the same before anything is fetched.
    {"ForeignAddressRefusedWhenMissing", "good", "", true, 2002, 0, ""},
    {"ForeignAddressRefusedWithoutFolder", "good", "-", true, 2002, 0, ""},
    {"ForeignAddressRefusedForShortVersion", "short", "old", true, 2002, 0, "old"},
};

INSTANTIATE_TEST_SUITE_P(Cases, UpdateWorkerRunTest, ::testing::ValuesIn(kRunCases),
                         [](const ::testing::TestParamInfo<RunCase>& info) { return std::string(info.param.name); });

// The wizard zip and the program in it are held to the size limit, here
// shortened as only a test does: a zip above it fails as a read failure
// (5004) at its declared length or once its body grows past the limit, an
// entry that would unpack to more than it as an unreadable zip (5006),
// before anything is unpacked. The old program stays and no file is left.
TEST_F(UpdateWorkerTest, ZipAndProgramAreHeldToTheSizeLimit) {
  const int64_t zip_size = ReadFileBytes(HostPath(Env("ZK_WORKER_DATA") + "/docroot/good/Quillan1.zip")).size();
  const int64_t program_size = ReadFileBytes(Program("new")).size();
  ASSERT_LT(zip_size, program_size);
  struct Case {
    const char* name;
    const char* script_case;
    int64_t limit;
    int expected;
    const char* program_after;
  } cases[] = {
      {"a program of exactly the limit, in a smaller zip", "good", program_size, 0, "new"},
      {"a program one byte above the limit", "good", program_size - 1, 5006, "old"},
      {"a zip whose declared length is one byte above the limit", "good", zip_size - 1, 5004, "old"},
      // 32 MiB without a declared length.
      {"an endless body", "endless", 1 << 20, 5004, "old"},
      // A zip of a few kilobytes whose entry inflates to 8 MiB of zeros.
      {"an entry that inflates past the limit", "bomb", 1 << 20, 5006, "old"},
  };
  settings_.download_folder = FaultRoot().c_str();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UseCase(c.script_case);
    Install("old");
    settings_.max_program_archive_bytes = c.limit;
    EXPECT_EQ(CZKUpdateWorker(settings_).RunUpdate(nullptr), c.expected);
    EXPECT_TRUE(ReadFileBytes(program_) == ReadFileBytes(Program(c.program_after))) << "program is not " << c.program_after;
    EXPECT_EQ(GetFileAttributesA((program_ + ".zip").c_str()), INVALID_FILE_ATTRIBUTES) << "zip left behind";
    EXPECT_EQ(GetFileAttributesA((program_ + "_").c_str()), INVALID_FILE_ATTRIBUTES) << "unpack file left behind";
  }
  EXPECT_TRUE(StatisticsRequests().empty()) << "a refused zip is no hash failure";
}

TEST_F(UpdateWorkerTest, UnreachableScriptEndsWith1502AndTouchesNothing) {
  // Nothing listens on port 1.
  settings_.avatar_url = "http://127.0.0.1:1/good/CorvaliseAvatar.htm";
  g_strWizardPath = "unchanged";
  RecordingSink sink;
  EXPECT_EQ(CZKUpdateWorker(settings_).RunUpdate(&sink), 1502);
  EXPECT_EQ(sink.result, 1502);
  EXPECT_EQ(sink.posted, std::vector<int>{0});
  // The avatar script gets one attempt, which shows its box.
  EXPECT_EQ(g_boxes.size(), 1u);
  EXPECT_STREQ(g_strWizardPath, "unchanged");
  EXPECT_EQ(GetFileAttributesA(folder_.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(UpdateWorkerTest, OccupiedZipOrUnpackPathFails) {
  struct Case {
    const char* suffix;  // of the path that a folder occupies
    int expected;
  } cases[] = {{".zip", 5003}, {"_", 5008}};
  UseCase("good");
  for (const Case& c : cases) {
    Install("old");
    const std::string occupied = program_ + c.suffix;
    ASSERT_TRUE(CreateDirectoryA(occupied.c_str(), nullptr));
    EXPECT_EQ(CZKUpdateWorker(settings_).RunUpdate(nullptr), c.expected) << c.suffix;
    EXPECT_EQ(ReadFileBytes(program_), ReadFileBytes(Program("old"))) << c.suffix;
    RemoveDirectoryA(occupied.c_str());
  }
  EXPECT_EQ(GetFileAttributesA((program_ + "_").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(UpdateWorkerTest, CurrentProgramLosesReadOnlyHiddenAndSystem) {
  UseCase("good");
  Install("new");
  SetFileAttributesA(program_.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
  int need_update = 7;
  EXPECT_EQ(CZKUpdateWorker(settings_).CheckWizardVersion(need_update), 0);
  EXPECT_EQ(need_update, 0);
  DWORD attributes = GetFileAttributesA(program_.c_str());
  EXPECT_EQ(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM), 0u);
  EXPECT_EQ(ZipRequests(), 0);
}

TEST_F(UpdateWorkerTest, ReadOnlyHiddenOrSystemOldProgramIsReplaced) {
  UseCase("good");
  for (DWORD attributes : {DWORD(FILE_ATTRIBUTE_READONLY), DWORD(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                                                  FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE)}) {
    SCOPED_TRACE(attributes);
    Install("old");
    ASSERT_TRUE(SetFileAttributesA(program_.c_str(), attributes));
    EXPECT_EQ(CZKUpdateWorker(settings_).RunUpdate(nullptr), 0);
    EXPECT_EQ(ReadFileBytes(program_), ReadFileBytes(Program("new")));
    EXPECT_EQ(GetFileAttributesA(program_.c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                                      FILE_ATTRIBUTE_SYSTEM),
              0u);
    EXPECT_EQ(GetFileAttributesA((program_ + "_").c_str()), INVALID_FILE_ATTRIBUTES) << "unpack file left behind";
    // The next start finds the program current and fetches nothing.
    const int zips = ZipRequests();
    EXPECT_EQ(CZKUpdateWorker(settings_).RunUpdate(nullptr), 0);
    EXPECT_EQ(ZipRequests(), zips);
  }
}

TEST_F(UpdateWorkerTest, DefaultFolderIsCorvaliseUnderApplicationData) {
  char appdata[MAX_PATH] = {};
  ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, appdata, CSIDL_APPDATA, FALSE));
  settings_.application_data_folder.Empty();
  CZKUpdateWorker worker(settings_);
  worker.LocateWizardProgram();
  EXPECT_EQ(std::string(g_strWizardFolder), std::string(appdata) + "\\corvalise");
  EXPECT_EQ(std::string(g_strWizardPath), std::string(appdata) + "\\corvalise\\Quillan1.exe");
  EXPECT_EQ(GetFileAttributesA(g_strWizardFolder) & FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY);
}

// The application-data folder as a lookup that fails, and as one that
// answers a path without its drive.
BOOL WINAPI FolderLookupFails(HWND, LPSTR, int, BOOL) { return FALSE; }
BOOL WINAPI FolderLookupWithoutDrive(HWND, LPSTR path, int, BOOL) {
  lstrcpyA(path, "\\users\\player\\AppData\\Roaming");
  return TRUE;
}

TEST_F(UpdateWorkerTest, FolderLookupThatFailsInstallsAndNamesNothing) {
  // The program's paths would start at the current drive's root, in a
  // "\corvalise" that any local user can make; the update fails instead as
  // a file that cannot be created, before anything is fetched or written,
  // and leaves no program path for the start-up to start.
  struct Case {
    const char* name;
    BOOL(WINAPI* lookup)(HWND, LPSTR, int, BOOL);
  } cases[] = {{"lookup fails", FolderLookupFails}, {"path without its drive", FolderLookupWithoutDrive}};
  UseCase("good");
  settings_.application_data_folder.Empty();
  // On the prefix's own drive, so that a wrong turn stays inside the prefix.
  char windows[MAX_PATH] = {};
  ASSERT_NE(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
  ASSERT_TRUE(SetCurrentDirectoryA(windows));
  const std::string rooted = std::string(windows, 2) + "\\corvalise";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScopedUpdateWorkerCalls calls;
    calls.calls().getSpecialFolderPath = c.lookup;
    g_strWizardFolder = "earlier";
    g_strWizardPath = "earlier";
    RecordingSink sink;
    EXPECT_EQ(CZKUpdateWorker(settings_).RunUpdate(&sink), 5003);
    EXPECT_EQ(sink.result, 5003);
    EXPECT_EQ(sink.posted, std::vector<int>{0});
    EXPECT_STREQ(g_strWizardFolder, "");
    EXPECT_STREQ(g_strWizardPath, "");
    EXPECT_EQ(GetFileAttributesA(rooted.c_str()), INVALID_FILE_ATTRIBUTES) << rooted << " made";
    for (const std::string& left : {rooted + "\\Quillan1.exe", rooted + "\\Quillan1.exe.zip"}) {
      DeleteFileA(left.c_str());
    }
    RemoveDirectoryA(rooted.c_str());
  }
  EXPECT_EQ(ZipRequests(), 0);
  EXPECT_TRUE(StatisticsRequests().empty());
}

TEST(UpdateWorkerVersionText, EqualIgnoringCaseOnly) {
  EXPECT_TRUE(SameWizardVersion("1,0,0,6b", "1,0,0,6B"));
  EXPECT_TRUE(SameWizardVersion("1,0,0,5", "1,0,0,5"));
  EXPECT_FALSE(SameWizardVersion("1,0,0,5", "1,0,0,6"));
  EXPECT_FALSE(SameWizardVersion("1,0,0,5", "1.0.0.5"));
}

}  // namespace
