// The environment, file and host-path helpers of the tests (see testenv.h).
#include "tests/support/testenv.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace zktest {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string HostPath(const std::string& unix_path) {
#ifdef _WIN32
  std::string path = "Z:" + unix_path;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
#else
  return unix_path;
#endif
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace zktest
