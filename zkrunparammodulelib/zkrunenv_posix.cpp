// Native calls of the hand-over, for the builds that run the pure code off Windows.
#include <cstdlib>
#include <cstring>

#include "zkrunparammodulelib/zkrunenv.h"

namespace {

unsigned GetVariable(const char* name, char* buffer, unsigned size) {
  const char* value = getenv(name);
  if (!value) return 0;
  size_t length = strlen(value);
  if (!buffer || length + 1 > size) return static_cast<unsigned>(length + 1);
  memcpy(buffer, value, length + 1);
  return static_cast<unsigned>(length);
}

bool SetVariable(const char* name, const char* value) {
  return (value ? setenv(name, value, 1) : unsetenv(name)) == 0;
}

const char* CommandLine() { return ""; }

void ClearClipboardFormat() {}

}  // namespace

bool IsVistaOrLater() { return true; }

// Off Windows the library starts no programs: a launch is reported as failed.
bool LaunchProgram(const char*, const char*, const char*, int* result) {
  if (result) *result = 0;
  return false;
}

ZKRunEnvCalls ZKRunEnvPlatformCalls() {
  return ZKRunEnvCalls{GetVariable, SetVariable, CommandLine, LaunchProgram, ClearClipboardFormat};
}
