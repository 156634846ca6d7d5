// The zip reader's fixture archives, for the tests of the zip reader and of
// the starter's unpacking: their packed contents and their place.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

// The bytes that testdata/zip/make_fixtures.py packs: numbered lines, cut to size.
inline std::string ZipFixtureContent(const std::string& seed, size_t size) {
  std::string out;
  char line[64];
  for (int i = 0; out.size() < size; ++i) {
    std::snprintf(line, sizeof line, "%s line %06d\n", seed.c_str(), i);
    out += line;
  }
  out.resize(size);
  return out;
}

// Path of a fixture archive; under Wine the Unix path works as it is.
inline std::string ZipFixturePath(const std::string& name) {
  const char* source = std::getenv("ZK_SOURCE_DIR");
  return std::string(source ? source : ".") + "/_Common/testdata/zip/" + name;
}
