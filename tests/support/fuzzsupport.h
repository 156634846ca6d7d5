// What the fuzz drivers share: a reader over the fuzzer's bytes, checks that
// end the run with a report, and buffers that notice writes past their end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

// Every driver's entry; the replay main and libFuzzer call it.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace zkfuzz {

[[noreturn]] inline void Fail(const char* what, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: fuzz check failed: %s\n", file, line, what);
  std::abort();
}

// Hands out the fuzzer's bytes front to back; reads past the end give zeros
// and empty texts, so a short input is just another input.
class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  uint16_t Word() { return static_cast<uint16_t>(Byte() | Byte() << 8); }
  // The bytes up to the next separator (dropped) or the end.
  std::string Field(char separator) {
    const size_t start = at_;
    while (at_ < size_ && data_[at_] != static_cast<uint8_t>(separator)) ++at_;
    std::string field(reinterpret_cast<const char*>(data_) + start, at_ - start);
    if (at_ < size_) ++at_;
    return field;
  }
  // Whatever is left.
  std::string Rest() {
    std::string rest(reinterpret_cast<const char*>(data_) + at_, size_ - at_);
    at_ = size_;
    return rest;
  }
  size_t Left() const { return size_ - at_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

// A caller's buffer of a given size followed by a guard zone; both start
// filled with a pattern, so that untouched bytes and stray writes show.
class GuardedBuffer {
 public:
  static constexpr size_t kGuard = 64;
  static constexpr char kPattern = '\xA5';

  explicit GuardedBuffer(size_t size) : size_(size), bytes_(size + kGuard, kPattern) {}

  char* data() { return bytes_.data(); }
  size_t size() const { return size_; }
  // True when no byte from index from on (guard included) was written.
  bool UntouchedFrom(size_t from) const {
    for (size_t i = from; i < bytes_.size(); ++i) {
      if (bytes_[i] != kPattern) return false;
    }
    return true;
  }

 private:
  size_t size_;
  std::vector<char> bytes_;
};

}  // namespace zkfuzz

#define ZK_FUZZ_CHECK(condition) ((condition) ? void(0) : zkfuzz::Fail(#condition, __FILE__, __LINE__))
