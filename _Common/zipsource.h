// Byte sources that the zip archive layer reads from: the interface and a memory block.
#pragma once

#include <cstddef>
#include <cstdint>

// A positionable run of bytes; positions count from the source's start.
class ZipByteSource {
 public:
  virtual ~ZipByteSource() = default;
  // Gives the length of the source in bytes; false when it cannot be measured.
  virtual bool Length(uint64_t* length) = 0;
  // Reads up to size bytes at position into buffer and stores the count in
  // *got (fewer at the end of the source); false on a failed positioning or read.
  virtual bool ReadAt(uint64_t position, void* buffer, size_t size, size_t* got) = 0;
};

// A memory block that the caller keeps alive while the source is in use.
class ZipMemorySource : public ZipByteSource {
 public:
  ZipMemorySource(const void* data, size_t length);
  bool Length(uint64_t* length) override;
  bool ReadAt(uint64_t position, void* buffer, size_t size, size_t* got) override;

 private:
  const unsigned char* data_;
  size_t length_;
};
