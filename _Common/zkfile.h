// CZKFile: a thin owner of one Win32 file handle with 64-bit sizes and positions.
#pragma once

#include <windows.h>

#include <cstdint>

class CZKFile {
 public:
  // The open modes: write access opening or creating the file, write access
  // creating it anew, and (any other value) read access to an existing file.
  enum : int { kModeRead = 0, kModeOpenAlways = 1, kModeCreateAlways = 2 };

  CZKFile() = default;
  virtual ~CZKFile();
  CZKFile(const CZKFile&) = delete;
  CZKFile& operator=(const CZKFile&) = delete;

  // Opens path in mode (see above); others may read it meanwhile. attributes
  // is the Win32 flags-and-attributes value. FALSE when a file is already
  // open; otherwise whether the file is now open.
  BOOL Open(LPCSTR path, int mode, DWORD attributes);
  // Closes the file: -1 when none was open, else the platform's close result.
  int Close();
  // TRUE while a file is open.
  BOOL IsOpen() const { return m_handle != INVALID_HANDLE_VALUE; }
  // The file's size; 0 when none is open or the size cannot be read.
  int64_t GetSize64() const;
  // Moves the file pointer by distance from method (FILE_BEGIN, FILE_CURRENT,
  // FILE_END) and stores the new position in new_position when given; FALSE
  // when no file is open or the move fails.
  BOOL Seek64(int64_t distance, DWORD method, int64_t* new_position = nullptr);
  // Seeks there and, when that worked, ends the file at the new position.
  void Truncate(int64_t distance, DWORD method);
  // Writes length bytes at the file pointer in one call; FALSE when no file
  // is open or not every byte was written.
  BOOL Write(const void* data, DWORD length);

 private:
  HANDLE m_handle = INVALID_HANDLE_VALUE;
};
