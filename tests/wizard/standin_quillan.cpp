// Stand-in of the installed wizard program Quillan1.exe for the update
// wizard's scenario: loads the hand-over and writes the names it was asked
// about ("NAME:<name>=<value>" or "NAME:<name> <none>") and "LOAD:<code>"
// into the file named by ZKTEST_RECORD; the names come from ZKTEST_NAMES ("|"-separated).
#include <windows.h>

#include <string>

#include "tests/support/standin_record.h"

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
  record += zktest::NamesRecord(params, Environment("ZKTEST_NAMES"));
  std::string path = Environment("ZKTEST_RECORD");
  if (path.empty()) return 1;
  zktest::WriteRecordWhole(path, record);
  return 0;
}
