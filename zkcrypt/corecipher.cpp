// The starter's Triple-DES library over the shared single-DES core.
#include "zkcrypt/corecipher.h"

#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "zkcrypt/descore.h"

namespace {

using zkcrypt::LoadBig32;
using zkcrypt::StoreBig32;

// The starter's constant pass phrase for values added as secure.
const char kStoredPassPhrase[] = "qmzvtrokhulwab";

constexpr unsigned int kKeyTextSize = 24;

bool IsKnownMode(const CipherContext* context) {
  return context->mode >= CIPHER_MODE_ECB && context->mode <= CIPHER_MODE_CFB;
}

// A context that a caller filled with nonsense must not make us read or
// write past `pending`.
bool IsUsable(const CipherContext* context) {
  return context != nullptr && IsKnownMode(context) && context->pendingCount <= 8;
}

const uint32_t* Schedule(const uint32_t (&schedule)[16][2]) { return &schedule[0][0]; }

void EncryptWords(const CipherContext* c, uint32_t& high, uint32_t& low) {
  zkcrypt::DesEde3EncryptWords(Schedule(c->schedule1), Schedule(c->schedule2), Schedule(c->schedule3),
                               high, low);
}

void DecryptWords(const CipherContext* c, uint32_t& high, uint32_t& low) {
  zkcrypt::DesEde3DecryptWords(Schedule(c->schedule1), Schedule(c->schedule2), Schedule(c->schedule3),
                               high, low);
}

// Encrypts `blocks` whole blocks from `in` to `out` in the context's mode.
void EncryptBlocks(CipherContext* c, const unsigned char* in, unsigned char* out, unsigned int blocks) {
  uint32_t chainHigh = LoadBig32(c->chain);
  uint32_t chainLow = LoadBig32(c->chain + 4);
  for (unsigned int i = 0; i < blocks; ++i, in += 8, out += 8) {
    uint32_t high = LoadBig32(in);
    uint32_t low = LoadBig32(in + 4);
    switch (c->mode) {
      case CIPHER_MODE_ECB:
        EncryptWords(c, high, low);
        break;
      case CIPHER_MODE_CBC:
        high ^= chainHigh;
        low ^= chainLow;
        EncryptWords(c, high, low);
        chainHigh = high;
        chainLow = low;
        break;
      case CIPHER_MODE_OFB:
        EncryptWords(c, chainHigh, chainLow);
        high ^= chainHigh;
        low ^= chainLow;
        break;
      default:  // CFB
        EncryptWords(c, chainHigh, chainLow);
        chainHigh ^= high;
        chainLow ^= low;
        high = chainHigh;
        low = chainLow;
        break;
    }
    StoreBig32(out, high);
    StoreBig32(out + 4, low);
  }
  StoreBig32(c->chain, chainHigh);
  StoreBig32(c->chain + 4, chainLow);
}

// ECB and CBC decryption of blocks two at a time (they do not depend on
// each other); returns the number of blocks done.
unsigned int DecryptBlockPairs(CipherContext* c, const unsigned char* in, unsigned char* out, unsigned int blocks,
                               uint32_t& chainHigh, uint32_t& chainLow) {
  const bool cbc = c->mode == CIPHER_MODE_CBC;
  unsigned int done = 0;
  for (; done + 2 <= blocks; done += 2, in += 16, out += 16) {
    const uint32_t cipher[4] = {LoadBig32(in), LoadBig32(in + 4), LoadBig32(in + 8), LoadBig32(in + 12)};
    uint32_t w[4] = {cipher[0], cipher[1], cipher[2], cipher[3]};
    zkcrypt::DesEde3DecryptWords2(Schedule(c->schedule1), Schedule(c->schedule2), Schedule(c->schedule3), w);
    if (cbc) {
      w[0] ^= chainHigh;
      w[1] ^= chainLow;
      w[2] ^= cipher[0];
      w[3] ^= cipher[1];
      chainHigh = cipher[2];
      chainLow = cipher[3];
    }
    for (int i = 0; i < 4; ++i) StoreBig32(out + 4 * i, w[i]);
  }
  return done;
}

// Decrypts `blocks` whole blocks from `in` to `out` in the context's mode.
void DecryptBlocks(CipherContext* c, const unsigned char* in, unsigned char* out, unsigned int blocks) {
  uint32_t chainHigh = LoadBig32(c->chain);
  uint32_t chainLow = LoadBig32(c->chain + 4);
  if (c->mode == CIPHER_MODE_ECB || c->mode == CIPHER_MODE_CBC) {
    const unsigned int done = DecryptBlockPairs(c, in, out, blocks, chainHigh, chainLow);
    in += 8 * done;
    out += 8 * done;
    blocks -= done;
  }
  for (unsigned int i = 0; i < blocks; ++i, in += 8, out += 8) {
    const uint32_t cipherHigh = LoadBig32(in);
    const uint32_t cipherLow = LoadBig32(in + 4);
    uint32_t high = cipherHigh;
    uint32_t low = cipherLow;
    switch (c->mode) {
      case CIPHER_MODE_ECB:
        DecryptWords(c, high, low);
        break;
      case CIPHER_MODE_CBC:
        DecryptWords(c, high, low);
        high ^= chainHigh;
        low ^= chainLow;
        chainHigh = cipherHigh;
        chainLow = cipherLow;
        break;
      case CIPHER_MODE_OFB:
        EncryptWords(c, chainHigh, chainLow);
        high ^= chainHigh;
        low ^= chainLow;
        break;
      default:  // CFB
        EncryptWords(c, chainHigh, chainLow);
        high ^= chainHigh;
        low ^= chainLow;
        chainHigh = cipherHigh;
        chainLow = cipherLow;
        break;
    }
    StoreBig32(out, high);
    StoreBig32(out + 4, low);
  }
  StoreBig32(c->chain, chainHigh);
  StoreBig32(c->chain + 4, chainLow);
}

// Builds one schedule, refusing weak and semi-weak keys.
int CipherKeySchedule(const unsigned char* key, uint32_t (&schedule)[16][2]) {
  if (zkcrypt::DesIsWeakKey(key)) return CIPHER_ERROR_WEAK_KEY;
  zkcrypt::DesKeySchedule(key, &schedule[0][0]);
  return 0;
}

// The OFB and CFB last step, shared by both directions: the keystream
// block E(chain) against the pending bytes.
void FinishStream(CipherContext* c, unsigned char* output, unsigned int* outputLength) {
  uint32_t high = LoadBig32(c->chain);
  uint32_t low = LoadBig32(c->chain + 4);
  EncryptWords(c, high, low);
  StoreBig32(c->chain, high);
  StoreBig32(c->chain + 4, low);
  const unsigned int n = c->pendingCount;
  if (c->mode == CIPHER_MODE_CFB) {
    for (int i = 0; i < 8; ++i) c->chain[i] ^= c->pending[i];
    std::memcpy(output, c->chain, n);
  } else {
    for (unsigned int i = 0; i < n; ++i) output[i] = c->pending[i] ^ c->chain[i];
  }
  *outputLength = n;
}

// Length of the padding of a decrypted last block, or a negative code.
int CipherCheckPadding(int padding, const unsigned char* block) {
  if (padding == CIPHER_PADDING_NONE) return 0;
  if (padding != CIPHER_PADDING_PKCS5) return -CIPHER_ERROR_PARAMETER;
  const int n = block[7];
  if (n < 1 || n > 8) return -CIPHER_ERROR_BAD_PADDING;
  for (int i = 8 - n; i < 8; ++i) {
    if (block[i] != n) return -CIPHER_ERROR_BAD_PADDING;
  }
  return n;
}

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// One pair of Crypt's input: two hex digits, or one digit followed by
// anything else (its value alone). A pair that does not start with a hex
// digit reads as 0; its text will normally fail the padding check later.
unsigned char ReadHexPair(char first, char second) {
  const int high = HexDigitValue(first);
  if (high < 0) return 0;
  const int low = HexDigitValue(second);
  return static_cast<unsigned char>(low < 0 ? high : high * 16 + low);
}

// Spaces become '+', and each "%2B" becomes one '+'.
std::string NormaliseHexText(const char* hex) {
  std::string text;
  text.reserve(std::strlen(hex));
  for (const char* p = hex; *p != '\0'; ++p) {
    if (*p == ' ') {
      text += '+';
    } else if (p[0] == '%' && p[1] == '2' && p[2] == 'B') {
      text += '+';
      p += 2;
    } else {
      text += *p;
    }
  }
  return text;
}

int CryptEncrypt(CipherContext* context, const char* input, char* output, unsigned int outputSize) {
  const size_t n = std::strlen(input);
  const size_t cipherLength = (n / 8 + 1) * 8;
  // The hex text and its NUL must fit; a cut text would not decrypt.
  if (cipherLength > (size_t(-1) - 1) / 2 || cipherLength * 2 + 1 > outputSize) return CIPHER_ERROR_PARAMETER;
  std::vector<unsigned char> cipher(cipherLength + 8, 0);
  unsigned int written = 0;
  int result = CipherEncryptUpdate(context, reinterpret_cast<const unsigned char*>(input),
                                   static_cast<unsigned int>(n), cipher.data(), &written);
  if (result != 0) return result;
  unsigned int last = 0;
  result = CipherEncryptFinal(context, cipher.data() + written, &last);
  if (result != 0) return result;
  CipherBytesToHex(cipher.data(), written + last, output, outputSize);
  return 0;
}

int CryptDecrypt(CipherContext* context, const char* input, char* output, unsigned int outputSize) {
  const size_t hexLength = std::strlen(input);
  std::vector<unsigned char> bytes(hexLength / 2 + 8, 0);
  unsigned int count = 0;
  CipherHexToBytes(input, bytes.data(), static_cast<unsigned int>(bytes.size()), &count);
  // Update output plus the final block, and a NUL behind the longest result.
  std::vector<unsigned char> plain(size_t(count) + 16, 0);
  unsigned int written = 0;
  int result = CipherDecryptUpdate(context, bytes.data(), count, plain.data(), &written);
  if (result != 0) return result;
  unsigned int last = 0;
  result = CipherDecryptFinal(context, plain.data() + written, &last);
  if (result != 0) return result;
  const size_t length = std::strlen(reinterpret_cast<const char*>(plain.data()));
  if (length >= outputSize) return CIPHER_ERROR_PARAMETER;
  std::memcpy(output, plain.data(), length);
  return 0;
}

}  // namespace

extern "C" {

int CipherSetKey(CipherContext* context, const unsigned char* key, unsigned int keyLength) {
  if (context == nullptr || key == nullptr) return CIPHER_ERROR_PARAMETER;
  if (keyLength != 16 && keyLength != 24) return CIPHER_ERROR_KEY_LENGTH;
  int result = CipherKeySchedule(key, context->schedule1);
  if (result == 0) result = CipherKeySchedule(key + 8, context->schedule2);
  if (result == 0) result = CipherKeySchedule(keyLength == 24 ? key + 16 : key, context->schedule3);
  return result;
}

int CipherEncryptUpdate(CipherContext* context, const unsigned char* input, unsigned int inputLength,
                        unsigned char* output, unsigned int* outputLength) {
  if (!IsUsable(context) || outputLength == nullptr || (input == nullptr && inputLength != 0) ||
      inputLength > 0xFFFFFFFFu - 8) {
    return CIPHER_ERROR_PARAMETER;
  }
  const unsigned int total = context->pendingCount + inputLength;
  *outputLength = total;
  if (total < 8) {
    if (inputLength != 0) std::memcpy(context->pending + context->pendingCount, input, inputLength);
    context->pendingCount = total;
    *outputLength = 0;
    return 0;
  }
  if (output == input || output == nullptr) return CIPHER_ERROR_PARAMETER;
  const unsigned int fill = 8 - context->pendingCount;
  std::memcpy(context->pending + context->pendingCount, input, fill);
  EncryptBlocks(context, context->pending, output, 1);
  const unsigned int rest = inputLength - fill;
  const unsigned int blocks = rest / 8;
  EncryptBlocks(context, input + fill, output + 8, blocks);
  const unsigned int tail = rest % 8;
  std::memcpy(context->pending, input + fill + blocks * 8, tail);
  context->pendingCount = tail;
  *outputLength = total - tail;
  return 0;
}

int CipherEncryptFinal(CipherContext* context, unsigned char* output, unsigned int* outputLength) {
  if (!IsUsable(context) || output == nullptr || outputLength == nullptr) return CIPHER_ERROR_PARAMETER;
  *outputLength = 0;
  if (context->mode == CIPHER_MODE_OFB || context->mode == CIPHER_MODE_CFB) {
    FinishStream(context, output, outputLength);
    return 0;
  }
  const unsigned int n = context->pendingCount;
  if (context->padding == CIPHER_PADDING_NONE) return n == 0 ? 0 : CIPHER_ERROR_PARTIAL_BLOCK;
  if (context->padding != CIPHER_PADDING_PKCS5 || n > 7) return CIPHER_ERROR_PARAMETER;
  std::memset(context->pending + n, static_cast<int>(8 - n), 8 - n);
  EncryptBlocks(context, context->pending, output, 1);
  *outputLength = 8;
  return 0;
}

int CipherDecryptUpdate(CipherContext* context, const unsigned char* input, unsigned int inputLength,
                        unsigned char* output, unsigned int* outputLength) {
  if (!IsUsable(context) || outputLength == nullptr || (input == nullptr && inputLength != 0) ||
      inputLength > 0xFFFFFFFFu - 8) {
    return CIPHER_ERROR_PARAMETER;
  }
  const unsigned int total = context->pendingCount + inputLength;
  *outputLength = total;
  if (total <= 8) {
    if (inputLength != 0) std::memcpy(context->pending + context->pendingCount, input, inputLength);
    context->pendingCount = total;
    *outputLength = 0;
    return 0;
  }
  if (output == input || output == nullptr) return CIPHER_ERROR_PARAMETER;
  const unsigned int fill = 8 - context->pendingCount;
  std::memcpy(context->pending + context->pendingCount, input, fill);
  DecryptBlocks(context, context->pending, output, 1);
  // The last 1-8 bytes always stay behind for the final step.
  unsigned int rest = inputLength - fill;
  const unsigned int blocks = (rest - 1) / 8;
  DecryptBlocks(context, input + fill, output + 8, blocks);
  rest -= blocks * 8;
  std::memcpy(context->pending, input + fill + blocks * 8, rest);
  context->pendingCount = rest;
  *outputLength = total - rest;
  return 0;
}

int CipherDecryptFinal(CipherContext* context, unsigned char* output, unsigned int* outputLength) {
  if (!IsUsable(context) || output == nullptr || outputLength == nullptr) return CIPHER_ERROR_PARAMETER;
  *outputLength = 0;
  if (context->mode == CIPHER_MODE_OFB || context->mode == CIPHER_MODE_CFB) {
    FinishStream(context, output, outputLength);
    return 0;
  }
  if (context->pendingCount == 0) return 0;
  if (context->pendingCount != 8) return CIPHER_ERROR_BLOCK_LENGTH;
  unsigned char block[8];
  DecryptBlocks(context, context->pending, block, 1);
  const int n = CipherCheckPadding(context->padding, block);
  if (n < 0) return -n;
  std::memcpy(output, block, 8 - n);
  *outputLength = 8 - n;
  return 0;
}

void CipherKeyFromPassPhrase(const char* passPhrase, unsigned char key[24], unsigned char ivSource[24],
                             unsigned int* keyLength, unsigned int* ivSourceLength) {
  size_t length = passPhrase == nullptr ? 0 : std::strlen(passPhrase);
  if (length > kKeyTextSize) length = kKeyTextSize;
  std::memset(key, ' ', kKeyTextSize);
  std::memset(ivSource, ' ', kKeyTextSize);
  if (length != 0) {
    std::memcpy(key, passPhrase, length);
    std::memcpy(ivSource, passPhrase, length);
  }
  if (keyLength != nullptr) *keyLength = kKeyTextSize;
  if (ivSourceLength != nullptr) *ivSourceLength = kKeyTextSize;
}

int Crypt(const char* passPhrase, int decrypt, const char* input, char* output, unsigned int outputSize) {
  if (input == nullptr || output == nullptr) return CIPHER_ERROR_PARAMETER;
  unsigned char key[kKeyTextSize];
  unsigned char ivSource[kKeyTextSize];
  unsigned int keyLength = 0;
  unsigned int ivLength = 0;
  CipherKeyFromPassPhrase(passPhrase, key, ivSource, &keyLength, &ivLength);
  CipherContext context;
  std::memset(&context, 0, sizeof context);
  context.mode = CIPHER_MODE_CBC;
  context.padding = CIPHER_PADDING_PKCS5;
  std::memcpy(context.iv, ivSource, 8);
  context.pendingCount = 0;
  int result = CipherSetKey(&context, key, keyLength);
  if (result != 0) return result;
  std::memcpy(context.chain, context.iv, 8);
  try {
    return decrypt == 0 ? CryptEncrypt(&context, input, output, outputSize)
                        : CryptDecrypt(&context, input, output, outputSize);
  } catch (const std::bad_alloc&) {
    return CIPHER_ERROR_PARAMETER;
  }
}

int SecureDecrypt(const char* input, char* output, unsigned int outputSize) {
  if (output == nullptr) return 0;
  return Crypt(kStoredPassPhrase, 1, input, output, outputSize) == 0 ? 1 : 0;
}

void CipherHexToBytes(const char* hex, unsigned char* output, unsigned int outputSize, unsigned int* count) {
  if (count != nullptr) *count = 0;
  if (hex == nullptr || output == nullptr) return;
  std::string text;
  try {
    text = NormaliseHexText(hex);
  } catch (const std::bad_alloc&) {
    return;
  }
  const size_t length = text.size();
  const bool separated = text.find('+') != std::string::npos;
  const size_t step = separated ? 3 : 2;
  size_t pairs = separated ? (length + 1) / 3 : length / 2;
  if (pairs > outputSize) pairs = outputSize;
  for (size_t i = 0; i < pairs; ++i) output[i] = ReadHexPair(text[step * i], text[step * i + 1]);
  if (count != nullptr) *count = static_cast<unsigned int>(pairs);
}

int CipherBytesToHex(const unsigned char* bytes, unsigned int count, char* output, unsigned int outputSize) {
  static const char kDigits[] = "0123456789abcdef";
  if (bytes == nullptr || output == nullptr || outputSize == 0) return 1;
  size_t position = 0;
  for (unsigned int i = 0; i < count && position + 3 <= outputSize; ++i, position += 2) {
    output[position] = kDigits[bytes[i] >> 4];
    output[position + 1] = kDigits[bytes[i] & 15];
  }
  output[position] = '\0';
  return 1;
}

}  // extern "C"
