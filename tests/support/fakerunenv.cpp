// The in-memory stand-in for the hand-over's system calls (see fakerunenv.h).
#include "tests/support/fakerunenv.h"

#include <cstring>

namespace zktest {

namespace {

FakeRunEnv* g_fake = nullptr;

unsigned GetVariable(const char* name, char* buffer, unsigned size) {
  auto found = g_fake->variables.find(name);
  if (found == g_fake->variables.end()) return 0;
  const std::string& value = found->second;
  if (!buffer || value.size() + 1 > size) return static_cast<unsigned>(value.size() + 1);
  memcpy(buffer, value.c_str(), value.size() + 1);
  return static_cast<unsigned>(value.size());
}

bool SetVariable(const char* name, const char* value) {
  if (g_fake->setCalls++ == g_fake->failSetCall) return false;
  if (value) g_fake->variables[name] = value;
  else g_fake->variables.erase(name);
  return true;
}

const char* CommandLine() { return g_fake->commandLine.c_str(); }

bool RecordLaunch(const char* program, const char* parameters, const char* directory, int* result) {
  g_fake->launches.push_back({program, parameters ? parameters : "", directory ? directory : "", g_fake->variables});
  *result = g_fake->launchSucceeds ? 42 : 2;
  return g_fake->launchSucceeds;
}

void ClearClipboardFormat() { ++g_fake->clipboardClears; }

}  // namespace

FakeRunEnv::FakeRunEnv()
    : calls_(ZKRunEnvCalls{GetVariable, SetVariable, CommandLine, RecordLaunch, ClearClipboardFormat}) {
  g_fake = this;
}

FakeRunEnv::~FakeRunEnv() { g_fake = nullptr; }

std::map<std::string, std::string> FakeRunEnv::RunEnv() const {
  std::map<std::string, std::string> found;
  for (const auto& variable : variables) {
    if (variable.first.compare(0, 8, "ZKRunEnv") == 0) found.insert(variable);
  }
  return found;
}

}  // namespace zktest
