// The starter under Wine against the local portal: self-update, wizard
// download, hand-over to the stand-in wizard, every failure with its message,
// and the files left in the Windows folder.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "tests/starter/webpage.h"
#include "tests/support/peer.h"
#include "tests/support/starter_texts.h"

namespace {

const char kPublish[] = "pa55word";
using startertexts::kCaption;
using startertexts::kStartFailed;
using startertexts::kUpdateFailed;
using startertexts::kWizardUpdateFailed;

using zktest::Env;
using zktest::HostPath;

std::string BinaryPath(const std::string& relative) { return HostPath(Env("ZK_BINARY_DIR") + "/" + relative); }

std::string WindowsFolder() {
  char folder[MAX_PATH] = {};
  GetWindowsDirectoryA(folder, MAX_PATH);
  return std::string(folder) + "\\";
}

std::string PortalUrl(const std::string& path) { return "http://127.0.0.1:" + Env("ZK_PORT_BASE") + path; }

// The foreign portal and the hostile server lie beside the portal.
int PortalPort(int offset = 0) { return std::stoi(Env("ZK_PORT_BASE")) + offset; }
const int kForeignPortal = 15;
const int kHostileServer = 16;

std::string ServerRoot(int offset) { return "http://127.0.0.1:" + std::to_string(PortalPort(offset)) + "/"; }

// An access log of the portal's nginx (or of another in a folder beside it)
// once it holds every request that nginx answered before.
std::string AccessLog(const std::string& folder = "", int offset = 0) {
  const std::string log = HostPath(Env("ZK_BINARY_DIR") + "/tests/starter-portal/" + folder + "access.log");
  EXPECT_TRUE(zktest::SyncAccessLog(PortalPort(offset), log));
  return zktest::WithoutSyncLines(zktest::ReadFileBytes(log));
}

// The starter's files in the Windows folder: every name with Lumora1 or
// Tesselo1 in it, and every zip archive.
std::set<std::string> StarterFiles() {
  std::set<std::string> names;
  for (const char* pattern : {"*Lumora1*", "*Tesselo1*", "*.zip"}) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((WindowsFolder() + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) continue;
    do names.insert(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
  }
  return names;
}

std::string FileVersion(const std::string& path) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (!size) return "<none>";
  std::string block(size, '\0');
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!GetFileVersionInfoA(path.c_str(), 0, size, &block[0]) ||
      !VerQueryValueA(&block[0], "\\", reinterpret_cast<void**>(&fixed), &length)) {
    return "<none>";
  }
  return std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
         std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionLS));
}

// Whether two files hold the same bytes (compared without printing programs).
bool SameBytes(const std::string& path, const std::string& reference) {
  return zktest::ReadFileBytes(path) == zktest::ReadFileBytes(reference);
}

std::string RecordPath() { return WindowsFolder() + "..\\zk_standin_record.txt"; }

class StarterScenario : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveStarterFiles();
    DeleteFileA(RecordPath().c_str());
    DeleteFileA((WindowsFolder() + "pwned.txt").c_str());
    ASSERT_TRUE(CopyFileA(BinaryPath("starter/Lumora1.exe").c_str(), Starter().c_str(), FALSE));
    SetEnvironmentVariableA("ZKTEST_RECORD", RecordPath().c_str());
    SetEnvironmentVariableA("ZKTEST_NAMES", "A|b|Key|CustomUpdateURL|customUpdateURL|Big4096|Big4097|Z");
    logStart_ = AccessLog().size();
  }
  void TearDown() override {
    zktest::RunPeer("cliptool.exe empty");
    DeleteFileA(RecordPath().c_str());
    for (const char* name : kTestStarterBounds) SetEnvironmentVariableA(name, nullptr);
  }

  static std::string Starter() { return WindowsFolder() + "Lumora1.exe"; }

  // The test build of the starter in place of the real one, trusting the
  // built-in base and further bases, with the download's bounds shortened
  // where a value is given.
  static constexpr const char* kTestStarterBounds[] = {
      "ZKTEST_STARTER_TRUSTED_BASES", "ZKTEST_STARTER_MAX_ARCHIVE_BYTES", "ZKTEST_STARTER_DEADLINE_MS"};
  static void UseTestStarter(const std::string& furtherBases, const char* maxArchiveBytes = nullptr,
                             const char* deadlineMs = nullptr) {
    ASSERT_TRUE(CopyFileA(BinaryPath("tests/faults/Lumora1.exe").c_str(), Starter().c_str(), FALSE));
    std::string bases = PortalUrl("/web/ZKStarter/") + ";" + furtherBases;
    SetEnvironmentVariableA(kTestStarterBounds[0], bases.c_str());
    SetEnvironmentVariableA(kTestStarterBounds[1], maxArchiveBytes);
    SetEnvironmentVariableA(kTestStarterBounds[2], deadlineMs);
  }

  // Files and the folders that some cases put where a file must go.
  static void RemoveStarterFiles() {
    for (const std::string& name : StarterFiles()) {
      std::string path = WindowsFolder() + name;
      if (!DeleteFileA(path.c_str())) RemoveDirectoryA(path.c_str());
    }
  }

  void InstallWizard() {
    ASSERT_TRUE(CopyFileA(BinaryPath("tests/standin/Tesselo1.exe").c_str(), (WindowsFolder() + "Tesselo1.exe").c_str(),
                          FALSE));
  }

  // Plays the web page and waits for the starter (and a restarted one) to end.
  void Run(const std::string& pairs, const std::string& s, const std::string& u, const std::string& p = kPublish) {
    ASSERT_TRUE(zktest::PutParameterText(p, pairs));
    RunWithArgument(zktest::StarterArgument(s, u, p));
  }
  void RunWithArgument(const std::string& argument) {
    const DWORD started = GetTickCount();
    HANDLE starter = zktest::StartStarter(Starter(), argument);
    ASSERT_NE(starter, nullptr);
    DWORD waited = WaitForSingleObject(starter, 60000);
    if (waited != WAIT_OBJECT_0) TerminateProcess(starter, 99);
    CloseHandle(starter);
    runMs_ = GetTickCount() - started;
    ASSERT_EQ(waited, WAIT_OBJECT_0) << "the starter did not end";
  }

  // The stand-in's record once every program of the run has ended (a
  // restarted starter, its batch file, the stand-in); empty without one.
  static std::string WaitForRecord() {
    EXPECT_TRUE(zktest::ProgramsEnded()) << "a program of the run did not end";
    return zktest::ReadFileBytes(RecordPath());
  }

  std::string NewRequests() const { return AccessLog().substr(logStart_); }

  static std::string Box(const std::string& text) { return std::string("CAPTION:") + kCaption + "\nTEXT:" + text + "\n"; }

  size_t logStart_ = 0;
  DWORD runMs_ = 0;  // how long the last run's starter took
};

// The process's current folder, changed for the owner's life (the started
// programs inherit it).
class CurrentFolder {
 public:
  explicit CurrentFolder(const std::string& folder) {
    GetCurrentDirectoryA(MAX_PATH, saved_);
    SetCurrentDirectoryA(folder.c_str());
  }
  ~CurrentFolder() { SetCurrentDirectoryA(saved_); }
  CurrentFolder(const CurrentFolder&) = delete;
  CurrentFolder& operator=(const CurrentFolder&) = delete;

 private:
  char saved_[MAX_PATH] = {};
};

std::string PairsWithLongValues() {
  return "b=\"2\", A=\"1\", Big4096=\"" + std::string(4096, 'x') + "\", Big4097=\"" + std::string(4097, 'y') +
         "\", Z=\"last\"";
}

// The access-log line that begins with start, without its line feed; empty when none does.
std::string LoggedLine(const std::string& log, const std::string& start) {
  size_t at = log.find(start);
  return at == std::string::npos ? "" : log.substr(at, log.find('\n', at) - at);
}

// The starter names no application to the server: its agent is the empty text.
bool EndsWithEmptyAgent(const std::string& line) {
  const std::string end = " agent=";
  return line.size() >= end.size() && line.compare(line.size() - end.size(), end.size(), end) == 0;
}

TEST_F(StarterScenario, NoUpdateFetchesMissingWizardAndHandsOnThePairs) {
  Run(PairsWithLongValues(), "1.0.0.1", "2.0.0.1");
  std::string record = WaitForRecord();
  EXPECT_NE(record.find("ARGS:ZKKEY"), std::string::npos) << record;
  EXPECT_NE(record.find("LOAD:0\nENUM:<none>\n"), std::string::npos) << record;
  EXPECT_NE(record.find("NAME:A=1\nNAME:b=2\nNAME:Key <none>\n"), std::string::npos) << record;
  EXPECT_NE(record.find("NAME:Big4096=" + std::string(4096, 'x') + "\nNAME:Big4097 <none>\nNAME:Z=last\n"),
            std::string::npos);
  EXPECT_EQ(zktest::ClipboardHex(), "<none>");
  EXPECT_EQ(FileVersion(WindowsFolder() + "Tesselo1.exe"), "2.0.0.1");
  EXPECT_NE(NewRequests().find("GET /web/ZKStarter/Pelto/Tesselo1_2.0.0.1.zip 206"), std::string::npos);
  EXPECT_TRUE(EndsWithEmptyAgent(LoggedLine(NewRequests(), "GET /web/ZKStarter/Pelto/Tesselo1_2.0.0.1.zip ")))
      << NewRequests();
  EXPECT_EQ(StarterFiles(), (std::set<std::string>{"Lumora1.exe", "Tesselo1.exe"}));
}

TEST_F(StarterScenario, WizardIsReplacedOnlyWhenOlder) {
  struct Case {
    const char* installedFrom;  // built program copied in as Tesselo1.exe
    const char* required;
    bool fetched;
  } cases[] = {
      {"starter/Lumora1.exe", "2.0.0.1", true},         // 1.0.0.1 installed: older
      {"tests/standin/Tesselo1.exe", "2.0.0.1", false},  // equal text
      {"tests/standin/Tesselo1.exe", "10.0.0.0", false},  // text order: not newer than 2.0.0.1
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.required);
    DeleteFileA(RecordPath().c_str());
    ASSERT_TRUE(CopyFileA(BinaryPath(c.installedFrom).c_str(), (WindowsFolder() + "Tesselo1.exe").c_str(), FALSE));
    size_t before = AccessLog().size();
    Run("A=\"1\"", "1.0.0.1", c.required);
    EXPECT_NE(WaitForRecord().find("NAME:A=1"), std::string::npos);
    EXPECT_EQ(AccessLog().substr(before).find("Tesselo1_") != std::string::npos, c.fetched);
    EXPECT_EQ(FileVersion(WindowsFolder() + "Tesselo1.exe"), "2.0.0.1");
    EXPECT_EQ(StarterFiles(), (std::set<std::string>{"Lumora1.exe", "Tesselo1.exe"}));
  }
}

TEST_F(StarterScenario, ArchiveOfWholePiecesIsComplete) {
  Run("A=\"1\"", "1.0.0.1", "2.0.0.2");
  EXPECT_NE(WaitForRecord().find("NAME:A=1"), std::string::npos);
  EXPECT_EQ(zktest::ReadFileBytes(WindowsFolder() + "Tesselo1.exe"), zktest::ReadFileBytes(BinaryPath("tests/standin/Tesselo1.exe")));
  EXPECT_EQ(StarterFiles(), (std::set<std::string>{"Lumora1.exe", "Tesselo1.exe"}));
}

TEST_F(StarterScenario, CaseOfKeysDecidesWhatIsHandedOn) {
  // "CustomUpdateURL" is the download base and stays here; a key differing in
  // case goes on. Key and key are two pairs but one run parameter, holding
  // the value of the later one in the exact order ("Key" < "key"). The
  // custom base is a mirror that the build lists as trusted.
  UseTestStarter(PortalUrl("/custom/"));
  Run("key=\"lower\", CustomUpdateURL=\"" + PortalUrl("/custom/") + "\", customUpdateURL=\"other\", Key=\"upper\"",
      "1.0.0.1", "2.0.0.1");
  std::string record = WaitForRecord();
  EXPECT_NE(record.find("NAME:Key=lower\nNAME:CustomUpdateURL=other\nNAME:customUpdateURL=other\n"), std::string::npos)
      << record;
  EXPECT_NE(NewRequests().find("GET /custom/Pelto/Tesselo1_2.0.0.1.zip 206"), std::string::npos);
  EXPECT_EQ(NewRequests().find("/web/ZKStarter/"), std::string::npos);
}

TEST_F(StarterScenario, NewerStarterReplacesItselfAndRestarts) {
  // A _tempLumora1.exe left by an earlier run is replaced by the unpacking.
  std::string leftover = WindowsFolder() + "_tempLumora1.exe";
  ASSERT_TRUE(CopyFileA(BinaryPath("tests/standin/Tesselo1.exe").c_str(), leftover.c_str(), FALSE));
  std::string pairs = "A=\"1\"";
  Run(pairs, "1.0.0.9", "2.0.0.1", "p (x);y=z");
  std::string record = WaitForRecord();
  EXPECT_NE(record.find("NAME:A=1"), std::string::npos) << record;
  EXPECT_EQ(FileVersion(Starter()), "1.0.0.9");
  EXPECT_EQ(zktest::ClipboardHex(), "<none>");  // emptied by the new starter
  EXPECT_NE(NewRequests().find("GET /web/ZKStarter/Pelto/Lumora1_1.0.0.9.zip 206"), std::string::npos);
  EXPECT_TRUE(EndsWithEmptyAgent(LoggedLine(NewRequests(), "GET /web/ZKStarter/Pelto/Lumora1_1.0.0.9.zip ")))
      << NewRequests();
  EXPECT_EQ(StarterFiles(), (std::set<std::string>{"Lumora1.exe", "Tesselo1.exe"}));
}

TEST_F(StarterScenario, ValuesTheInterpreterWouldRunAreRefused) {
  // Each value would run a command with the starter's rights if it reached
  // the batch file; the update fails with its message and the old starter
  // goes on (a hostile UVersion then also fails the wizard download).
  // The pass phrase is not part of any archive name, so the newer starter's
  // download works and only the batch file's check stands in the way.
  struct Case {
    const char* s;
    const char* u;
    const char* p;
    int boxes;
  } cases[] = {
      {"1.0.0.9\"&echo x>pwned.txt&\"", "2.0.0.1", kPublish, 1},
      {"1.0.0.9", "2.0.0.1&echo x>pwned.txt", kPublish, 2},
      {"1.0.0.9", "2.0.0.1%COMSPEC%", kPublish, 2},
      {"1.0.0.9", "2.0.0.1", "x\"&echo x>pwned.txt&\"", 1},
      {"1.0.0.9", "2.0.0.1", "x%COMSPEC%", 1},
  };
  InstallWizard();
  // The batch file runs in the starter's current folder: there an injected
  // command would write its file.
  CurrentFolder inWindowsFolder(WindowsFolder());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.s + std::string(" ") + c.u + " " + c.p);
    // Each case starts from the old starter, so that a value let through
    // once cannot hide the later cases behind a starter already updated.
    ASSERT_TRUE(CopyFileA(BinaryPath("starter/Lumora1.exe").c_str(), Starter().c_str(), FALSE));
    DeleteFileA(RecordPath().c_str());
    zktest::BoxWatch watch(c.boxes);
    ASSERT_TRUE(zktest::PutParameterText(c.p, "A=\"1\""));
    RunWithArgument(zktest::StarterArgument(c.s, c.u, c.p));
    EXPECT_EQ(watch.Wait().find(Box(kUpdateFailed)), 0u);
    EXPECT_NE(WaitForRecord().find("NAME:A=1"), std::string::npos);
    EXPECT_EQ(FileVersion(Starter()), "1.0.0.1");
    EXPECT_NE(zktest::ClipboardHex(), "<none>");  // a failed self-update leaves the text
  }
  EXPECT_EQ(GetFileAttributesA((WindowsFolder() + "pwned.txt").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(NewRequests().find("Lumora1_"), std::string::npos);
  EXPECT_EQ(StarterFiles(), (std::set<std::string>{"Lumora1.exe", "Tesselo1.exe"}));
}

TEST_F(StarterScenario, VersionsThatNameAPathOutsideTheFolderAreRefused) {
  // The archive's path is the folder + "Lumora1_" or "Tesselo1_" + the version
  // + ".zip", and the download deletes it whatever happens: each version
  // below would name the planted archive. Refused before any request, it
  // fails the self-update (the old starter goes on) or the wizard download
  // (the installed wizard is started all the same).
  struct Case {
    const char* s;
    const char* u;
    const char* planted;  // beside the Windows folder
    std::string box;
  } cases[] = {
      {"1.0.0.1", "9\\..\\..\\victim", "..\\victim.zip", kWizardUpdateFailed},
      {"9/../../users/Public/Documents/backup", "2.0.0.1", "..\\users\\Public\\Documents\\backup.zip", kUpdateFailed},
      {"9\\..\\..\\victim", "2.0.0.1", "..\\victim.zip", kUpdateFailed},
      {"1.0.0.1", "9/../../users/Public/Documents/backup", "..\\users\\Public\\Documents\\backup.zip",
       kWizardUpdateFailed},
  };
  InstallWizard();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.s + std::string(" ") + c.u);
    std::string planted = WindowsFolder() + c.planted;
    const std::string kept = "an archive of the player's own";
    HANDLE file = CreateFileA(planted.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << planted;
    DWORD written = 0;
    WriteFile(file, kept.data(), static_cast<DWORD>(kept.size()), &written, nullptr);
    CloseHandle(file);
    DeleteFileA(RecordPath().c_str());
    size_t before = AccessLog().size();

    zktest::BoxWatch watch(1);
    Run("A=\"1\"", c.s, c.u);
    EXPECT_EQ(watch.Wait(), Box(c.box));
    EXPECT_NE(WaitForRecord().find("NAME:A=1"), std::string::npos);
    EXPECT_EQ(zktest::ReadFileBytes(planted), kept);
    EXPECT_EQ(AccessLog().substr(before), "");
    EXPECT_EQ(FileVersion(Starter()), "1.0.0.1");
    EXPECT_EQ(StarterFiles(), (std::set<std::string>{"Lumora1.exe", "Tesselo1.exe"}));
    DeleteFileA(planted.c_str());
  }
}

TEST_F(StarterScenario, FailuresOfTheDownloadAndTheSwapLeaveTheirFiles) {
  // A folder standing where a file must be created is a real failure; the
  // others come from the test build of the starter, whose system call fails
  // for one file as ZKTEST_STARTER_FAULT says. The installed wizard is the
  // stand-in of version 2.0.0.1; 2.0.0.3 is served for an update over it.
  struct Case {
    const char* name;
    const char* fault;   // nullptr: the real starter
    const char* folder;  // a folder made in the Windows folder first, or nullptr
    const char* s;
    const char* u;
    std::string box;
    std::set<std::string> files;  // the Windows folder's starter files afterwards
    bool launched;                // the installed wizard was started
  } cases[] = {
      {"archive cannot be created (5003)", nullptr, "Tesselo1_2.0.0.3.zip", "1.0.0.1", "2.0.0.3",
       Box(kWizardUpdateFailed), {"Lumora1.exe", "Tesselo1.exe", "Tesselo1_2.0.0.3.zip"}, true},
      {"archive write fails (5005)", "write:Tesselo1_2.0.0.3.zip", nullptr, "1.0.0.1", "2.0.0.3",
       Box(kWizardUpdateFailed), {"Lumora1.exe", "Tesselo1.exe"}, true},
      {"unpacking file cannot be created (5008)", nullptr, "_Tesselo1.exe", "1.0.0.1", "2.0.0.3",
       Box(kWizardUpdateFailed), {"Lumora1.exe", "Tesselo1.exe", "_Tesselo1.exe"}, true},
      {"unpacking write fails (5009)", "write:_Tesselo1.exe", nullptr, "1.0.0.1", "2.0.0.3", Box(kWizardUpdateFailed),
       {"Lumora1.exe", "Tesselo1.exe"}, true},
      // The old wizard is already deleted: nothing is left to start.
      {"unpacked wizard cannot be renamed (5010)", "rename:_Tesselo1.exe", nullptr, "1.0.0.1", "2.0.0.3",
       Box(kWizardUpdateFailed), {"Lumora1.exe", "_Tesselo1.exe"}, false},
      {"old starter cannot be moved aside", "move:Lumora1.exe", nullptr, "1.0.0.9", "2.0.0.1", Box(kUpdateFailed),
       {"Lumora1.exe", "Tesselo1.exe", "_tempLumora1.exe"}, true},
      // The old starter lies aside as _moveLumora1.exe and is moved back.
      {"new starter cannot be moved in", "move:_tempLumora1.exe", nullptr, "1.0.0.9", "2.0.0.1", Box(kUpdateFailed),
       {"Lumora1.exe", "Tesselo1.exe", "_tempLumora1.exe"}, true},
      // Nobody would restart the starter: the new one is taken out again and
      // the old one moved back.
      {"batch file cannot be written", nullptr, "Lumora1.bat", "1.0.0.9", "2.0.0.1", Box(kUpdateFailed),
       {"Lumora1.exe", "Lumora1.bat", "Tesselo1.exe"}, true},
  };
  // The batch file and the programs started run in the Windows folder, as
  // under the web page's browser no folder of the tests' own is seen.
  CurrentFolder inWindowsFolder(WindowsFolder());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RemoveStarterFiles();
    DeleteFileA(RecordPath().c_str());
    std::string starter = c.fault ? "tests/faults/Lumora1.exe" : "starter/Lumora1.exe";
    ASSERT_TRUE(CopyFileA(BinaryPath(starter).c_str(), Starter().c_str(), FALSE));
    InstallWizard();
    if (c.folder) {
      ASSERT_TRUE(CreateDirectoryA((WindowsFolder() + c.folder).c_str(), nullptr));
    }
    SetEnvironmentVariableA("ZKTEST_STARTER_FAULT", c.fault);

    zktest::BoxWatch watch(1);
    Run("A=\"1\"", c.s, c.u);
    SetEnvironmentVariableA("ZKTEST_STARTER_FAULT", nullptr);
    EXPECT_EQ(watch.Wait(), c.box);
    EXPECT_EQ(WaitForRecord().find("NAME:A=1") != std::string::npos, c.launched);
    EXPECT_EQ(StarterFiles(), c.files);
    EXPECT_EQ(FileVersion(Starter()), "1.0.0.1");
    if (c.files.count("Tesselo1.exe")) {
      EXPECT_EQ(zktest::ReadFileBytes(WindowsFolder() + "Tesselo1.exe"),
                zktest::ReadFileBytes(BinaryPath("tests/standin/Tesselo1.exe")));
    }
    // A failed self-update leaves the web page's text for the next start.
    EXPECT_EQ(zktest::ClipboardHex() != "<none>", std::string(c.s) == "1.0.0.9");
  }
  RemoveStarterFiles();
}

TEST_F(StarterScenario, WizardWithoutVersionBlockCountsAsVersionZero) {
  struct Case {
    const char* required;
    bool fetched;
  } cases[] = {{"0.0.0.0", false}, {"2.0.0.1", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.required);
    DeleteFileA(RecordPath().c_str());
    std::string wizard = WindowsFolder() + "Tesselo1.exe";
    HANDLE file = CreateFileA(wizard.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, "no version block", 16, &written, nullptr);
    CloseHandle(file);
    size_t before = AccessLog().size();
    Run("A=\"1\"", "1.0.0.1", c.required);
    EXPECT_EQ(AccessLog().substr(before).find("Tesselo1_") != std::string::npos, c.fetched);
    // The text file itself cannot be started; the fetched wizard can.
    EXPECT_EQ(WaitForRecord().find("NAME:A=1") != std::string::npos, c.fetched);
    EXPECT_EQ(FileVersion(wizard), c.fetched ? "2.0.0.1" : "<none>");
    EXPECT_EQ(StarterFiles(), (std::set<std::string>{"Lumora1.exe", "Tesselo1.exe"}));
  }
}

TEST_F(StarterScenario, SecondStarterShowsItsMessage) {
  HANDLE mutex = CreateMutexW(nullptr, TRUE, L"ZKStarterMutex");
  zktest::BoxWatch watch(1);
  Run("A=\"1\"", "1.0.0.1", "2.0.0.1");
  EXPECT_EQ(watch.Wait(),
            Box("\xEC\xBD\x94\xEB\xA5\xB4\xEB\xB0\x9C \xEC\x8A\xA4\xED\x83\x80\xED\x84\xB0 \xEA\xB0\x80 \xEC\x9D\xB4"
                "\xEB\xAF\xB8 \xEC\x8B\xA4\xED\x96\x89 \xEC\xA4\x91\xEC\x9E\x85\xEB\x8B\x88\xEB\x8B\xA4. \xEC\x9E\xA0"
                "\xEC\x8B\x9C \xED\x9B\x84 \xEB\x8B\xA4\xEC\x8B\x9C \xEC\x8B\x9C\xEB\x8F\x84\xED\x95\xB4\xEC\xA3\xBC"
                "\xEC\x84\xB8\xEC\x9A\x94."));
  CloseHandle(mutex);
  EXPECT_EQ(WaitForRecord(), "");
  EXPECT_EQ(StarterFiles(), (std::set<std::string>{"Lumora1.exe"}));
}

TEST_F(StarterScenario, IntakeFailuresEndTheStarter) {
  struct Case {
    const char* name;
    const char* clipboardHex;  // nullptr: empty clipboard
    std::string argument;
    std::string box;
  } cases[] = {
      {"no clipboard text", nullptr, zktest::StarterArgument("1.0.0.1", "2.0.0.1", kPublish), Box(kStartFailed)},
      {"missing publish", "00", "\"?SVersion=1.0.0.1,UVersion=2.0.0.1\"",
       Box("\xEA\xB2\x8C\xEC\x9E\x84 \xED\x99\x88\xED\x8E\x98\xEC\x9D\xB4\xEC\xA7\x80\xEC\x97\x90\xEC\x84\x9C "
           "\xEC\x8B\xA4\xED\x96\x89\xED\x95\x98\xEC\x85\x94\xEC\x95\xBC \xED\x95\xA9\xEB\x8B\x88\xEB\x8B\xA4.")},
      {"text that does not decrypt", "3031323334", zktest::StarterArgument("1.0.0.1", "2.0.0.1", kPublish),
       Box(kStartFailed)},
  };
  InstallWizard();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.clipboardHex) ASSERT_EQ(zktest::RunPeer(std::string("cliptool.exe set-hex ") + c.clipboardHex), 0);
    else ASSERT_EQ(zktest::RunPeer("cliptool.exe empty"), 0);
    zktest::BoxWatch watch(1);
    RunWithArgument(c.argument);
    EXPECT_EQ(watch.Wait(), c.box);
    EXPECT_EQ(WaitForRecord(), "");
  }
  EXPECT_EQ(NewRequests(), "");
  EXPECT_EQ(StarterFiles(), (std::set<std::string>{"Lumora1.exe", "Tesselo1.exe"}));
}

TEST_F(StarterScenario, FailedSelfUpdateGoesOnWithTheOldStarter) {
  InstallWizard();
  zktest::BoxWatch watch(1);
  Run("A=\"1\"", "1.0.0.7", "2.0.0.1");  // no such archive on the server
  EXPECT_EQ(watch.Wait(), Box(kUpdateFailed));
  EXPECT_NE(WaitForRecord().find("NAME:A=1"), std::string::npos);
  EXPECT_NE(zktest::ClipboardHex(), "<none>");
  EXPECT_NE(NewRequests().find("GET /web/ZKStarter/Pelto/Lumora1_1.0.0.7.zip 404"), std::string::npos);
  EXPECT_EQ(FileVersion(Starter()), "1.0.0.1");
  EXPECT_EQ(StarterFiles(), (std::set<std::string>{"Lumora1.exe", "Tesselo1.exe"}));
}

TEST_F(StarterScenario, OldStarterThatCannotGoBackIsReported) {
  // An old file left aside by an earlier run cannot be moved over the starter
  // that is in place: both messages, then the launch.
  InstallWizard();
  ASSERT_TRUE(CopyFileA(Starter().c_str(), (WindowsFolder() + "_moveLumora1.exe").c_str(), FALSE));
  zktest::BoxWatch watch(2);
  Run("A=\"1\"", "1.0.0.7", "2.0.0.1");
  EXPECT_EQ(watch.Wait(),
            Box(kUpdateFailed) +
                Box("\xEC\xBD\x94\xEB\xA5\xB4\xEB\xB0\x9C \xEC\x8A\xA4\xED\x83\x80\xED\x84\xB0 \xEC\x97\x85\xEB\x8D"
                    "\xB0\xEC\x9D\xB4\xED\x8A\xB8\xEC\x97\x90 \xEC\x8B\xA4\xED\x8C\xA8\xED\x95\x98\xEC\x98\x80\xEC"
                    "\x8A\xB5\xEB\x8B\x88\xEB\x8B\xA4. \n \xEB\x8B\xA4\xEC\x9D\x8C \xEC\x8B\xA4\xED\x96\x89 \xEC\x8B"
                    "\x9C \xEB\x8B\xA4\xEC\x8B\x9C \xEC\x84\xA4\xEC\xB9\x98\xED\x95\xA9\xEB\x8B\x88\xEB\x8B\xA4."));
  EXPECT_NE(WaitForRecord().find("NAME:A=1"), std::string::npos);
  EXPECT_EQ(StarterFiles(), (std::set<std::string>{"Lumora1.exe", "Tesselo1.exe", "_moveLumora1.exe"}));
}

TEST_F(StarterScenario, FailedWizardDownloadStillLaunches) {
  // Missing, no entry, damaged, an entry that inflates past the largest program.
  const char* versions[] = {"2.0.0.5", "2.0.0.7", "2.0.0.8", "2.0.0.6"};
  InstallWizard();
  for (const char* version : versions) {
    SCOPED_TRACE(version);
    DeleteFileA(RecordPath().c_str());
    zktest::BoxWatch watch(1);
    Run("A=\"1\"", "1.0.0.1", version);
    EXPECT_EQ(watch.Wait(), Box(kWizardUpdateFailed));
    EXPECT_NE(WaitForRecord().find("NAME:A=1"), std::string::npos);
    EXPECT_EQ(FileVersion(WindowsFolder() + "Tesselo1.exe"), "2.0.0.1");
    EXPECT_EQ(StarterFiles(), (std::set<std::string>{"Lumora1.exe", "Tesselo1.exe"}));
  }
}

TEST_F(StarterScenario, DownloadBaseOutsideTheTrustedOnesIsIgnored) {
  // Each base would have the starter fetch and run programs that the portal
  // did not publish; ignored, the start goes on against the built-in base,
  // where no starter of 9.9.9.9 is found and the wizard is.
  const std::string foreign = ServerRoot(kForeignPortal) + "evil/";
  const std::string builtIn = PortalUrl("/web/ZKStarter/");
  const std::string bases[] = {
      foreign,
      "HTTP://127.0.0.1:" + std::to_string(PortalPort(kForeignPortal)) + "/evil/",
      builtIn + "../../evil/",
      builtIn + "%2e%2e/%2e%2e/evil/",
      builtIn + "@127.0.0.1:" + std::to_string(PortalPort(kForeignPortal)) + "/evil/",
      PortalUrl("/web/ZKStarte/"),  // shorter than the trusted base
  };
  for (const std::string& base : bases) {
    SCOPED_TRACE(base);
    RemoveStarterFiles();
    DeleteFileA(RecordPath().c_str());
    ASSERT_TRUE(CopyFileA(BinaryPath("starter/Lumora1.exe").c_str(), Starter().c_str(), FALSE));
    size_t before = AccessLog().size();
    zktest::BoxWatch watch(1);
    Run("A=\"1\", CustomUpdateURL=\"" + base + "\"", "9.9.9.9", "2.0.0.1");
    EXPECT_EQ(watch.Wait(), Box(kUpdateFailed));
    EXPECT_NE(WaitForRecord().find("NAME:A=1"), std::string::npos);
    std::string requests = AccessLog().substr(before);
    EXPECT_EQ(requests.find("GET /web/ZKStarter/Pelto/Lumora1_9.9.9.9.zip 404"), 0u) << requests;
    EXPECT_NE(requests.find("GET /web/ZKStarter/Pelto/Tesselo1_2.0.0.1.zip 206"), std::string::npos) << requests;
    EXPECT_EQ(FileVersion(Starter()), "1.0.0.1");
    EXPECT_EQ(StarterFiles(), (std::set<std::string>{"Lumora1.exe", "Tesselo1.exe"}));
  }
  EXPECT_EQ(AccessLog("foreign/", kForeignPortal), "");
}

TEST_F(StarterScenario, WizardIsStartedOnlyFromTheWindowsFolder) {
  // No wizard in the Windows folder and none to download: a Tesselo1.exe in
  // the folder that the starter was started from must not run in its place.
  const std::string planted = WindowsFolder() + "..\\zk_planted\\";
  ASSERT_TRUE(CreateDirectoryA(planted.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  ASSERT_TRUE(CopyFileA(BinaryPath("tests/standin/Tesselo1.exe").c_str(), (planted + "Tesselo1.exe").c_str(), FALSE));
  {
    CurrentFolder inPlanted(planted);
    zktest::BoxWatch watch(1);
    Run("A=\"1\"", "1.0.0.1", "2.0.0.5");
    EXPECT_EQ(watch.Wait(), Box(kWizardUpdateFailed));
    EXPECT_EQ(WaitForRecord(), "");
  }
  EXPECT_NE(NewRequests().find("GET /web/ZKStarter/Pelto/Tesselo1_2.0.0.5.zip 404"), std::string::npos);
  EXPECT_EQ(StarterFiles(), (std::set<std::string>{"Lumora1.exe"}));
  DeleteFileA((planted + "Tesselo1.exe").c_str());
  RemoveDirectoryA(planted.c_str());
}

TEST_F(StarterScenario, SelfUpdateRunsNoCommandPlantedInTheCurrentFolderOrOnPath) {
  // The batch file runs with the starter's rights: a taskkill.exe or del.exe
  // in the folder the browser started it from, or in a folder on PATH, must
  // not run in place of the system's commands. Each leaves a marker if run.
  const std::string planted = WindowsFolder() + "..\\zk_planted_commands\\";
  const char* commands[] = {"taskkill.exe", "del.exe"};
  ASSERT_TRUE(CreateDirectoryA(planted.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  for (const char* command : commands) {
    ASSERT_TRUE(CopyFileA(BinaryPath("tests/standin/standin_planted.exe").c_str(), (planted + command).c_str(), FALSE));
  }
  char path[32767] = {};
  GetEnvironmentVariableA("PATH", path, sizeof(path));
  const std::string savedPath = path;
  for (bool onPath : {false, true}) {
    SCOPED_TRACE(onPath ? "planted folder first on PATH" : "planted folder current");
    RemoveStarterFiles();
    DeleteFileA(RecordPath().c_str());
    ASSERT_TRUE(CopyFileA(BinaryPath("starter/Lumora1.exe").c_str(), Starter().c_str(), FALSE));
    if (onPath) SetEnvironmentVariableA("PATH", (planted + ";" + savedPath).c_str());
    {
      CurrentFolder inPlanted(onPath ? WindowsFolder() : planted);
      Run("A=\"1\"", "1.0.0.9", "2.0.0.1");
      EXPECT_NE(WaitForRecord().find("NAME:A=1"), std::string::npos);
    }
    SetEnvironmentVariableA("PATH", savedPath.c_str());
    EXPECT_EQ(FileVersion(Starter()), "1.0.0.9");
    EXPECT_EQ(StarterFiles(), (std::set<std::string>{"Lumora1.exe", "Tesselo1.exe"}));
    for (const char* command : commands) {
      EXPECT_EQ(GetFileAttributesA((planted + command + ".ran").c_str()), INVALID_FILE_ATTRIBUTES) << command << " ran";
      DeleteFileA((planted + command + ".ran").c_str());
    }
  }
  for (const char* command : commands) DeleteFileA((planted + command).c_str());
  RemoveDirectoryA(planted.c_str());
}

TEST_F(StarterScenario, ServedStarterBelowTheRequiredVersionIsNotInstalled) {
  // The archive for 1.0.1.0 holds a starter of 1.0.0.9: started, it would
  // fetch itself again at every start and never start the wizard.
  InstallWizard();
  zktest::BoxWatch watch(1);
  Run("A=\"1\"", "1.0.1.0", "2.0.0.1");
  EXPECT_EQ(watch.Wait(), Box(kUpdateFailed));
  EXPECT_NE(WaitForRecord().find("NAME:A=1"), std::string::npos);
  std::string requests = NewRequests();
  size_t first = requests.find("GET /web/ZKStarter/Pelto/Lumora1_1.0.1.0.zip 206");
  ASSERT_NE(first, std::string::npos) << requests;
  EXPECT_EQ(requests.find("Lumora1_", requests.find('\n', first)), std::string::npos) << requests;
  EXPECT_EQ(FileVersion(Starter()), "1.0.0.1");
  EXPECT_NE(zktest::ClipboardHex(), "<none>");  // a failed self-update leaves the text
  EXPECT_EQ(StarterFiles(), (std::set<std::string>{"Lumora1.exe", "Tesselo1.exe"}));
}

TEST_F(StarterScenario, HostileServerCannotHoldOrFillTheStarter) {
  // The hostile server stands on a base that the test build trusts. Each
  // answer fails the download: the old programs stay, the old wizard starts.
  struct Case {
    const char* answer;        // the hostile server's case
    bool selfUpdate;           // the starter's own archive, else the wizard's
    const char* maxBytes;      // nullptr: the build's bound
    const char* deadlineMs;    // nullptr: the build's deadline
    const char* fault;         // a failing system call of the test build, or nullptr
  } cases[] = {
      // Shortened bounds: filling 64 MiB takes long under load (the bomb
      // meets the build's bound).
      {"endless", false, "4194304", nullptr, nullptr},
      {"endless", true, "1048576", nullptr, nullptr},
      // With no bound in reach only the failed write can end the body.
      {"endless", false, "1099511627776", nullptr, "write:Tesselo1_2.0.0.9.zip"},
      // Announced above the bound: refused before its body is awaited.
      {"silent", false, "16384", nullptr, nullptr},
      {"grows", true, "16384", nullptr, nullptr},
      {"drip", false, nullptr, "3000", nullptr},
      {"drip", true, nullptr, "3000", nullptr},
      {"silent", false, nullptr, "3000", nullptr},
      // Header lines that trickle in for 100 s: the deadline runs while the
      // request is sent and its answer's header arrives too.
      {"headers", false, nullptr, "3000", nullptr},
      {"headers", true, nullptr, "3000", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.answer) + (c.selfUpdate ? " starter " : " wizard ") + (c.fault ? c.fault : ""));
    RemoveStarterFiles();
    DeleteFileA(RecordPath().c_str());
    UseTestStarter(ServerRoot(kHostileServer), c.maxBytes, c.deadlineMs);
    InstallWizard();
    const std::string base = ServerRoot(kHostileServer) + c.answer + "/";
    SetEnvironmentVariableA("ZKTEST_STARTER_FAULT", c.fault);
    zktest::BoxWatch watch(1);
    Run("A=\"1\", CustomUpdateURL=\"" + base + "\"", c.selfUpdate ? "1.0.0.9" : "1.0.0.1",
        c.selfUpdate ? "2.0.0.1" : "2.0.0.9");
    SetEnvironmentVariableA("ZKTEST_STARTER_FAULT", nullptr);
    // The deadline bounds the download; the rest of the run (its box, the
    // wizard's start) takes well under the margin.
    if (c.deadlineMs) {
      EXPECT_LT(runMs_, std::stoul(c.deadlineMs) + 15000) << "the starter outlived its deadline";
    }
    EXPECT_EQ(watch.Wait(), Box(c.selfUpdate ? kUpdateFailed : kWizardUpdateFailed));
    EXPECT_NE(WaitForRecord().find("NAME:A=1"), std::string::npos);
    EXPECT_TRUE(SameBytes(Starter(), BinaryPath("tests/faults/Lumora1.exe")));
    EXPECT_TRUE(SameBytes(WindowsFolder() + "Tesselo1.exe", BinaryPath("tests/standin/Tesselo1.exe")));
    EXPECT_EQ(StarterFiles(), (std::set<std::string>{"Lumora1.exe", "Tesselo1.exe"}));
  }
}

TEST_F(StarterScenario, RedirectUnderATrustedBaseIsNotFollowed) {
  // The base lies under the built-in one, but its server answers every
  // archive with a redirect to the foreign portal, which serves both: the
  // archive must come from the base itself or not at all.
  struct Case {
    const char* s;
    bool wizardInstalled;
    const char* archive;
    std::string box;
    std::set<std::string> files;
  } cases[] = {
      {"1.0.0.9", true, "Lumora1_1.0.0.9.zip", Box(kUpdateFailed), {"Lumora1.exe", "Tesselo1.exe"}},
      {"1.0.0.1", false, "Tesselo1_2.0.0.1.zip", Box(kWizardUpdateFailed), {"Lumora1.exe"}},
  };
  const size_t foreignBefore = AccessLog("foreign/", kForeignPortal).size();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.archive);
    RemoveStarterFiles();
    DeleteFileA(RecordPath().c_str());
    ASSERT_TRUE(CopyFileA(BinaryPath("starter/Lumora1.exe").c_str(), Starter().c_str(), FALSE));
    if (c.wizardInstalled) InstallWizard();
    size_t before = AccessLog().size();
    zktest::BoxWatch watch(1);
    Run("A=\"1\", CustomUpdateURL=\"" + PortalUrl("/web/ZKStarter/moved/") + "\"", c.s, "2.0.0.1");
    EXPECT_EQ(watch.Wait(), c.box);
    // The old wizard still starts; without one nothing does.
    EXPECT_EQ(WaitForRecord().find("NAME:A=1") != std::string::npos, c.wizardInstalled);
    std::string requests = AccessLog().substr(before);
    EXPECT_NE(requests.find(std::string("GET /web/ZKStarter/moved/Pelto/") + c.archive + " 302"), std::string::npos)
        << requests;
    EXPECT_EQ(FileVersion(Starter()), "1.0.0.1");
    EXPECT_EQ(StarterFiles(), c.files);
  }
  EXPECT_EQ(AccessLog("foreign/", kForeignPortal).substr(foreignBefore), "");
}

TEST_F(StarterScenario, ArchiveWithAChangedDataByteKeepsTheOldWizard) {
  // The entry still inflates to its full size without an error; only its
  // CRC-32 tells that one byte of the download was changed.
  InstallWizard();
  zktest::BoxWatch watch(1);
  Run("A=\"1\"", "1.0.0.1", "2.0.0.4");
  EXPECT_EQ(watch.Wait(), Box(kWizardUpdateFailed));
  EXPECT_NE(WaitForRecord().find("NAME:A=1"), std::string::npos);
  EXPECT_TRUE(SameBytes(WindowsFolder() + "Tesselo1.exe", BinaryPath("tests/standin/Tesselo1.exe")));
  EXPECT_EQ(StarterFiles(), (std::set<std::string>{"Lumora1.exe", "Tesselo1.exe"}));
}

TEST_F(StarterScenario, EmptyTextStartsTheWizardWithNoParameters) {
  InstallWizard();
  ASSERT_EQ(zktest::RunPeer("cliptool.exe set-hex \"\""), 0);
  RunWithArgument(zktest::StarterArgument("1.0.0.1", "2.0.0.1", kPublish));
  std::string record = WaitForRecord();
  EXPECT_NE(record.find("LOAD:3101\n"), std::string::npos) << record;
}

// A self-update cut off after its swap leaves the old starter aside as
// _moveLumora1.exe; the next self-update must not fail on it.
TEST_F(StarterScenario, StaleOldStarterDoesNotStopTheNextSelfUpdate) {
  InstallWizard();
  ASSERT_TRUE(CopyFileA(Starter().c_str(), (WindowsFolder() + "_moveLumora1.exe").c_str(), FALSE));
  Run("A=\"1\"", "1.0.0.9", "2.0.0.1");
  EXPECT_NE(WaitForRecord().find("NAME:A=1"), std::string::npos);
  EXPECT_EQ(FileVersion(Starter()), "1.0.0.9");
  EXPECT_EQ(StarterFiles(), (std::set<std::string>{"Lumora1.exe", "Tesselo1.exe"}));
}

}  // namespace
