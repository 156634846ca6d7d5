// Block buffers of the Triple-DES module.
#include "zkrunparammodulelib/zktdesbuffer.h"

using NS_ZKRunParamModuleLib::BytesToHex;
using NS_ZKRunParamModuleLib::HexToBytes;

bool CZKTDESBuffer::Attach(char* memory, unsigned rawLen) {
  m_cursor = memory;
  m_remaining = memory != nullptr ? rawLen : 0;
  m_processed = 0;
  m_locked = 0;
  m_lockedLength = 0;
  m_lockedPointer = nullptr;
  return memory != nullptr;
}

int CZKTDESBuffer::Lock(char** start, int nBytes, int* rawLen) {
  if (start == nullptr || nBytes <= 0) return TDES_BUFFER_BAD_ARGUMENT;
  if (!IsValid()) return TDES_BUFFER_NO_MEMORY;
  const unsigned long long raw = static_cast<unsigned long long>(nBytes) * static_cast<unsigned>(m_unit);
  if (m_remaining < raw) return TDES_BUFFER_TOO_SHORT;
  m_locked = 1;
  m_lockedLength = static_cast<int>(raw);
  m_lockedPointer = m_cursor;
  *start = m_cursor;
  if (rawLen != nullptr) *rawLen = static_cast<int>(raw);
  return TDES_BUFFER_OK;
}

int CZKTDESBuffer::Commit(char* start, int nBytes) {
  if (!m_locked || start != m_lockedPointer ||
      static_cast<long long>(nBytes) * m_unit != m_lockedLength) {
    return TDES_BUFFER_NOT_LOCKED;
  }
  return Advance(static_cast<unsigned>(m_lockedLength));
}

int CZKTDESBuffer::Advance(unsigned raw) {
  if (!IsValid()) return TDES_BUFFER_NO_MEMORY;
  if (raw == 0) return TDES_BUFFER_ZERO_ADVANCE;
  if (m_remaining < raw) return TDES_BUFFER_TOO_SHORT;
  m_cursor += raw;
  m_remaining -= raw;
  m_processed += raw;
  m_locked = 0;
  return TDES_BUFFER_OK;
}

int CZKTDESBufferInput_BYTE::GetLastBlock(unsigned char** block, int* length) {
  if (!IsValid()) return TDES_BUFFER_NO_MEMORY;
  if (HasFullBlock()) return TDES_BUFFER_FULL_BLOCK_LEFT;
  const int n = static_cast<int>(GetRemainingBytes());
  if (length != nullptr) *length = n;
  if (n == 0) return TDES_BUFFER_OK;
  return Lock(reinterpret_cast<char**>(block), n);
}

int CZKTDESBufferOutput_BYTE::Write(const unsigned char* data, int n) {
  if (data == nullptr) return TDES_BUFFER_BAD_ARGUMENT;
  if (n == 0) return TDES_BUFFER_OK;
  char* start = nullptr;
  const int result = Lock(&start, n);
  if (result != TDES_BUFFER_OK) return result;
  std::memcpy(start, data, static_cast<size_t>(n));
  return Commit(start, n);
}

int CZKTDESBufferInput_HSTR::GetBlock(unsigned char** block) {
  if (block == nullptr) return TDES_BUFFER_BAD_ARGUMENT;
  char* text = nullptr;
  const int result = Lock(&text, 8);
  if (result != TDES_BUFFER_OK) return result;
  if (!HexToBytes(text, 16, Current(), 8, nullptr)) return TDES_BUFFER_HEX_FAILED;
  *block = Current();
  return TDES_BUFFER_OK;
}

int CZKTDESBufferInput_HSTR::ReleaseBlock(unsigned char* block) {
  if (!IsValid()) return TDES_BUFFER_NO_MEMORY;
  if (block != Current()) return TDES_BUFFER_NOT_STAGING;
  const int result = Commit(m_lockedPointer, 8);
  if (result != TDES_BUFFER_OK) return result;
  SwitchStaging();
  return TDES_BUFFER_OK;
}

int CZKTDESBufferInput_HSTR::GetLastBlock(unsigned char** block, int* length) {
  if (!IsValid()) return TDES_BUFFER_NO_MEMORY;
  if (HasFullBlock()) return TDES_BUFFER_FULL_BLOCK_LEFT;
  const int n = static_cast<int>(GetRemainingBytes());
  if (length != nullptr) *length = n;
  if (n == 0) {
    if (block != nullptr) *block = nullptr;
    return TDES_BUFFER_OK;
  }
  char* text = nullptr;
  const int result = Lock(&text, n);
  if (result != TDES_BUFFER_OK) return result;
  if (!HexToBytes(text, static_cast<unsigned>(2 * n), Current(), 8, nullptr)) return TDES_BUFFER_HEX_FAILED;
  if (block != nullptr) *block = Current();
  SwitchStaging();
  return TDES_BUFFER_OK;
}

int CZKTDESBufferOutput_HSTR::GetBlock(unsigned char** block) {
  if (block == nullptr) return TDES_BUFFER_BAD_ARGUMENT;
  *block = Current();
  return TDES_BUFFER_OK;
}

int CZKTDESBufferOutput_HSTR::ReleaseBlock(unsigned char* block) {
  if (!IsValid()) return TDES_BUFFER_NO_MEMORY;
  if (block != Current()) return TDES_BUFFER_NOT_STAGING;
  char* text = nullptr;
  int result = Lock(&text, 8);
  if (result != TDES_BUFFER_OK) return result;
  if (!BytesToHex(Current(), 8, text, 16, nullptr)) return TDES_BUFFER_HEX_FAILED;
  result = Commit(text, 8);
  if (result != TDES_BUFFER_OK) return result;
  SwitchStaging();
  return TDES_BUFFER_OK;
}

int CZKTDESBufferOutput_HSTR::Write(const unsigned char* data, int n) {
  if (data == nullptr) return TDES_BUFFER_BAD_ARGUMENT;
  if (n == 0) return TDES_BUFFER_OK;
  char* text = nullptr;
  int rawLength = 0;
  const int result = Lock(&text, n, &rawLength);
  if (result != TDES_BUFFER_OK) return result;
  if (!BytesToHex(data, static_cast<unsigned>(n), text, static_cast<unsigned>(rawLength), nullptr)) {
    return TDES_BUFFER_HEX_FAILED;
  }
  return Commit(text, n);
}
