// CFile over CreateFile, ReadFile, WriteFile and SetFilePointerEx.
#include "framework/file.h"

namespace {

DWORD AccessOf(UINT flags) {
  switch (flags & 3) {
    case CFile::modeWrite: return GENERIC_WRITE;
    case CFile::modeReadWrite: return GENERIC_READ | GENERIC_WRITE;
    default: return GENERIC_READ;
  }
}

DWORD ShareOf(UINT flags) {
  switch (flags & 0x70) {
    case CFile::shareExclusive: return 0;
    case CFile::shareDenyWrite: return FILE_SHARE_READ;
    case CFile::shareDenyRead: return FILE_SHARE_WRITE;
    case CFile::shareDenyNone: return FILE_SHARE_READ | FILE_SHARE_WRITE;
    default: return 0;  // compatibility mode shares nothing
  }
}

DWORD DispositionOf(UINT flags) {
  if (!(flags & CFile::modeCreate)) return OPEN_EXISTING;
  return (flags & CFile::modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
}

}  // namespace

CFile& CFile::operator=(CFile&& other) noexcept {
  if (this != &other) {
    Close();
    m_hFile = other.m_hFile;
    other.m_hFile = INVALID_HANDLE_VALUE;
  }
  return *this;
}

template <typename T, typename Create>
BOOL CFile::OpenWith(const T* path, UINT flags, Create create) {
  Close();
  if (!path) return FALSE;
  SECURITY_ATTRIBUTES security = {sizeof(security), nullptr, (flags & modeNoInherit) ? FALSE : TRUE};
  m_hFile = create(path, AccessOf(flags), ShareOf(flags), &security, DispositionOf(flags), FILE_ATTRIBUTE_NORMAL, nullptr);
  return m_hFile != INVALID_HANDLE_VALUE;
}

BOOL CFile::Open(const wchar_t* path, UINT flags) { return OpenWith(path, flags, CreateFileW); }

BOOL CFile::Open(const char* path, UINT flags) { return OpenWith(path, flags, CreateFileA); }

UINT CFile::Read(void* buffer, UINT count) {
  DWORD read = 0;
  if (m_hFile == INVALID_HANDLE_VALUE || !buffer || count == 0) return 0;
  if (!ReadFile(m_hFile, buffer, count, &read, nullptr)) return 0;
  return read;
}

BOOL CFile::Write(const void* buffer, UINT count) {
  if (count == 0) return TRUE;
  if (m_hFile == INVALID_HANDLE_VALUE || !buffer) return FALSE;
  DWORD written = 0;
  return WriteFile(m_hFile, buffer, count, &written, nullptr) && written == count;
}

LONGLONG CFile::Seek(LONGLONG offset, UINT from) {
  LARGE_INTEGER distance, position;
  distance.QuadPart = offset;
  DWORD method = from == current ? FILE_CURRENT : from == end ? FILE_END : FILE_BEGIN;
  if (m_hFile == INVALID_HANDLE_VALUE || !SetFilePointerEx(m_hFile, distance, &position, method)) return -1;
  return position.QuadPart;
}

LONGLONG CFile::GetPosition() const {
  LARGE_INTEGER zero, position;
  zero.QuadPart = 0;
  if (m_hFile == INVALID_HANDLE_VALUE || !SetFilePointerEx(m_hFile, zero, &position, FILE_CURRENT)) return -1;
  return position.QuadPart;
}

LONGLONG CFile::GetLength() const {
  LARGE_INTEGER size;
  if (m_hFile == INVALID_HANDLE_VALUE || !GetFileSizeEx(m_hFile, &size)) return -1;
  return size.QuadPart;
}

BOOL CFile::SetLength(LONGLONG length) {
  LONGLONG keep = GetPosition();
  if (keep < 0 || Seek(length, begin) < 0) return FALSE;
  BOOL done = SetEndOfFile(m_hFile);
  Seek(keep < length ? keep : length, begin);
  return done;
}

void CFile::Close() {
  if (m_hFile != INVALID_HANDLE_VALUE) CloseHandle(m_hFile);
  m_hFile = INVALID_HANDLE_VALUE;
}
