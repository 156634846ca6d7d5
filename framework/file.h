// CFile: an owned Windows file handle with the framework's open flags.
#pragma once

#include <windows.h>

class CFile {
 public:
  // Open flags; one access mode, one share mode, plus the create flags.
  enum OpenFlags : UINT {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    shareCompat = 0x0000,
    shareExclusive = 0x0010,
    shareDenyWrite = 0x0020,
    shareDenyRead = 0x0030,
    shareDenyNone = 0x0040,
    modeNoInherit = 0x0080,
    modeCreate = 0x1000,
    modeNoTruncate = 0x2000,
    typeBinary = 0x8000,
  };
  // Origins of Seek.
  enum SeekPosition { begin = 0, current = 1, end = 2 };

  CFile() = default;
  ~CFile() { Close(); }
  CFile(const CFile&) = delete;
  CFile& operator=(const CFile&) = delete;
  CFile(CFile&& other) noexcept : m_hFile(other.m_hFile) { other.m_hFile = INVALID_HANDLE_VALUE; }
  CFile& operator=(CFile&& other) noexcept;

  // Opens (or with modeCreate creates) the file; an open file is closed first.
  // modeCreate truncates an existing file unless modeNoTruncate is given.
  BOOL Open(const wchar_t* path, UINT flags);
  BOOL Open(const char* path, UINT flags);

  // Reads up to count bytes; returns the number read (0 at the end or on failure).
  UINT Read(void* buffer, UINT count);
  // Writes count bytes; FALSE when not all of them were written.
  BOOL Write(const void* buffer, UINT count);
  // Moves the file position; returns the new position, or -1 on failure.
  LONGLONG Seek(LONGLONG offset, UINT from);
  // Moves to the end; returns the new position, or -1.
  LONGLONG SeekToEnd() { return Seek(0, end); }
  void SeekToBegin() { Seek(0, begin); }
  // The current position, or -1.
  LONGLONG GetPosition() const;
  // The file's size in bytes, or -1 on failure.
  LONGLONG GetLength() const;
  // Cuts or extends the file to length bytes.
  BOOL SetLength(LONGLONG length);
  // Writes buffered data to the disk.
  BOOL Flush() { return m_hFile != INVALID_HANDLE_VALUE && FlushFileBuffers(m_hFile); }
  // Closes the handle; nothing when none is open.
  void Close();

  bool IsOpen() const { return m_hFile != INVALID_HANDLE_VALUE; }

  HANDLE m_hFile = INVALID_HANDLE_VALUE;

 private:
  template <typename T, typename Create>
  BOOL OpenWith(const T* path, UINT flags, Create create);
};
