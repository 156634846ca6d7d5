// Helpers for tests that run the test peers and programs (see peer.h).
#include "tests/support/peer.h"

#include <winsock2.h>
#include <windows.h>

#include <tlhelp32.h>

#include <cstdio>
#include <sstream>

namespace zktest {

namespace {

// The job that this test program and everything it starts belong to.
HANDLE ChildrenJob() {
  static HANDLE job = [] {
    // Wine starts the desktop process (explorer.exe) for the first program
    // that needs it, and it lives on beyond that program: it is started here,
    // before joining, so that it never counts as a child.
    GetDesktopWindow();
    HANDLE created = CreateJobObjectA(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    // Breakaway is for the box watchers, which run beside the programs under test.
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_BREAKAWAY_OK;
    SetInformationJobObject(created, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    AssignProcessToJobObject(created, GetCurrentProcess());
    return created;
  }();
  return job;
}

// Joins the job before main, so that no process started by a test escapes it.
const HANDLE g_children_job = ChildrenJob();

DWORD ActiveProcesses() {
  JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info = {};
  if (!QueryInformationJobObject(ChildrenJob(), JobObjectBasicAccountingInformation, &info, sizeof info, nullptr)) return 0;
  return info.ActiveProcesses;
}

// Ends every member of the job but this program and returns their names.
// Wine lists no members of a job, so every process is asked whether it is one.
std::string EndChildren() {
  std::string names;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return names;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (entry.th32ProcessID == GetCurrentProcessId()) continue;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID);
    if (!process) continue;
    BOOL member = FALSE;
    if (IsProcessInJob(process, ChildrenJob(), &member) && member) {
      TerminateProcess(process, 99);
      WaitForSingleObject(process, 10000);
      names += (names.empty() ? "" : ", ") + std::string(entry.szExeFile);
    }
    CloseHandle(process);
  }
  CloseHandle(snapshot);
  return names;
}

}  // namespace

int RunPeer(const std::string& command_line, unsigned timeout_ms) {
  HANDLE process = StartProcess(command_line);
  if (!process) return -1;
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(process, timeout_ms) == WAIT_OBJECT_0) GetExitCodeProcess(process, &code);
  else TerminateProcess(process, 99);
  CloseHandle(process);
  return static_cast<int>(code);
}

bool WaitForChildren(unsigned timeout_ms, std::string* still_running) {
  // The job's count of running members is the one sign that covers processes
  // started by any means (CreateProcess, ShellExecute, WinExec, a batch file).
  const DWORD start = GetTickCount();
  while (ActiveProcesses() > 1) {
    if (GetTickCount() - start >= timeout_ms) {
      std::string names = EndChildren();
      if (still_running) *still_running = names;
      return false;
    }
    Sleep(20);
  }
  return true;
}

::testing::AssertionResult ProgramsEnded(unsigned timeout_ms) {
  std::string names;
  if (WaitForChildren(timeout_ms, &names)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "still running after " << timeout_ms << " ms (now ended): " << names;
}

namespace {

const char kSyncPath[] = "/zk-access-log-sync";

// Sends "GET uri" to the loopback port and reads the answer to its end.
bool AskLoopback(int port, const std::string& uri) {
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return false;
  SOCKET peer = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<u_short>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bool asked = peer != INVALID_SOCKET && connect(peer, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  // HTTP/1.0 without keep-alive: nginx closes the connection when it has answered.
  const std::string request = "GET " + uri + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n";
  asked = asked && send(peer, request.data(), static_cast<int>(request.size()), 0) == static_cast<int>(request.size());
  char buffer[4096];
  while (asked && recv(peer, buffer, sizeof buffer, 0) > 0) {
  }
  if (peer != INVALID_SOCKET) closesocket(peer);
  WSACleanup();
  return asked;
}

}  // namespace

bool SyncAccessLog(int port, const std::string& log_path, unsigned timeout_ms) {
  static int count = 0;
  const std::string uri = std::string(kSyncPath) + "?" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++count);
  if (!AskLoopback(port, uri)) return false;
  const std::string line = " " + uri + " ";
  const DWORD start = GetTickCount();
  while (ReadFileBytes(log_path).find(line) == std::string::npos) {
    if (GetTickCount() - start >= timeout_ms) return false;
    Sleep(20);
  }
  return true;
}

std::string WithoutSyncLines(const std::string& log) {
  std::istringstream lines(log);
  std::string line, kept;
  while (std::getline(lines, line)) {
    if (line.find(std::string(" ") + kSyncPath + "?") == std::string::npos) kept += line + "\n";
  }
  return kept;
}

Report ParseReport(const std::string& text) {
  Report report;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    size_t equals = line.find('=');
    if (equals != std::string::npos) report[line.substr(0, equals)] = line.substr(equals + 1);
  }
  return report;
}

std::string ClipboardHex() {
  char temp[MAX_PATH], name[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  GetTempFileNameA(temp, "clp", 0, name);
  std::string command = "cmd.exe /c \"\"" + ProgramFolder() + "cliptool.exe\" get > \"" + name + "\"\"";
  int code = RunPeer(command);
  std::string hex = ReadFileBytes(name);
  DeleteFileA(name);
  if (code != 0) return "<none>";
  while (!hex.empty() && (hex.back() == '\n' || hex.back() == '\r')) hex.pop_back();
  return hex;
}

BoxWatch::BoxWatch(int boxes, unsigned timeout_ms) {
  EXPECT_TRUE(ProgramsEnded()) << "programs of an earlier run";
  char temp[MAX_PATH], name[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  GetTempFileNameA(temp, "box", 0, name);
  output_ = name;
  // Outside the job: a test waits for its programs while the watcher still
  // waits for their boxes.
  process_ = StartProcess("boxwatch.exe \"" + output_ + "\" " + std::to_string(timeout_ms) + " " +
                              std::to_string(boxes),
                          CREATE_BREAKAWAY_FROM_JOB);
}

BoxWatch::~BoxWatch() {
  if (process_) {
    TerminateProcess(process_, 99);
    CloseHandle(process_);
  }
  if (!output_.empty()) DeleteFileA(output_.c_str());
}

std::string BoxWatch::Wait() {
  if (process_) {
    WaitForSingleObject(process_, INFINITE);
    CloseHandle(process_);
    process_ = nullptr;
  }
  raw_ = ReadFileBytes(output_);
  std::istringstream lines(raw_);
  std::string line, records;
  while (std::getline(lines, line)) {
    if (line.compare(0, 6, "STYLE:") != 0) records += line + "\n";
  }
  return records;
}

}  // namespace zktest
