// The environment, file and host-path helpers of the tests: what CTest and the
// peers' fixtures hand a test, and the files they leave for it to read.
#pragma once

#include <string>

namespace zktest {

// The value of the environment variable, or "" when it is not set.
std::string Env(const char* name);

// A Unix path as the program under test sees it: under Wine through drive Z:
// with backslashes, natively as it is.
std::string HostPath(const std::string& unix_path);

// Reads a whole file; empty when it is missing.
std::string ReadFileBytes(const std::string& path);

}  // namespace zktest
