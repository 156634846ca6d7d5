// Windows calls of the hand-over: environment, command line, program start, clipboard format.
#include <windows.h>

#include <shellapi.h>

#include <cstdint>

#include "zkrunparammodulelib/zkcbdata.h"
#include "zkrunparammodulelib/zkrunenv.h"

using NS_ZKRunParamModuleLib::_CZKString;

namespace {

unsigned GetVariable(const char* name, char* buffer, unsigned size) {
  return GetEnvironmentVariableA(name, buffer, size);
}

bool SetVariable(const char* name, const char* value) { return SetEnvironmentVariableA(name, value) != FALSE; }

const char* CommandLine() { return GetCommandLineA(); }

// Drops the data of the registered format without emptying the rest of the clipboard.
void ClearClipboardFormat() {
  if (!OpenClipboard(nullptr)) return;
  UINT format = RegisterClipboardFormatA(ZK_CBDATA_CLIP_FORMAT);
  if (format != 0 && GetClipboardData(format) != nullptr) SetClipboardData(format, nullptr);
  CloseClipboard();
}

bool LaunchWithShell(const char* program, const char* parameters, const char* directory, int* result) {
  HINSTANCE instance = ShellExecuteA(nullptr, "open", program, parameters, directory, SW_SHOWNORMAL);
  int value = static_cast<int>(reinterpret_cast<intptr_t>(instance));
  if (result) *result = value;
  return value > 32;
}

bool LaunchWithWinExec(const char* program, const char* parameters, const char* directory, int* result) {
  _CZKString previous;
  bool remembered = false;
  if (directory && *directory) {
    DWORD needed = GetCurrentDirectoryA(0, nullptr);
    char* room = needed ? previous.GetBuffer(static_cast<int>(needed)) : nullptr;
    if (room) {
      DWORD got = GetCurrentDirectoryA(needed, room);
      remembered = got != 0 && got < needed;
    }
    SetCurrentDirectoryA(directory);
  }
  _CZKString line;
  line.Format("%s %s", program, parameters ? parameters : "");
  UINT value = line.GetText() ? WinExec(line.GetText(), SW_SHOWNORMAL) : 0;
  if (result) *result = static_cast<int>(value);
  if (remembered) SetCurrentDirectoryA(previous.GetText());
  return value > 31;
}

}  // namespace

bool IsVistaOrLater() { return LOBYTE(LOWORD(GetVersion())) > 5; }

bool LaunchProgram(const char* program, const char* parameters, const char* directory, int* result) {
  if (IsVistaOrLater()) return LaunchWithShell(program, parameters, directory, result);
  return LaunchWithWinExec(program, parameters, directory, result);
}

// The older systems' way of starting a program, for the tests that run it on a newer one.
bool LaunchProgramWithWinExec(const char* program, const char* parameters, const char* directory, int* result) {
  return LaunchWithWinExec(program, parameters, directory, result);
}

ZKRunEnvCalls ZKRunEnvPlatformCalls() {
  return ZKRunEnvCalls{GetVariable, SetVariable, CommandLine, LaunchProgram, ClearClipboardFormat};
}
