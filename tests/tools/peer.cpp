// Helpers for tests that run the test peers and programs (see peer.h).
#include "tests/tools/peer.h"

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace zktest {

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

namespace {

HANDLE StartProcess(const std::string& command_line) {
  std::string line = command_line;
  std::string first = line.substr(0, line.find(' '));
  if (first.find('\\') == std::string::npos && first.find('"') == std::string::npos &&
      GetFileAttributesA((ProgramFolder() + first).c_str()) != INVALID_FILE_ATTRIBUTES) {
    line = "\"" + ProgramFolder() + first + "\"" + line.substr(first.size());
  }
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    return nullptr;
  }
  CloseHandle(info.hThread);
  return info.hProcess;
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

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
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
  char temp[MAX_PATH], name[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  GetTempFileNameA(temp, "box", 0, name);
  output_ = name;
  process_ = StartProcess("boxwatch.exe \"" + output_ + "\" " + std::to_string(timeout_ms) + " " +
                          std::to_string(boxes));
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
