// The Triple-DES module's plain functions: key material from the key text,
// the three DES schedules, the EDE block steps and the buffer sizes.
#ifndef ZKRUNPARAMMODULELIB_ZKTDESCORE_H
#define ZKRUNPARAMMODULELIB_ZKTDESCORE_H

#include <cstdint>

// Results of the DES core functions.
enum {
  TDES_CORE_OK = 0,
  TDES_CORE_NULL = 1,  // a NULL argument
  TDES_CORE_WEAK = 2,  // a weak or semi-weak DES key
};

// One DES key schedule: 16 round keys of two 32-bit words.
typedef uint32_t TDESSchedule[32];

// Ciphertext length of n plaintext bytes with padding (n rounded down to a
// multiple of 8, plus 8).
unsigned TDESGetPaddedSize(unsigned n);
// Hex characters of the padded ciphertext of n bytes, plus the NUL.
unsigned TDESGetHexSize(unsigned n);
// Most plaintext bytes that n ciphertext bytes can give.
unsigned TDESGetPlainSize(unsigned n);
// Plaintext buffer, NUL included, for decrypting hexLen hex characters.
unsigned TDESGetPlainBufferSize(unsigned hexLen);

// The 24 key bytes: the key text up to its NUL, at most 24 bytes, filled
// up with spaces.
int TDESKeyFromText(const char* keyText, unsigned char key24[24]);
// Expands K1, K2 and K3 in this order; the first error stops it.
int TDESExpandKeys(const unsigned char key24[24], TDESSchedule schedules[3]);
// 2 when the 8 bytes equal a weak or semi-weak DES key (parity included).
int DESCheckWeakKey(const unsigned char key8[8]);
// The weak-key test, then the FIPS 46-3 schedule of one 8-byte key.
int DESExpandKey(const unsigned char key8[8], TDESSchedule schedule);
// One DES operation on 8 bytes in place.
int DESEncryptBlock(const TDESSchedule schedule, unsigned char block[8]);
int DESDecryptBlock(const TDESSchedule schedule, unsigned char block[8]);
// E(K1) D(K2) E(K3), and its inverse, on 8 bytes in place.
int TDESEncryptEDE(const TDESSchedule schedules[3], unsigned char block[8]);
int TDESDecryptEDE(const TDESSchedule schedules[3], unsigned char block[8]);
// Copies 8 bytes; nothing when dst is src.
void TDESCopyBlock(unsigned char* dst, const unsigned char* src);
// out = a XOR b over n bytes; 1 when n > 8. out may be a or b.
int TDESXorBlock(unsigned char* out, const unsigned char* a, const unsigned char* b, unsigned n);

#endif  // ZKRUNPARAMMODULELIB_ZKTDESCORE_H
