// The parent of the update wizard in its scenarios: hands the run parameters
// to a program and stays until that program has ended, so that the program
// can still look at its parent and the test can wait for the whole run.
//   WizSender <program> [<name>=<value>]...
// Exit code: 0, or the hand-over's code when Execute failed.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "zkrunparammodulelib/zkrunenv.h"
#include "zkrunparammodulelib/zkrunparam.h"

namespace {

// The program that Execute started. Its handle comes from the launch itself:
// a process found afterwards by its parent id may be none of ours, since
// Wine gives the ids of ended processes to new ones, and processes that
// named an ended one as their parent would then pass for children.
HANDLE g_started = nullptr;

// Execute's launch as the platform's (the shell's "open"), keeping the handle.
bool LaunchKeepingTheProcess(const char* program, const char* parameters, const char* directory, int* result) {
  SHELLEXECUTEINFOA shell = {};
  shell.cbSize = sizeof shell;
  shell.fMask = SEE_MASK_NOCLOSEPROCESS;
  shell.lpVerb = "open";
  shell.lpFile = program;
  shell.lpParameters = parameters;
  shell.lpDirectory = directory;
  shell.nShow = SW_SHOWNORMAL;
  const bool started = ShellExecuteExA(&shell) != FALSE;
  const int value = static_cast<int>(reinterpret_cast<INT_PTR>(shell.hInstApp));
  if (result) *result = value;
  if (started) g_started = shell.hProcess;
  return started && value > 32;
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
  ScopedZKRunEnvCalls calls;
  calls.calls().launch = LaunchKeepingTheProcess;
  int launch = 0;
  int code = params.Execute(argv[1], &launch, nullptr);
  if (g_started) {
    WaitForSingleObject(g_started, INFINITE);
    CloseHandle(g_started);
  }
  return code;
}
