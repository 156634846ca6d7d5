// The parent of the update wizard in its scenarios: hands the run parameters
// to a program and stays until that program has ended, so that the program
// can still look at its parent and the test can wait for the whole run.
//   WizSender <program> [<name>=<value>]...
// Exit code: 0, or the hand-over's code when Execute failed.
#include <windows.h>
#include <tlhelp32.h>

#include <string>
#include <vector>

#include "zkrunparammodulelib/zkrunparam.h"

namespace {

// The processes that this one started (Execute's launch gives no handle).
std::vector<HANDLE> OpenChildren() {
  std::vector<HANDLE> children;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return children;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (entry.th32ParentProcessID != GetCurrentProcessId()) continue;
    if (HANDLE child = OpenProcess(SYNCHRONIZE, FALSE, entry.th32ProcessID)) children.push_back(child);
  }
  CloseHandle(snapshot);
  return children;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 64;
  CZKRunParam params;
  for (int i = 2; i < argc; ++i) {
    std::string pair = argv[i];
    size_t equals = pair.find('=');
    if (equals == std::string::npos) return 64;
    params.SetValue(pair.substr(0, equals).c_str(), pair.substr(equals + 1).c_str());
  }
  int launch = 0;
  int code = params.Execute(argv[1], &launch, nullptr);
  if (code != 0) return code;
  for (HANDLE child : OpenChildren()) {
    WaitForSingleObject(child, INFINITE);
    CloseHandle(child);
  }
  return 0;
}
