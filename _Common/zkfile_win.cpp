// CZKFile on the Win32 file calls.
#include "_Common/zkfile.h"

CZKFile::~CZKFile() { Close(); }

BOOL CZKFile::Open(LPCSTR path, int mode, DWORD attributes) {
  if (IsOpen()) return FALSE;
  DWORD access = GENERIC_WRITE;
  DWORD disposition = OPEN_EXISTING;
  if (mode == kModeOpenAlways) {
    disposition = OPEN_ALWAYS;
  } else if (mode == kModeCreateAlways) {
    disposition = CREATE_ALWAYS;
  } else {
    access = GENERIC_READ;
  }
  m_handle = CreateFileA(path, access, FILE_SHARE_READ, nullptr, disposition, attributes, nullptr);
  return IsOpen();
}

int CZKFile::Close() {
  if (!IsOpen()) return -1;
  int result = CloseHandle(m_handle);
  m_handle = INVALID_HANDLE_VALUE;
  return result;
}

int64_t CZKFile::GetSize64() const {
  LARGE_INTEGER size;
  if (!IsOpen() || !GetFileSizeEx(m_handle, &size)) return 0;
  return size.QuadPart;
}

BOOL CZKFile::Seek64(int64_t distance, DWORD method, int64_t* new_position) {
  if (!IsOpen()) return FALSE;
  LARGE_INTEGER move;
  LARGE_INTEGER reached;
  move.QuadPart = distance;
  if (!SetFilePointerEx(m_handle, move, &reached, method)) return FALSE;
  if (new_position) *new_position = reached.QuadPart;
  return TRUE;
}

void CZKFile::Truncate(int64_t distance, DWORD method) {
  if (Seek64(distance, method)) SetEndOfFile(m_handle);
}

BOOL CZKFile::Write(const void* data, DWORD length) {
  if (!IsOpen()) return FALSE;
  DWORD written = 0;
  return WriteFile(m_handle, data, length, &written, nullptr) && written == length;
}
