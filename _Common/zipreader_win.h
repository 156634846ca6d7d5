// Windows helpers of the zip reader: FILETIME views of entry times and a
// source over a file handle that the reader closes.
#pragma once

#include <windows.h>

#include <memory>

#include "_Common/zipreader.h"
#include "_Common/zipsource.h"

// The entry time as the FILETIME that SetFileTime takes.
inline FILETIME ZipToFileTime(const ZipFileTime& time) {
  FILETIME result;
  result.dwLowDateTime = time.dwLowDateTime;
  result.dwHighDateTime = time.dwHighDateTime;
  return result;
}

// A source over a file handle opened for reading from position 0, closed with
// the source; null (and the handle closed) when it cannot be made.
std::unique_ptr<ZipByteSource> ZipOpenOwnedHandleSource(void* file);
