// An in-memory stand-in for the hand-over's system calls, installed for one test's life.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "zkrunparammodulelib/zkrunenv.h"

namespace zktest {

class FakeRunEnv {
 public:
  struct Launch {
    std::string program, parameters, directory;
    std::map<std::string, std::string> environment;  // what the started program inherits
  };

  FakeRunEnv();
  ~FakeRunEnv();
  FakeRunEnv(const FakeRunEnv&) = delete;
  FakeRunEnv& operator=(const FakeRunEnv&) = delete;

  std::map<std::string, std::string> variables;
  std::string commandLine = "receiver.exe";
  std::vector<Launch> launches;
  bool launchSucceeds = true;
  int failSetCall = -1;  // the set call (from 0) that fails, -1 for none
  int setCalls = 0;
  int clipboardClears = 0;

  // The variables whose names begin with ZKRunEnv.
  std::map<std::string, std::string> RunEnv() const;

 private:
  ScopedZKRunEnvCalls calls_;
};

}  // namespace zktest
