// POSIX side of the zip reader for the native build: file-name sources and
// output files, so that unpacking to files runs under the sanitizers too.
// Archive paths use backslashes as on Windows; they become slashes here.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <memory>
#include <new>
#include <string>

#include "_Common/zipreader_platform.h"

namespace {

std::string NativePath(const char* path) {
  std::string native = path;
  for (char& c : native)
    if (c == '\\') c = '/';
  return native;
}

class ZipDescriptorSource : public ZipByteSource {
 public:
  explicit ZipDescriptorSource(int fd) : fd_(fd) {}
  ~ZipDescriptorSource() override { close(fd_); }
  ZipDescriptorSource(const ZipDescriptorSource&) = delete;
  ZipDescriptorSource& operator=(const ZipDescriptorSource&) = delete;

  bool Length(uint64_t* length) override {
    off_t end = lseek(fd_, 0, SEEK_END);
    if (end < 0) return false;
    *length = static_cast<uint64_t>(end);
    return true;
  }

  bool ReadAt(uint64_t position, void* buffer, size_t size, size_t* got) override {
    *got = 0;
    unsigned char* out = static_cast<unsigned char*>(buffer);
    while (size > 0) {
      ssize_t n = pread(fd_, out, size, static_cast<off_t>(position + *got));
      if (n < 0) return false;
      if (n == 0) break;
      *got += static_cast<size_t>(n);
      out += n;
      size -= static_cast<size_t>(n);
    }
    return true;
  }

 private:
  int fd_;
};

// Native descriptors are not Win32 handles: kind 1 is refused here.
std::unique_ptr<ZipByteSource> OpenHandleSource(const void*) { return nullptr; }

std::unique_ptr<ZipByteSource> OpenNamedSource(const char* path) {
  int fd = open(NativePath(path).c_str(), O_RDONLY);
  if (fd < 0) return nullptr;
  std::unique_ptr<ZipByteSource> source(new (std::nothrow) ZipDescriptorSource(fd));
  if (!source) close(fd);
  return source;
}

bool GetCurrentFolder(char* folder, size_t capacity) { return getcwd(folder, capacity) != nullptr; }

// An output natively is a descriptor plus one, so that descriptor 0 is not null;
// a caller's target of kind 1 is given the same way.
int DescriptorOf(void* output) { return static_cast<int>(reinterpret_cast<intptr_t>(output)) - 1; }

void* CreateOutputFile(const char* path, int attributes) {
  mode_t mode = (attributes & ZIPREADER_ATTRIBUTE_READONLY) ? 0444 : 0644;
  std::string native = NativePath(path);
  unlink(native.c_str());  // "always anew", also over a read-only file
  int fd = open(native.c_str(), O_WRONLY | O_CREAT | O_TRUNC, mode);
  if (fd < 0) return nullptr;
  return reinterpret_cast<void*>(static_cast<intptr_t>(fd) + 1);
}

bool WriteOutput(void* output, const void* data, uint32_t size) {
  const unsigned char* p = static_cast<const unsigned char*>(data);
  int fd = DescriptorOf(output);
  while (size > 0) {
    ssize_t n = write(fd, p, size);
    if (n <= 0) return false;
    p += n;
    size -= static_cast<uint32_t>(n);
  }
  return true;
}

timespec TimespecFromFileTime(const ZipFileTime* time) {
  uint64_t ticks = (static_cast<uint64_t>(time->dwHighDateTime) << 32) | time->dwLowDateTime;
  timespec result;
  result.tv_sec = static_cast<time_t>(ticks / 10000000ull) - static_cast<time_t>(11644473600ll);
  result.tv_nsec = static_cast<long>((ticks % 10000000ull) * 100);
  return result;
}

// POSIX files have no creation time; access and modification are kept.
void SetOutputTimes(void* output, const ZipFileTime*, const ZipFileTime* access,
                    const ZipFileTime* modification) {
  timespec times[2] = {TimespecFromFileTime(access), TimespecFromFileTime(modification)};
  futimens(DescriptorOf(output), times);
}

void CloseOutputFile(void* output) { close(DescriptorOf(output)); }

void DeleteOutputFile(const char* path) { unlink(NativePath(path).c_str()); }

void CreateOneFolder(const char* path) { mkdir(NativePath(path).c_str(), 0755); }

const ZipReaderCalls kPosixPlatform = {
    OpenHandleSource, OpenNamedSource, GetCurrentFolder, CreateOutputFile, WriteOutput,
    SetOutputTimes,   CloseOutputFile, DeleteOutputFile, CreateOneFolder,
};

}  // namespace

ZipReaderCalls ZipReaderPlatformCalls() { return kPosixPlatform; }
