// Starting the programs under test and the peers (see process.h).
#include "tests/support/process.h"

namespace zktest {

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

HANDLE StartProcess(const std::string& command_line, DWORD flags) {
  std::string line = command_line;
  std::string first = line.substr(0, line.find(' '));
  if (first.find('\\') == std::string::npos && first.find('"') == std::string::npos &&
      GetFileAttributesA((ProgramFolder() + first).c_str()) != INVALID_FILE_ATTRIBUTES) {
    line = "\"" + ProgramFolder() + first + "\"" + line.substr(first.size());
  }
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, flags, nullptr, nullptr, &startup, &info)) {
    return nullptr;
  }
  CloseHandle(info.hThread);
  return info.hProcess;
}

}  // namespace zktest
