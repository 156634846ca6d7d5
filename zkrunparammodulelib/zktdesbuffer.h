// Block buffers of the Triple-DES module: views of caller-owned memory that
// hand out 8-byte blocks, as raw bytes (BYTE) or as hex text (HSTR).
#ifndef ZKRUNPARAMMODULELIB_ZKTDESBUFFER_H
#define ZKRUNPARAMMODULELIB_ZKTDESBUFFER_H

#include <cstring>

#include "zkrunparammodulelib/zktdeshex.h"

// Result codes of the buffers.
enum {
  TDES_BUFFER_OK = 0,
  TDES_BUFFER_BAD_ARGUMENT = 1,
  TDES_BUFFER_NO_MEMORY = 1002,
  TDES_BUFFER_TOO_SHORT = 1003,
  TDES_BUFFER_HEX_FAILED = 1004,
  TDES_BUFFER_ZERO_ADVANCE = 1005,
  TDES_BUFFER_NOT_LOCKED = 1006,
  TDES_BUFFER_NOT_STAGING = 1007,
  TDES_BUFFER_FULL_BLOCK_LEFT = 1008,
  TDES_BUFFER_NO_STAGING = 1009,
};

// A cursor over memory the caller owns (never freed here); lengths count
// raw units, the characters of that memory.
class CZKTDESBuffer {
 public:
  CZKTDESBuffer() = default;
  CZKTDESBuffer(const CZKTDESBuffer&) = delete;
  CZKTDESBuffer& operator=(const CZKTDESBuffer&) = delete;

  // Hands out the next 8-byte block.
  virtual int GetBlock(unsigned char** block) = 0;
  // Takes back the block handed out last and moves past it.
  virtual int ReleaseBlock(unsigned char* block) = 0;

  // Starts over on `memory` of rawLen units; true when memory is not NULL.
  bool Attach(char* memory, unsigned rawLen);
  // True when memory is attached.
  bool IsValid() const { return m_cursor != nullptr; }
  // True when no raw unit is left.
  bool IsEmpty() const { return m_remaining == 0; }
  // Data bytes left (raw units divided by units per byte).
  unsigned GetRemainingBytes() const { return m_remaining / static_cast<unsigned>(m_unit); }
  // True when at least one whole block is left.
  bool HasFullBlock() const { return GetRemainingBytes() >= 8; }
  // Marks nBytes data bytes at the cursor as handed out; the cursor stays.
  int Lock(char** start, int nBytes, int* rawLen = nullptr);
  // Moves past the locked block when start and nBytes match it.
  int Commit(char* start, int nBytes);
  // Moves the cursor forward by raw units.
  int Advance(unsigned raw);
  // Raw units consumed or produced so far.
  unsigned GetProcessed() const { return m_processed; }

 protected:
  ~CZKTDESBuffer() = default;

  short m_unit = 1;
  char* m_cursor = nullptr;
  unsigned m_remaining = 0;
  unsigned m_processed = 0;
  int m_locked = 0;
  int m_lockedLength = 0;
  char* m_lockedPointer = nullptr;
};

// A buffer the algorithm reads plaintext or ciphertext from.
class IZKTDESBufferInput : public CZKTDESBuffer {
 public:
  // Hands out the last 0-7 bytes (0-8 for HSTR hex); 1008 while a full block remains.
  virtual int GetLastBlock(unsigned char** block, int* length) = 0;

 protected:
  ~IZKTDESBufferInput() = default;
};

// A buffer the algorithm writes its result into.
class IZKTDESBufferOutput : public CZKTDESBuffer {
 public:
  // Appends n data bytes.
  virtual int Write(const unsigned char* data, int n) = 0;

 protected:
  ~IZKTDESBufferOutput() = default;
};

// Raw bytes: blocks are handed out in place in the caller's memory.
template <class Interface>
class TZKTDESBufferBYTE : public Interface {
 public:
  int GetBlock(unsigned char** block) override {
    return this->Lock(reinterpret_cast<char**>(block), 8);
  }
  int ReleaseBlock(unsigned char* block) override {
    return this->Commit(reinterpret_cast<char*>(block), 8);
  }

 protected:
  ~TZKTDESBufferBYTE() = default;
};

// Hex text: each block is converted through one of two staging blocks,
// which alternate so that the previous block stays intact for CBC chaining.
template <class Interface>
class TZKTDESBufferHSTR : public Interface {
 public:
  TZKTDESBufferHSTR() { this->m_unit = 2; }

 protected:
  ~TZKTDESBufferHSTR() = default;

  unsigned char* Current() { return m_staging[m_current]; }
  void SwitchStaging() { m_current = static_cast<short>(1 - m_current); }

  unsigned char m_staging[2][8] = {};
  short m_current = 0;
};

class CZKTDESBufferInput_BYTE : public TZKTDESBufferBYTE<IZKTDESBufferInput> {
 public:
  CZKTDESBufferInput_BYTE() = default;
  // Reads `n` bytes of `data`, which this buffer never writes.
  CZKTDESBufferInput_BYTE(const char* data, unsigned n) { Attach(const_cast<char*>(data), n); }
  int GetLastBlock(unsigned char** block, int* length) override;
};

class CZKTDESBufferOutput_BYTE : public TZKTDESBufferBYTE<IZKTDESBufferOutput> {
 public:
  CZKTDESBufferOutput_BYTE() = default;
  CZKTDESBufferOutput_BYTE(char* memory, unsigned n) { Attach(memory, n); }
  int Write(const unsigned char* data, int n) override;
};

class CZKTDESBufferInput_HSTR : public TZKTDESBufferHSTR<IZKTDESBufferInput> {
 public:
  CZKTDESBufferInput_HSTR() = default;
  // Reads `n` hex characters of `text`, which this buffer never writes.
  CZKTDESBufferInput_HSTR(const char* text, unsigned n) { Attach(const_cast<char*>(text), n); }
  int GetBlock(unsigned char** block) override;
  int ReleaseBlock(unsigned char* block) override;
  int GetLastBlock(unsigned char** block, int* length) override;
};

class CZKTDESBufferOutput_HSTR : public TZKTDESBufferHSTR<IZKTDESBufferOutput> {
 public:
  CZKTDESBufferOutput_HSTR() = default;
  CZKTDESBufferOutput_HSTR(char* memory, unsigned n) { Attach(memory, n); }
  int GetBlock(unsigned char** block) override;
  int ReleaseBlock(unsigned char* block) override;
  int Write(const unsigned char* data, int n) override;
};

#endif  // ZKRUNPARAMMODULELIB_ZKTDESBUFFER_H
