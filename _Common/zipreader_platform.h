// The file-system seam of the zip reader: what the object API needs from the
// platform; tests replace entries through ScopedCallsOverride.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "_Common/zipreader.h"
#include "_Common/zipsource.h"
#include "framework/seam.h"

struct ZipReaderCalls {
  // A source over an open file handle from its current position, or null when
  // that position cannot be read. The handle stays the caller's.
  std::unique_ptr<ZipByteSource> (*openHandleSource)(const void* handle);
  // A source over the file at path, opened for reading with read sharing; null
  // when it cannot be opened. The source closes the file.
  std::unique_ptr<ZipByteSource> (*openNamedSource)(const char* path);
  // Writes the process's current folder; false when it does not fit.
  bool (*getCurrentFolder)(char* folder, size_t capacity);
  // Creates (always anew) the file at path for writing, with the attribute bits; null on failure.
  void* (*createOutputFile)(const char* path, int attributes);
  // Writes size bytes to an output (a created file or a caller's handle).
  bool (*writeOutput)(void* output, const void* data, uint32_t size);
  // Sets an output's creation, access and modification times.
  void (*setOutputTimes)(void* output, const ZipFileTime* creation, const ZipFileTime* access,
                         const ZipFileTime* modification);
  // Closes a file that createOutputFile made.
  void (*closeOutputFile)(void* output);
  // Deletes a file; failures are ignored.
  void (*deleteFile)(const char* path);
  // Creates one folder; an existing one and failures are ignored.
  void (*createFolder)(const char* path);
};

// The calls in use; the program never changes them.
ZipReaderCalls& ZipReaderCurrentCalls();
// The platform's own calls (Win32 on Windows, POSIX natively).
ZipReaderCalls ZipReaderPlatformCalls();
using ScopedZipReaderCalls = ScopedCallsOverride<ZipReaderCalls, &ZipReaderCurrentCalls, &ZipReaderPlatformCalls>;

// Opens a reader over a source that the caller made; the reader owns it from
// here on. Null on failure. The wide-text open of the starter builds on it.
ZipReaderHandle ZipReaderOpenSource(std::unique_ptr<ZipByteSource> source, const char* password);
