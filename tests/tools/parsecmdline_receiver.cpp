// Test peer: loads its run parameters with CZKParseCmdLine and writes what it got.
// The report goes to the file named in ZKTEST_PARSECMDLINE_REPORT (inherited
// from the test), through a side file that is renamed, so that a reader never
// sees half of it. ZKTEST_PARSECMDLINE_RUNSTRING=1 asks Parse for the run string.
#include <windows.h>

#include <cstdio>
#include <string>

#include "_Common/zkparsecmdline.h"
#include "tests/support/clipboard.h"

namespace {

const char* const kNames[] = {"RunMode", "ProgName", "AvatarURL", "UpdateURL", "RunString", "InstallParam"};

std::string Variable(const char* name) {
  char value[MAX_PATH] = {};
  DWORD got = GetEnvironmentVariableA(name, value, sizeof value);
  return got < sizeof value ? std::string(value, got) : std::string();
}

}  // namespace

int main() {
  std::string report = Variable("ZKTEST_PARSECMDLINE_REPORT");
  if (report.empty()) return 64;
  bool runString = Variable("ZKTEST_PARSECMDLINE_RUNSTRING") == "1";

  CZKParseCmdLine parser;
  LauncherErrorCode code = parser.Parse(runString);

  std::string text = "code=" + std::to_string(code) + "\n";
  for (const char* name : kNames) {
    const char* value = parser.GetValue(name);
    text += std::string(name) + "=" + (parser.HasValue(name) ? (value ? value : "") : "<none>") + "\n";
  }
  text += std::string("runstring=") + parser.GetRunString() + "\n";
  text += std::string("runenv_after=") + (Variable("ZKRunEnv_ENUM").empty() ? "0" : "1") + "\n";
  text += std::string("clip_after=") + (zktest::ClipFormatHasData() ? "1" : "0") + "\n";

  std::string side = report + ".part";
  FILE* file = fopen(side.c_str(), "wb");
  if (!file) return 65;
  fwrite(text.data(), 1, text.size(), file);
  fclose(file);
  return MoveFileExA(side.c_str(), report.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 66;
}
