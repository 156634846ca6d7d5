// The update wizard program under Wine. A parent program (WizSender, or a
// renamed copy of it) hands the run parameters over and waits for the wizard;
// the wizard reads its patch script from nginx, keeps, fetches or refuses the
// installed Quillan1.exe in the user's application-data folder, and starts it
// with the parameters plus BrowserName or shows one box. The box watcher
// records every box; a fault server stands in for the statistics server and
// records the requests that reach it.
#include <windows.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "tests/support/peer.h"
#include "tests/support/wizard_texts.h"

namespace {

// The boxes' texts as the system words them, in UTF-8 as the box watcher records them.
constexpr const char* kCaption = wizardtexts::kCaption.utf8;
constexpr const char* kBadRunParamText = wizardtexts::kBadRunParameters.utf8;
constexpr const char* kBadUrlText = wizardtexts::kBadAddress.utf8;
// Its two fields are "Quillan1.exe" and the launch result.
constexpr const char* kCantStartText = wizardtexts::kCannotStart.utf8;
constexpr const char* kErrorText = wizardtexts::kError.utf8;
using Pairs = std::vector<std::pair<std::string, std::string>>;
// The browser that the wizard names after its parent WizSender.exe: the
// lower-case file name and the "FileVersion" text of its version block
// ("2, 3, 0, 7") without spaces.
const char kSenderBrowserName[] = "wizsender 2,3,0,7";

using zktest::Env;
using zktest::HostPath;

std::string WizardProgram() { return zktest::ProgramFolder() + "Tesselo1.exe"; }
std::string StandIn(const char* kind) { return zktest::ProgramFolder() + "wizard-programs\\quillan_" + kind + ".exe"; }

std::string InstalledProgram() {
  char folder[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, 0, folder);
  return std::string(folder) + "\\corvalise\\Quillan1.exe";
}

std::string Root() { return "http://127.0.0.1:" + Env("ZK_WIZARD_NGINX_PORT") + "/"; }
std::string AvatarUrl(const char* fixture_case) { return Root() + fixture_case + "/CorvaliseAvatar.htm"; }
std::string FaultRoot() { return "http://127.0.0.1:" + Env("ZK_WIZARD_FAULT_PORT") + "/"; }

std::string Box(const std::string& text, const std::string& code_name) {
  return std::string("CAPTION:") + kCaption + "\nTEXT:" + text + wizardtexts::kCodeLine + code_name + "\n";
}

// The required parameters of a run whose patch script is the fixture's case.
Pairs Parameters(const char* fixture_case) {
  return {{"RunMode", "1"},
          {"ProgName", "Corvalise"},
          {"AvatarURL", AvatarUrl(fixture_case)},
          {"UpdateURL", "http://www.zkgames.test/update"}};
}

std::string SenderCommand(const std::string& sender, const Pairs& pairs) {
  std::string line = "\"" + sender + "\" \"" + WizardProgram() + "\"";
  for (const auto& pair : pairs) line += " \"" + pair.first + "=" + pair.second + "\"";
  return line;
}

// Hands the pairs to the wizard through the sender and waits for the
// wizard's end; the sender's exit code (0 when the hand-over went out).
int RunWizard(const Pairs& pairs, const std::string& sender = zktest::ProgramFolder() + "WizSender.exe") {
  int code = zktest::RunPeer(SenderCommand(sender, pairs), 60000);
  // A wizard left waiting on a box that no watcher closes would hold its
  // mutex, and every later wizard would take itself for a second instance.
  if (code == -1) {
    EXPECT_TRUE(zktest::ProgramsEnded(0)) << "the wizard's run did not end";
  }
  return code;
}

// RunWizard in the background: the handle of the sender, which ends with the wizard.
HANDLE StartWizard(const Pairs& pairs) {
  return zktest::StartProcess(SenderCommand(zktest::ProgramFolder() + "WizSender.exe", pairs));
}

// Waits for the process while this thread answers the messages sent to its
// windows (a change of the foreground window sends some).
bool WaitPumping(HANDLE process, DWORD timeout_ms) {
  DWORD start = GetTickCount();
  for (;;) {
    DWORD waited = GetTickCount() - start;
    if (waited >= timeout_ms) return false;
    DWORD got = MsgWaitForMultipleObjects(1, &process, FALSE, timeout_ms - waited, QS_ALLINPUT);
    if (got == WAIT_OBJECT_0) return true;
    if (got != WAIT_OBJECT_0 + 1) return false;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }
}

// The wizard's dialog, once it is shown (null after the time-out).
HWND WaitForWizardDialog(DWORD timeout_ms) {
  for (DWORD waited = 0; waited < timeout_ms; waited += 50) {
    HWND dialog = FindWindowW(L"#32770", L"게임 업데이트 마법사");
    if (dialog && IsWindowVisible(dialog)) return dialog;
    Sleep(50);
  }
  return nullptr;
}

int CountWizardDialogs() {
  int count = 0;
  for (HWND window = FindWindowW(L"#32770", L"게임 업데이트 마법사"); window;
       window = FindWindowExW(nullptr, window, L"#32770", L"게임 업데이트 마법사")) {
    ++count;
  }
  return count;
}

// The installed program before a run: none, the older stand-in, or one of
// the wanted version whose bytes differ from the zip's (a marker at the end,
// which the version block does not see).
std::string Install(const std::string& kind) {
  std::string path = InstalledProgram();
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(path.c_str());
  CreateDirectoryA(path.substr(0, path.rfind('\\')).c_str(), nullptr);
  if (kind == "none") return "";
  std::string bytes = zktest::ReadFileBytes(StandIn(kind == "same" ? "new" : kind.c_str()));
  if (kind == "same") bytes += "kept in place";
  FILE* out = fopen(path.c_str(), "wb");
  if (!out) return "";
  fwrite(bytes.data(), 1, bytes.size(), out);
  fclose(out);
  return bytes;
}

// The stand-in's record of its run parameters. The stand-in writes it whole
// under its name, after the wizard has ended.
class Record {
 public:
  Record() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    path_ = std::string(temp) + "zk_wizard_quillan_record.txt";
    DeleteFileA(path_.c_str());
    SetEnvironmentVariableA("ZKTEST_RECORD", path_.c_str());
    SetEnvironmentVariableA("ZKTEST_NAMES", "RunMode|ProgName|AvatarURL|UpdateURL|Extra|BrowserName");
  }
  ~Record() {
    DeleteFileA(path_.c_str());
    SetEnvironmentVariableA("ZKTEST_RECORD", nullptr);
  }
  // The record once every program of the run has ended, or "" when
  // Quillan1.exe was not started.
  std::string Wait() {
    EXPECT_TRUE(zktest::ProgramsEnded()) << "a program of the run did not end";
    return zktest::ReadFileBytes(path_);
  }

 private:
  std::string path_;
};

// The requests for a path in nginx's access log (counted before and after a run).
int CountRequests(const std::string& path) {
  const std::string path_of_log = HostPath(Env("ZK_WIZARD_STATE") + "/nginx/access.log");
  EXPECT_TRUE(zktest::SyncAccessLog(std::stoi(Env("ZK_WIZARD_NGINX_PORT")), path_of_log));
  std::string log = zktest::ReadFileBytes(path_of_log);
  int count = 0;
  for (size_t at = log.find("GET " + path + " "); at != std::string::npos; at = log.find("GET " + path + " ", at + 1))
    ++count;
  return count;
}

// A box that proves that no box came before it: a run without RunMode.
// The box watcher records boxes in the order they are shown, and every
// earlier wizard has ended, so any box of theirs would be recorded first.
void ExpectOnlyTheClosingBox(zktest::BoxWatch& watch) {
  Pairs pairs = Parameters("good");
  pairs.erase(pairs.begin());
  HANDLE sender = StartWizard(pairs);
  ASSERT_TRUE(sender);
  CloseHandle(sender);
  // When an earlier box used the watcher up, nobody closes this one, and
  // the run is still there at the deadline.
  EXPECT_TRUE(zktest::ProgramsEnded()) << "the closing run did not end";
  EXPECT_EQ(watch.Wait(), Box(kBadRunParamText, "NOT_ENOUGH_RUNPARAM"));
}

class WizardScenarioTest : public ::testing::Test {
 protected:
  void SetUp() override { zktest::RunPeer("cliptool.exe empty"); }
};

TEST_F(WizardScenarioTest, InstallsAndStartsQuillanWithTheParameters) {
  Install("none");
  Record record;
  zktest::BoxWatch watch(1, 120000);
  Pairs pairs = Parameters("good");
  pairs.push_back({"Extra", "a;b=c"});
  ASSERT_EQ(RunWizard(pairs), 0);
  std::string text = record.Wait();
  ASSERT_FALSE(text.empty()) << "Quillan1.exe was not started";
  EXPECT_NE(text.find("LOAD:0\n"), std::string::npos) << text;
  EXPECT_NE(text.find("NAME:RunMode=1\n"), std::string::npos) << text;
  EXPECT_NE(text.find("NAME:ProgName=Corvalise\n"), std::string::npos) << text;
  EXPECT_NE(text.find("NAME:AvatarURL=" + AvatarUrl("good") + "\n"), std::string::npos) << text;
  EXPECT_NE(text.find("NAME:UpdateURL=http://www.zkgames.test/update\n"), std::string::npos) << text;
  EXPECT_NE(text.find("NAME:Extra=a;b=c\n"), std::string::npos) << text;
  EXPECT_NE(text.find(std::string("NAME:BrowserName=") + kSenderBrowserName + "\n"), std::string::npos) << text;
  EXPECT_EQ(zktest::ReadFileBytes(InstalledProgram()), zktest::ReadFileBytes(StandIn("new")));
  ExpectOnlyTheClosingBox(watch);
}

// The installed program against the patch script's WizardVersion 1.0.0.6 and
// its WizardFile, which must begin with the built-in test-server root when a
// program of readable version is installed.
TEST_F(WizardScenarioTest, KeepsFetchesOrRefusesTheInstalledProgram) {
  struct Case {
    const char* name;
    const char* installed;  // "none", "old" (1, 0, 0, 5) or "same" (1, 0, 0, 6)
    const char* fixture_case;
    bool fetched;
    const char* box_code;  // the code of box 30, or null when the program starts
  } cases[] = {
      {"same version: kept, nothing fetched", "same", "good", false, nullptr},
      {"older version: fetched and replaced", "old", "good", true, nullptr},
      {"zip outside the allowed roots: refused", "old", "elsewhere", false, "INVALID_URL"},
      {"same zip with no program: refused as well", "none", "elsewhere", false, "INVALID_URL"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string before = Install(c.installed);
    std::string zip = std::string("/") + c.fixture_case + "/Quillan1.zip";
    int fetched_before = CountRequests(zip);
    Record record;
    zktest::BoxWatch watch(1, 120000);
    ASSERT_EQ(RunWizard(Parameters(c.fixture_case)), 0);
    if (c.box_code) {
      EXPECT_EQ(watch.Wait(), Box(kErrorText, c.box_code));
    } else {
      std::string text = record.Wait();
      EXPECT_NE(text.find("NAME:ProgName=Corvalise\n"), std::string::npos) << "Quillan1.exe was not started";
      ExpectOnlyTheClosingBox(watch);
    }
    EXPECT_EQ(CountRequests(zip) - fetched_before, c.fetched ? 1 : 0);
    std::string after = zktest::ReadFileBytes(InstalledProgram());
    EXPECT_TRUE(after == (c.fetched ? zktest::ReadFileBytes(StandIn("new")) : before)) << "installed program changed";
  }
}

TEST_F(WizardScenarioTest, ShowsOneBoxForEachRefusedStart) {
  Pairs no_run_mode = Parameters("good");
  no_run_mode.erase(no_run_mode.begin());
  Pairs other_avatar_port = Parameters("good");
  other_avatar_port[2].second = "http://127.0.0.1:" + Env("ZK_WIZARD_FAULT_PORT") + "/good/CorvaliseAvatar.htm";
  Pairs other_avatar_host = Parameters("good");
  other_avatar_host[2].second = "http://127.0.0.2:" + Env("ZK_WIZARD_NGINX_PORT") + "/good/CorvaliseAvatar.htm";
  Pairs untrusted_update = Parameters("good");
  untrusted_update[3].second = "http://www.zkgames.test.evil.test/";
  Pairs no_zip_entry = Parameters("noentry");
  struct Case {
    const char* name;
    Pairs pairs;
    std::string box;
  } cases[] = {
      {"RunMode missing", no_run_mode, Box(kBadRunParamText, "NOT_ENOUGH_RUNPARAM")},
      {"AvatarURL on another port", other_avatar_port, Box(kBadUrlText, "INVALID_URL")},
      {"AvatarURL on another host", other_avatar_host, Box(kBadUrlText, "INVALID_URL")},
      {"UpdateURL outside the trusted domains", untrusted_update, Box(kBadUrlText, "INVALID_URL")},
      {"worker failure", no_zip_entry, Box(kErrorText, "UPDATEWIZARD_CANT_FIND_ZIP_WIZARDFILE")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Install("none");
    zktest::BoxWatch watch(1, 120000);
    ASSERT_EQ(RunWizard(c.pairs), 0);
    EXPECT_EQ(watch.Wait(), c.box);
  }
}

// Started by hand, with no hand-over: the reader's code is shown with box 20.
TEST_F(WizardScenarioTest, UnreadableParametersShowTheReadersCode) {
  struct Case {
    const char* arguments;
    const char* code_name;
  } cases[] = {
      {"", "INVALID_KEY"},                         // no key on the command line
      {" 0123456789abcdef", "FAIL_LOAD_CBDATA"},  // a key, but no clipboard data
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code_name);
    zktest::BoxWatch watch(1, 60000);
    EXPECT_EQ(zktest::RunPeer("\"" + WizardProgram() + "\"" + c.arguments, 60000), 0);
    EXPECT_EQ(watch.Wait(), Box(kBadRunParamText, c.code_name));
  }
}

TEST_F(WizardScenarioTest, AnInstalledProgramThatCannotStartIsDeleted) {
  Install("none");
  zktest::BoxWatch watch(1, 120000);
  ASSERT_EQ(RunWizard(Parameters("unstartable")), 0);
  // The platform's launcher answers ERROR_BAD_FORMAT for a file that is no program.
  char text[512];
  snprintf(text, sizeof(text), kCantStartText, "Quillan1.exe", static_cast<int>(ERROR_BAD_FORMAT));
  EXPECT_EQ(watch.Wait(), std::string("CAPTION:") + kCaption + "\nTEXT:" + text + "\n");
  EXPECT_EQ(GetFileAttributesA(InstalledProgram().c_str()), INVALID_FILE_ATTRIBUTES);
}

int Occurrences(const std::string& text, const std::string& part) {
  int count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// The cookies go out with every later request to their domains: here with the
// statistics report of a zip that fails its check, which ends in box 30. The
// Cookie header of that report, for a run with these cookie parameters.
std::string CookieHeaderOfTheReport(const Pairs& cookies) {
  Install("none");
  std::string recorded = HostPath(Env("ZK_WIZARD_STATE") + "/fault/requests/cookies.req");
  DeleteFileA(recorded.c_str());
  Pairs pairs = Parameters("mismatch");
  pairs.insert(pairs.end(), cookies.begin(), cookies.end());
  pairs.push_back({"StatisticsURL", FaultRoot() + "cookies/index_v2.asp"});
  zktest::BoxWatch watch(1, 120000);
  EXPECT_EQ(RunWizard(pairs), 0);
  EXPECT_EQ(watch.Wait(), Box(kErrorText, "UPDATEWIZARD_WIZARD_FILEHASH_MISMATCH"));
  std::string request = zktest::ReadFileBytes(recorded);
  size_t start = request.find("\r\nCookie: ");
  if (start == std::string::npos) {
    ADD_FAILURE() << "no cookie in the report: " << request;
    return "";
  }
  return request.substr(start + 10, request.find("\r\n", start + 2) - start - 10);
}

TEST_F(WizardScenarioTest, SetsThePortalCookiesOnBothTargets) {
  std::string header = CookieHeaderOfTheReport({{"AuthCookie", "auth-1"}, {"DataCookie", "data-2"}});
  // Once from each target's domain; the missing CpCookie sets nothing.
  EXPECT_EQ(Occurrences(header, "SSOValidate=auth-1"), 2) << header;
  EXPECT_EQ(Occurrences(header, "corvalise=data-2"), 2) << header;
  EXPECT_EQ(Occurrences(header, "CPUInfo"), 0) << header;
}

std::string InternetExplorerVersion() {
  char version[261] = {};
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Internet Explorer", 0, KEY_READ, &key) != ERROR_SUCCESS)
    return "";
  for (const char* value : {"svcVersion", "Version"}) {
    DWORD size = sizeof(version) - 1;
    if (RegQueryValueExA(key, value, nullptr, nullptr, reinterpret_cast<BYTE*>(version), &size) == ERROR_SUCCESS) break;
    version[0] = 0;
  }
  RegCloseKey(key);
  return version;
}

// The parent's lower-case name and its file version (spaces removed), or
// "IE" and the registry's version when the parent runs as dllhost.
TEST_F(WizardScenarioTest, NamesTheBrowserAfterTheParentProcess) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  std::string folder = std::string(temp) + "zk_wizard_parents\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  std::string ie = InternetExplorerVersion();
  ASSERT_FALSE(ie.empty());
  struct Case {
    const char* parent;
    std::string browser;
  } cases[] = {
      {"WizSender.exe", kSenderBrowserName},
      {"DllHost.exe", "IE " + ie},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.parent);
    std::string parent = folder + c.parent;
    ASSERT_TRUE(CopyFileA((zktest::ProgramFolder() + "WizSender.exe").c_str(), parent.c_str(), FALSE));
    Install("same");
    Record record;
    ASSERT_EQ(RunWizard(Parameters("good"), parent), 0);
    std::string text = record.Wait();
    EXPECT_NE(text.find("NAME:BrowserName=" + c.browser + "\n"), std::string::npos) << text;
    DeleteFileA(parent.c_str());
  }
}

// A run whose worker hangs in the statistics request (the fault server
// answers nothing), so that its dialog stays up. No program is installed:
// a launch after Cancel would show box 29.
class StalledWizard {
 public:
  StalledWizard() {
    Install("none");
    Pairs pairs = Parameters("mismatch");
    pairs.push_back({"StatisticsURL", FaultRoot() + "stall/index_v2.asp"});
    sender_ = StartWizard(pairs);
    dialog_ = sender_ ? WaitForWizardDialog(60000) : nullptr;
  }
  ~StalledWizard() {
    if (sender_) CloseHandle(sender_);
  }
  HWND dialog() const { return dialog_; }
  // Clicks Cancel as the mouse does and waits for the wizard's end.
  bool Cancel() {
    HWND button = GetDlgItem(dialog_, IDCANCEL);
    if (!button) return false;
    PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    return WaitPumping(sender_, 30000);
  }

 private:
  HANDLE sender_ = nullptr;
  HWND dialog_ = nullptr;
};

TEST_F(WizardScenarioTest, CancelEndsTheWizardQuietly) {
  zktest::BoxWatch watch(1, 120000);
  StalledWizard wizard;
  ASSERT_TRUE(wizard.dialog());
  EXPECT_TRUE(wizard.Cancel());
  ExpectOnlyTheClosingBox(watch);
}

TEST_F(WizardScenarioTest, ASecondStartBringsTheFirstDialogToTheFront) {
  zktest::BoxWatch watch(1, 120000);
  StalledWizard wizard;
  ASSERT_TRUE(wizard.dialog());
  HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(other);
  SetForegroundWindow(other);
  ASSERT_EQ(GetForegroundWindow(), other);
  HANDLE second = zktest::StartProcess("\"" + WizardProgram() + "\"");
  ASSERT_TRUE(second);
  EXPECT_TRUE(WaitPumping(second, 30000)) << "the second wizard did not end";
  CloseHandle(second);
  // The first wizard's thread takes the activation in its own time.
  HWND front = nullptr;
  for (int waited = 0; waited < 10000 && (front = GetForegroundWindow()) != wizard.dialog(); waited += 50) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    Sleep(50);
  }
  EXPECT_EQ(front, wizard.dialog());
  EXPECT_EQ(CountWizardDialogs(), 1);
  DestroyWindow(other);
  EXPECT_TRUE(wizard.Cancel());
  ExpectOnlyTheClosingBox(watch);
}

// ---- the sender itself ----

// Ids of processes that have ended while a running process still names them
// as its parent (services.exe names the wineboot of the prefix's start).
std::set<DWORD> EndedParents() {
  std::set<DWORD> running, parents;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return parents;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    running.insert(entry.th32ProcessID);
    if (entry.th32ParentProcessID) parents.insert(entry.th32ParentProcessID);
  }
  CloseHandle(snapshot);
  for (DWORD id : running) parents.erase(id);
  return parents;
}

DWORD WINAPI EndAtOnce(LPVOID) { return 0; }

// Runs a thread that ends at once and returns its id, which is free again then.
DWORD CycleThreadId() {
  DWORD id = 0;
  HANDLE thread = CreateThread(nullptr, 0, &EndAtOnce, nullptr, 0, &id);
  if (!thread) return 0;
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  return id;
}

// Wine gives the ids of ended processes and threads to new ones, the id
// freed first going first, and threads that end at once move through them
// quickly: once one of the wanted ids has come round, and then the id that
// came just before it, the next new process is likely to get it.
void PrepareForAWantedId(const std::set<DWORD>& wanted, ULONGLONG deadline) {
  DWORD before = 0;
  bool seen = false;
  for (int i = 0; i < 2000 && !seen && GetTickCount64() < deadline; ++i) {
    const DWORD id = CycleThreadId();
    seen = wanted.count(id) != 0;
    if (!seen) before = id;
  }
  for (int i = 0; seen && i < 2000 && CycleThreadId() != before; ++i) {
  }
}

// A sender that got an id which running processes name as their ended
// parent's must still wait for the program it started only, not for them.
TEST(WizardSender, WaitsOnlyForTheProgramItStarted) {
  const std::set<DWORD> ended = EndedParents();
  ASSERT_FALSE(ended.empty()) << "no running process names an ended parent";
  std::string line = "\"" + zktest::ProgramFolder() + "WizSender.exe\" \"" + zktest::ProgramFolder() + "cliptool.exe\"";
  PROCESS_INFORMATION sender = {};
  int tries = 0;
  // Bounded in time as well: on a loaded machine a thousand tries of
  // thousands of threads each could outlast the test's own time-out, which
  // would end it without a word.
  const ULONGLONG deadline = GetTickCount64() + 120000;
  for (; tries < 1000 && GetTickCount64() < deadline; ++tries) {
    PrepareForAWantedId(ended, deadline);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::string copy = line;
    ASSERT_TRUE(CreateProcessA(nullptr, &copy[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &startup,
                               &info));
    if (ended.count(info.dwProcessId)) {
      sender = info;
      break;
    }
    TerminateProcess(info.hProcess, 99);
    WaitForSingleObject(info.hProcess, INFINITE);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
  }
  ASSERT_TRUE(sender.hProcess) << "no sender got an ended parent's id in " << tries << " tries";
  ResumeThread(sender.hThread);
  CloseHandle(sender.hThread);
  const bool ended_in_time = WaitForSingleObject(sender.hProcess, 20000) == WAIT_OBJECT_0;
  if (!ended_in_time) TerminateProcess(sender.hProcess, 99);
  CloseHandle(sender.hProcess);
  EXPECT_TRUE(ended_in_time) << "the sender with id " << sender.dwProcessId << " waited for processes it did not start";
}

// Without an installed Quillan1.exe, a WizardFile on another host is refused
// as it is with one: that host sees no request, and nothing is installed or
// started.
TEST_F(WizardScenarioTest, AForeignProgramArchiveIsRefusedOnAFreshPC) {
  Install("none");
  const std::string asked = HostPath(Env("ZK_WIZARD_STATE") + "/fault/requests/foreign.req");
  DeleteFileA(asked.c_str());
  Record record;
  zktest::BoxWatch watch(1, 120000);
  ASSERT_EQ(RunWizard(Parameters("foreign")), 0);
  EXPECT_EQ(watch.Wait(), Box(kErrorText, "INVALID_URL"));
  EXPECT_EQ(record.Wait(), "") << "Quillan1.exe was started";
  EXPECT_EQ(GetFileAttributesA(asked.c_str()), INVALID_FILE_ATTRIBUTES) << "the foreign host was asked";
  EXPECT_EQ(GetFileAttributesA(InstalledProgram().c_str()), INVALID_FILE_ATTRIBUTES) << "a program was installed";
}

// Addresses under the roots that answer with a redirect to another host (the
// fault server, which serves a zip that the hash list passes and a hash list
// that refuses the zip): the zip and the hash list come from those roots or
// not at all, and the other host sees no request.
TEST_F(WizardScenarioTest, RedirectsOffTheRootsAreNotFollowed) {
  struct Case {
    const char* name;
    const char* fixture_case;
    const char* box_code;  // the code of box 30, or null when the program starts
  } cases[] = {
      // A redirected zip fails to open as an unreachable one would.
      {"program archive", "movedzip", "UPDATEWIZARD_CANT_OPEN_URL"},
      // Without its hash list the zip is held to the patch script's digest, which it matches.
      {"hash list", "movedlist", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Install("none");
    const std::string asked = HostPath(Env("ZK_WIZARD_STATE") + "/fault/requests/" + c.fixture_case + ".req");
    DeleteFileA(asked.c_str());
    Record record;
    zktest::BoxWatch watch(1, 120000);
    ASSERT_EQ(RunWizard(Parameters(c.fixture_case)), 0);
    if (c.box_code) {
      EXPECT_EQ(watch.Wait(), Box(kErrorText, c.box_code));
      EXPECT_EQ(record.Wait(), "") << "Quillan1.exe was started";
      EXPECT_EQ(GetFileAttributesA(InstalledProgram().c_str()), INVALID_FILE_ATTRIBUTES) << "a program was installed";
    } else {
      EXPECT_NE(record.Wait().find("NAME:ProgName=Corvalise\n"), std::string::npos) << "Quillan1.exe was not started";
      EXPECT_TRUE(zktest::ReadFileBytes(InstalledProgram()) == zktest::ReadFileBytes(StandIn("new")))
          << "the zip's program was not installed";
      ExpectOnlyTheClosingBox(watch);
    }
    EXPECT_EQ(GetFileAttributesA(asked.c_str()), INVALID_FILE_ATTRIBUTES) << "the other host was asked";
  }
}

// Zips that pass their hash list but must not be unpacked: the unpacking
// fails, the old program stays, nothing is started and no file is left.
TEST_F(WizardScenarioTest, ArchivesThatMustNotBeUnpackedLeaveTheOldProgram) {
  struct Case {
    const char* name;
    const char* fixture_case;
  } cases[] = {
      // One flipped bit of the entry's deflated data, which still inflates
      // to the entry's size; the hash list holds the damaged zip's digest.
      {"a damaged entry", "flipped"},
      // An entry one byte above the build's size limit, in a zip of about a
      // thousandth of it.
      {"an entry above the size limit", "bigentry"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string before = Install("old");
    Record record;
    zktest::BoxWatch watch(1, 120000);
    ASSERT_EQ(RunWizard(Parameters(c.fixture_case)), 0);
    EXPECT_EQ(watch.Wait(), Box(kErrorText, "UPDATEWIZARD_CANT_OPEN_ZIP"));
    EXPECT_EQ(record.Wait(), "") << "Quillan1.exe was started";
    EXPECT_TRUE(zktest::ReadFileBytes(InstalledProgram()) == before) << "installed program changed";
    for (const char* suffix : {".zip", "_"}) {
      EXPECT_EQ(GetFileAttributesA((InstalledProgram() + suffix).c_str()), INVALID_FILE_ATTRIBUTES)
          << suffix << " left";
    }
  }
}

// A cookie value that would carry attributes of its own (here a lasting
// expiry) sets no cookie; the two others still go out.
TEST_F(WizardScenarioTest, ACookieValueWithAttributesSetsNoCookie) {
  std::string header =
      CookieHeaderOfTheReport({{"AuthCookie", "attacker-session; expires=Fri, 01 Jan 2038 00:00:00 GMT"},
                               {"DataCookie", "data-2"},
                               {"CpCookie", "cp-3"}});
  EXPECT_EQ(Occurrences(header, "SSOValidate"), 0) << header;
  EXPECT_EQ(Occurrences(header, "attacker-session"), 0) << header;
  EXPECT_EQ(Occurrences(header, "corvalise=data-2"), 2) << header;
  EXPECT_EQ(Occurrences(header, "CPUInfo=cp-3"), 2) << header;
}

}  // namespace
