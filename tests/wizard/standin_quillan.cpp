// Stand-in of the installed wizard program Quillan1.exe for the update
// wizard's scenario: loads the hand-over and writes the names it was asked
// about ("NAME:<name>=<value>" or "NAME:<name> <none>") and "LOAD:<code>"
// into the file named by ZKTEST_RECORD; the names come from ZKTEST_NAMES ("|"-separated).
#include <windows.h>

#include <cstdio>
#include <string>

#include "zkrunparammodulelib/zkrunparam.h"

namespace {

std::string Environment(const char* name) {
  char buffer[32768];
  DWORD n = GetEnvironmentVariableA(name, buffer, sizeof(buffer));
  return (n == 0 || n >= sizeof(buffer)) ? std::string() : std::string(buffer, n);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  CZKRunParam params;
  std::string record = "LOAD:" + std::to_string(params.Load(nullptr, true)) + "\n";
  std::string names = Environment("ZKTEST_NAMES");
  for (size_t start = 0; start < names.size();) {
    size_t end = names.find('|', start);
    if (end == std::string::npos) end = names.size();
    std::string name = names.substr(start, end - start);
    const char* value = params.GetValue(name.c_str());
    record += "NAME:" + name + (params.HasValue(name.c_str()) ? "=" + std::string(value ? value : "") : " <none>") + "\n";
    start = end + 1;
  }
  std::string path = Environment("ZKTEST_RECORD");
  if (path.empty()) return 1;
  std::string partial = path + ".part";
  if (FILE* out = fopen(partial.c_str(), "wb")) {
    fwrite(record.data(), 1, record.size(), out);
    fclose(out);
    // The test waits for the whole record: it appears under its name at once.
    MoveFileExA(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
  }
  return 0;
}
