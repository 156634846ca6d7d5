// Triple-DES (DES-EDE3) of the run-parameter library: ECB or CBC with
// optional PKCS#5 padding over block buffers, and the facade CZKTDESModule
// that encrypts bytes to lower-case hex text and back.
#ifndef ZKRUNPARAMMODULELIB_ZKTDESMODULE_H
#define ZKRUNPARAMMODULELIB_ZKTDESMODULE_H

#include <memory>

#include "zkrunparammodulelib/zktdesbuffer.h"
#include "zkrunparammodulelib/zktdescore.h"

// Result codes of the module and its algorithm (the buffers add 1002-1009).
enum {
  TDES_OK = 0,
  TDES_NULL_ARGUMENT = 1,
  TDES_WEAK_KEY = 2,
  TDES_ALREADY_KEYED = 3,
  TDES_NOT_READY = 4,
  TDES_NO_INPUT = 5,
  TDES_OUTPUT_TOO_SMALL = 6,
  TDES_NOT_WHOLE_BLOCKS = 7,
  TDES_BAD_PADDING = 8,
  TDES_BAD_MODE = 2001,
  TDES_NO_MEMORY = 2002,
  TDES_NO_TAIL = 2003,
};

// Modes of Init.
enum { TDES_MODE_ECB = 1, TDES_MODE_CBC = 2 };
// The padding argument that turns PKCS#5 padding on.
enum { TDES_PADDING_PKCS5 = 2 };

// Key, IV and the block loops; the mode classes supply the block steps.
class CZKTDESAlgorithm {
 public:
  CZKTDESAlgorithm() = default;
  CZKTDESAlgorithm(const CZKTDESAlgorithm&) = delete;
  CZKTDESAlgorithm& operator=(const CZKTDESAlgorithm&) = delete;
  virtual ~CZKTDESAlgorithm() = default;

  // One block in the mode's form; out may equal in.
  virtual int EncryptBlock(unsigned char* out, const unsigned char* in, const unsigned char* chain) = 0;
  virtual int DecryptBlock(unsigned char* out, const unsigned char* in, const unsigned char* chain) = 0;

  // Keys the algorithm from the key text; 3 when already keyed, 1 for NULL, 2 for a weak key.
  int SetKey(const char* keyText, int padding);
  // True after a successful SetKey.
  bool IsKeyed() const { return m_keyed != 0; }
  // Triple-DES on 8 bytes in place.
  int EncryptRaw(unsigned char* block);
  int DecryptRaw(unsigned char* block);
  // Encrypts all of the input into the output, padding the tail when on.
  int EncryptData(IZKTDESBufferInput* input, IZKTDESBufferOutput* output);
  // Decrypts all of the input into the output, removing the padding when on.
  int DecryptData(IZKTDESBufferInput* input, IZKTDESBufferOutput* output);

 protected:
  int m_keyed = 0;
  TDESSchedule m_schedules[3] = {};
  unsigned char m_key[24] = {};
  unsigned char m_iv[8] = {};
  int m_ivFromKey = 1;
  int m_padding = 0;
};

class CZKTDESAlgorithm_ECB : public CZKTDESAlgorithm {
 public:
  int EncryptBlock(unsigned char* out, const unsigned char* in, const unsigned char* chain) override;
  int DecryptBlock(unsigned char* out, const unsigned char* in, const unsigned char* chain) override;
};

class CZKTDESAlgorithm_CBC : public CZKTDESAlgorithm {
 public:
  int EncryptBlock(unsigned char* out, const unsigned char* in, const unsigned char* chain) override;
  int DecryptBlock(unsigned char* out, const unsigned char* in, const unsigned char* chain) override;
};

// The facade the library uses: Init, then any number of calls.
class CZKTDESModule {
 public:
  CZKTDESModule() = default;
  CZKTDESModule(const CZKTDESModule&) = delete;
  CZKTDESModule& operator=(const CZKTDESModule&) = delete;
  virtual ~CZKTDESModule() { Release(); }

  // Makes and keys the algorithm: mode 1 ECB, 2 CBC; padding 2 = PKCS#5.
  int Init(const char* keyText, int mode, int padding);
  // True when an algorithm exists and is keyed.
  bool IsReady() const { return m_algorithm != nullptr && m_algorithm->IsKeyed(); }
  // Destroys the algorithm.
  void Release() { m_algorithm.reset(); }
  // Runs the algorithm over the buffers; *outLen = the output's processed count.
  int Process(bool encrypt, IZKTDESBufferInput* input, IZKTDESBufferOutput* output, int* outLen);
  // Encrypts dataLen bytes into NUL-terminated lower-case hex in hexOut.
  int EncryptToHex(const char* data, int dataLen, char* hexOut, int hexOutSize, int* outLen);
  // Decrypts hexLen hex characters (either case) into out, NUL-terminated.
  int DecryptFromHex(const char* hexIn, int hexLen, char* out, int outSize, int* outLen);

 private:
  std::unique_ptr<CZKTDESAlgorithm> m_algorithm;
};

#endif  // ZKRUNPARAMMODULELIB_ZKTDESMODULE_H
