// CFileFind: the framework's search for files and folders by a path pattern.
#pragma once

#include <windows.h>

#include "framework/cstring.h"
#include "framework/scopedhandle.h"

// The class returns CString, whose width the including program selects, so it
// lives in a namespace of that width: the ANSI and the wide programs each get
// their own class and never mix them up at link time.
#ifdef ZK_UNICODE_CSTRING
#define ZK_FRAMEWORK_TEXT_NAMESPACE wide_text
#else
#define ZK_FRAMEWORK_TEXT_NAMESPACE ansi_text
#endif

inline namespace ZK_FRAMEWORK_TEXT_NAMESPACE {

class CFileFind {
 public:
  CFileFind() = default;
  ~CFileFind() { Close(); }
  CFileFind(const CFileFind&) = delete;
  CFileFind& operator=(const CFileFind&) = delete;

  // Starts a search for the pattern ("*.*" when NULL); TRUE when something
  // matches. Call FindNextFile to step onto the first match.
  BOOL FindFile(const wchar_t* pattern = nullptr, DWORD /*flags*/ = 0) {
    Close();
    CStringW path(pattern ? pattern : L"*.*");
    handle_.Reset(FindFirstFileW(path, &next_));
    if (!handle_.IsValid()) return FALSE;
    root_ = path.Left(LastSeparator(path) + 1);
    has_next_ = true;
    return TRUE;
  }
  BOOL FindFile(const char* pattern, DWORD /*flags*/ = 0) { return pattern ? FindFile(CStringW(pattern).GetString()) : FindFile(); }

  // Steps onto the next match; FALSE when that match is the last one.
  BOOL FindNextFile() {
    if (!has_next_) return FALSE;
    found_ = next_;
    has_found_ = true;
    has_next_ = FindNextFileW(handle_.Get(), &next_) != FALSE;
    return has_next_ ? TRUE : FALSE;
  }

  // Name of the current match, without folder.
  CString GetFileName() const { return has_found_ ? CString(found_.cFileName) : CString(); }
  // Folder of the pattern joined with the current match's name.
  CString GetFilePath() const { return has_found_ ? CString(root_ + found_.cFileName) : CString(); }
  // Size of the current match in bytes.
  ULONGLONG GetLength() const {
    return has_found_ ? (static_cast<ULONGLONG>(found_.nFileSizeHigh) << 32) | found_.nFileSizeLow : 0;
  }
  // Attributes of the current match.
  BOOL MatchesMask(DWORD mask) const { return has_found_ && (found_.dwFileAttributes & mask) != 0; }
  BOOL IsDirectory() const { return MatchesMask(FILE_ATTRIBUTE_DIRECTORY); }
  // TRUE for the "." and ".." entries.
  BOOL IsDots() const {
    if (!IsDirectory()) return FALSE;
    const wchar_t* name = found_.cFileName;
    return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
  }
  // Ends the search.
  void Close() {
    handle_.Reset();
    has_found_ = has_next_ = false;
  }

 private:
  static int LastSeparator(const CStringW& path) {
    for (int i = path.GetLength() - 1; i >= 0; --i) {
      wchar_t c = path[i];
      if (c == L'\\' || c == L'/' || c == L':') return i;
    }
    return -1;
  }

  ScopedFindHandle handle_;
  WIN32_FIND_DATAW found_ = {};
  WIN32_FIND_DATAW next_ = {};
  CStringW root_;
  bool has_found_ = false;
  bool has_next_ = false;
};

}  // namespace ZK_FRAMEWORK_TEXT_NAMESPACE
