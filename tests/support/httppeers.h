// Helpers of the HTTP getter tests: the peers' ports and addresses, the
// requests that the fault server recorded, and the pattern of nginx's files.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "tests/support/testenv.h"

namespace zkhttptest {

using zktest::Env;

// "http://127.0.0.1:<port>" of nginx or of the fault server.
inline std::string NginxRoot() { return "http://127.0.0.1:" + Env("ZK_HTTP_NGINX_PORT"); }
inline std::string FaultRoot() { return "http://127.0.0.1:" + Env("ZK_HTTP_FAULT_PORT"); }

// The bytes of the last request that the fault server received for a case.
inline std::string RecordedRequest(const std::string& name) {
  return zktest::ReadFileBytes(zktest::HostPath(Env("ZK_HTTP_STATE") + "/fault/requests/" + name + ".req"));
}

// The access log of nginx (one line per request).
inline std::string NginxLog() { return zktest::ReadFileBytes(zktest::HostPath(Env("ZK_HTTP_STATE") + "/nginx/access.log")); }

// Byte at offset of the block pattern of the files that make-docroot.py writes.
inline unsigned char PatternByte(uint64_t offset) {
  const uint64_t block = offset / 4096 * 4096;
  const unsigned within = static_cast<unsigned>(offset % 4096);
  if (within < 8) return static_cast<unsigned char>(block >> (8 * within));
  return static_cast<unsigned char>(((within - 8) * 131 + 7) % 256);
}

// Index of the first byte of data that differs from the pattern at offset, or -1.
inline int64_t FirstPatternMismatch(const unsigned char* data, size_t length, uint64_t offset) {
  for (size_t i = 0; i < length; ++i) {
    if (data[i] != PatternByte(offset + i)) return static_cast<int64_t>(i);
  }
  return -1;
}

// Reads the rest of an open getter's body in 8192-byte pieces and checks it
// against the pattern from offset on. Returns the number of bytes read, or
// -1 when a read failed or a byte differed (failed_at tells where).
template <typename Getter>
int64_t ReadPatternBody(Getter& getter, uint64_t offset, uint64_t& failed_at) {
  unsigned char buffer[8192];
  uint64_t total = 0;
  uint32_t got = 0;
  do {
    if (getter.Read(buffer, sizeof(buffer), got) != 0) {
      failed_at = offset + total;
      return -1;
    }
    int64_t mismatch = FirstPatternMismatch(buffer, got, offset + total);
    if (mismatch >= 0) {
      failed_at = offset + total + static_cast<uint64_t>(mismatch);
      return -1;
    }
    total += got;
  } while (got != 0);
  return static_cast<int64_t>(total);
}

// Byte i of the fault server's {"pattern": n} body.
inline unsigned char FaultPatternByte(size_t i) { return static_cast<unsigned char>(i % 251); }

}  // namespace zkhttptest
