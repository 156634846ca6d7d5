// Memory-block byte source of the zip archive layer.
#include "_Common/zipsource.h"

#include <cstring>

ZipMemorySource::ZipMemorySource(const void* data, size_t length)
    : data_(static_cast<const unsigned char*>(data)), length_(data ? length : 0) {}

bool ZipMemorySource::Length(uint64_t* length) {
  *length = length_;
  return true;
}

bool ZipMemorySource::ReadAt(uint64_t position, void* buffer, size_t size, size_t* got) {
  *got = 0;
  if (position > length_) return false;  // positioning past the end fails, like a file's
  size_t available = length_ - static_cast<size_t>(position);
  size_t count = size < available ? size : available;
  if (count) std::memcpy(buffer, data_ + position, count);
  *got = count;
  return true;
}
