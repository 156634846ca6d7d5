// Win32 side of the zip reader: file-handle and file-name sources and the
// output files of unpacking.
#include <windows.h>

#include <memory>
#include <new>

#include "_Common/zipreader_platform.h"
#include "_Common/zipreader_win.h"

namespace {

// Reads a Win32 file handle; archive positions count from where the handle
// stood when the source was made.
class ZipHandleSource : public ZipByteSource {
 public:
  ZipHandleSource(HANDLE file, bool owned, uint64_t start) : file_(file), owned_(owned), start_(start) {}
  ~ZipHandleSource() override {
    if (owned_) CloseHandle(file_);
  }
  ZipHandleSource(const ZipHandleSource&) = delete;
  ZipHandleSource& operator=(const ZipHandleSource&) = delete;

  bool Length(uint64_t* length) override {
    LARGE_INTEGER end;
    LARGE_INTEGER zero;
    zero.QuadPart = 0;
    if (!SetFilePointerEx(file_, zero, &end, FILE_END)) return false;
    uint64_t size = static_cast<uint64_t>(end.QuadPart);
    *length = size > start_ ? size - start_ : 0;
    return true;
  }

  bool ReadAt(uint64_t position, void* buffer, size_t size, size_t* got) override {
    *got = 0;
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(start_ + position);
    if (!SetFilePointerEx(file_, to, nullptr, FILE_BEGIN)) return false;
    unsigned char* out = static_cast<unsigned char*>(buffer);
    while (size > 0) {
      DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
      DWORD read = 0;
      if (!ReadFile(file_, out, chunk, &read, nullptr)) return false;
      if (read == 0) break;
      *got += read;
      out += read;
      size -= read;
    }
    return true;
  }

 private:
  HANDLE file_;
  bool owned_;
  uint64_t start_;
};

std::unique_ptr<ZipByteSource> OpenHandleSource(const void* handle) {
  HANDLE file = const_cast<HANDLE>(handle);
  LARGE_INTEGER here;
  LARGE_INTEGER zero;
  zero.QuadPart = 0;
  if (!file || file == INVALID_HANDLE_VALUE || !SetFilePointerEx(file, zero, &here, FILE_CURRENT))
    return nullptr;
  return std::unique_ptr<ZipByteSource>(
      new (std::nothrow) ZipHandleSource(file, false, static_cast<uint64_t>(here.QuadPart)));
}

std::unique_ptr<ZipByteSource> OpenNamedSource(const char* path) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  return ZipOpenOwnedHandleSource(file);
}

bool GetCurrentFolder(char* folder, size_t capacity) {
  DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(capacity), folder);
  return length > 0 && length < capacity;
}

void* CreateOutputFile(const char* path, int attributes) {
  DWORD flags = static_cast<DWORD>(attributes) &
                (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
  if (flags == 0) flags = FILE_ATTRIBUTE_NORMAL;
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, flags, nullptr);
  return file == INVALID_HANDLE_VALUE ? nullptr : file;
}

bool WriteOutput(void* output, const void* data, uint32_t size) {
  DWORD written = 0;
  return WriteFile(static_cast<HANDLE>(output), data, size, &written, nullptr) && written == size;
}

void SetOutputTimes(void* output, const ZipFileTime* creation, const ZipFileTime* access,
                    const ZipFileTime* modification) {
  FILETIME times[3] = {ZipToFileTime(*creation), ZipToFileTime(*access), ZipToFileTime(*modification)};
  SetFileTime(static_cast<HANDLE>(output), &times[0], &times[1], &times[2]);
}

void CloseOutputFile(void* output) { CloseHandle(static_cast<HANDLE>(output)); }

void DeleteOutputFile(const char* path) {
  // A read-only entry makes a read-only file, which DeleteFile refuses.
  SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(path);
}

void CreateOneFolder(const char* path) { CreateDirectoryA(path, nullptr); }

const ZipReaderCalls kWin32Platform = {
    OpenHandleSource, OpenNamedSource, GetCurrentFolder, CreateOutputFile, WriteOutput,
    SetOutputTimes,   CloseOutputFile, DeleteOutputFile, CreateOneFolder,
};

}  // namespace

std::unique_ptr<ZipByteSource> ZipOpenOwnedHandleSource(void* file) {
  if (!file || file == INVALID_HANDLE_VALUE) return nullptr;
  std::unique_ptr<ZipByteSource> source(new (std::nothrow) ZipHandleSource(file, true, 0));
  if (!source) CloseHandle(file);
  return source;
}

ZipReaderCalls ZipReaderPlatformCalls() { return kWin32Platform; }
