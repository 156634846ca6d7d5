// The starter's C-style Triple-DES library: a caller-owned context with
// streaming update/final steps in ECB, CBC, OFB and CFB, PKCS#5 padding, and
// the pass-phrase entry Crypt that works on hex text.
#ifndef ZKCRYPT_CORECIPHER_H
#define ZKCRYPT_CORECIPHER_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// Result codes (0 is success).
#define CIPHER_ERROR_PARAMETER 0x1001      // unknown mode or padding, output equal to input, output too small
#define CIPHER_ERROR_KEY_LENGTH 0x1002     // key length other than 16 or 24
#define CIPHER_ERROR_BAD_PADDING 0x1003    // bad PKCS#5 padding in the last decrypted block
#define CIPHER_ERROR_PARTIAL_BLOCK 0x1004  // encrypt final without padding, partial block pending
#define CIPHER_ERROR_BLOCK_LENGTH 0x1005   // ECB/CBC decrypt final, held-back block not 8 bytes
#define CIPHER_ERROR_WEAK_KEY 0x1006       // one of the three keys is weak or semi-weak

// Values of CipherContext.mode.
#define CIPHER_MODE_ECB 1u
#define CIPHER_MODE_CBC 2u
#define CIPHER_MODE_OFB 3u
#define CIPHER_MODE_CFB 4u

// Values of CipherContext.padding.
#define CIPHER_PADDING_NONE 1
#define CIPHER_PADDING_PKCS5 2

// One operation's state; the caller owns it and sets mode, padding, iv,
// chain (= iv for CBC, OFB, CFB) and pendingCount (= 0) before keying.
typedef struct CipherContext {
  uint32_t mode;
  int32_t padding;
  unsigned char iv[8];
  unsigned char chain[8];
  unsigned char pending[8];
  uint32_t pendingCount;
  uint32_t schedule1[16][2];
  uint32_t schedule2[16][2];
  uint32_t schedule3[16][2];
} CipherContext;

// Builds the three schedules from a 16- or 24-byte key; 0x1002 for another
// length, 0x1006 at the first weak or semi-weak 8-byte key.
int CipherSetKey(CipherContext* context, const unsigned char* key, unsigned int keyLength);

// Encrypts the whole blocks of pending + input into output and keeps the
// rest pending; *outputLength receives the bytes written.
int CipherEncryptUpdate(CipherContext* context, const unsigned char* input, unsigned int inputLength,
                        unsigned char* output, unsigned int* outputLength);

// Finishes an encryption: the padded last block (ECB, CBC) or the last
// partial stream bytes (OFB, CFB); output must hold 8 bytes.
int CipherEncryptFinal(CipherContext* context, unsigned char* output, unsigned int* outputLength);

// Decrypts whole blocks of pending + input, always holding back the last
// 1-8 bytes for the final step.
int CipherDecryptUpdate(CipherContext* context, const unsigned char* input, unsigned int inputLength,
                        unsigned char* output, unsigned int* outputLength);

// Decrypts the held-back block and removes the padding; output must hold 8 bytes.
int CipherDecryptFinal(CipherContext* context, unsigned char* output, unsigned int* outputLength);

// Fills both 24-byte buffers with spaces overwritten from the start by the
// pass phrase (a NULL phrase counts as empty; bytes beyond 24 are cut); both
// lengths become 24.
void CipherKeyFromPassPhrase(const char* passPhrase, unsigned char key[24], unsigned char ivSource[24],
                             unsigned int* keyLength, unsigned int* ivSourceLength);

// Triple-DES CBC with PKCS#5 under the pass phrase (key = phrase padded with
// spaces to 24 bytes, IV = its first 8 bytes). decrypt 0: input text to
// lower-case hex in output (NUL-terminated); otherwise hex input to
// plaintext, copied without NUL when shorter than outputSize. Returns 0 or a
// cipher code; output is left alone on failure.
int Crypt(const char* passPhrase, int decrypt, const char* input, char* output, unsigned int outputSize);

// Crypt-decrypts input with the starter's stored pass phrase; 1 on success, 0 on failure.
int SecureDecrypt(const char* input, char* output, unsigned int outputSize);

// Decodes Crypt's hex input (plain pairs, or pairs separated by spaces, '+'
// or "%2B") into at most outputSize bytes; *count receives the bytes written.
void CipherHexToBytes(const char* hex, unsigned char* output, unsigned int outputSize, unsigned int* count);

// Writes "%02x" per byte, NUL-terminated, only whole pairs that fit with
// their NUL in outputSize. Always returns 1.
int CipherBytesToHex(const unsigned char* bytes, unsigned int count, char* output, unsigned int outputSize);

#ifdef __cplusplus
}
#endif

#endif  // ZKCRYPT_CORECIPHER_H
