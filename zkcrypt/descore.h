// Single-DES core shared by both Triple-DES implementations: key schedule,
// weak-key test and the table-driven block operation (FIPS 46-3).
#ifndef ZKCRYPT_DESCORE_H
#define ZKCRYPT_DESCORE_H

#include <cstdint>

namespace zkcrypt {

// Number of 32-bit words in one DES key schedule: 16 rounds of two words.
constexpr int kDesScheduleWords = 32;

// Reads four bytes as a big-endian 32-bit word.
inline uint32_t LoadBig32(const unsigned char* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

// Writes a 32-bit word as four big-endian bytes.
inline void StoreBig32(unsigned char* p, uint32_t v) {
  p[0] = static_cast<unsigned char>(v >> 24);
  p[1] = static_cast<unsigned char>(v >> 16);
  p[2] = static_cast<unsigned char>(v >> 8);
  p[3] = static_cast<unsigned char>(v);
}

// Returns true when the 8 key bytes equal, byte for byte (parity bits
// included), one of the four weak or twelve semi-weak DES keys.
bool DesIsWeakKey(const unsigned char key[8]);

// Builds the 16 round keys of an 8-byte key (parity bits ignored) into
// `schedule` (kDesScheduleWords words). Does not test for weak keys.
void DesKeySchedule(const unsigned char key[8], uint32_t* schedule);

// Encrypts or decrypts one 8-byte block in place with one schedule.
void DesEncryptBlock(const uint32_t* schedule, unsigned char block[8]);
void DesDecryptBlock(const uint32_t* schedule, unsigned char block[8]);

// DES-EDE3 on a block held as two big-endian words (`high` = bytes 0-3):
// encryption is E(k1), D(k2), E(k3); decryption D(k3), E(k2), D(k1).
void DesEde3EncryptWords(const uint32_t* k1, const uint32_t* k2, const uint32_t* k3,
                         uint32_t& high, uint32_t& low);
void DesEde3DecryptWords(const uint32_t* k1, const uint32_t* k2, const uint32_t* k3,
                         uint32_t& high, uint32_t& low);

// DES-EDE3 decryption of two blocks at once, each as two big-endian words
// (words[0], words[1] the first block; words[2], words[3] the second):
// faster than two single calls where blocks are independent (CBC, ECB).
void DesEde3DecryptWords2(const uint32_t* k1, const uint32_t* k2, const uint32_t* k3, uint32_t* words);

// DES-EDE3 on one 8-byte block in place.
void DesEde3EncryptBlock(const uint32_t* k1, const uint32_t* k2, const uint32_t* k3,
                         unsigned char block[8]);
void DesEde3DecryptBlock(const uint32_t* k1, const uint32_t* k2, const uint32_t* k3,
                         unsigned char block[8]);

}  // namespace zkcrypt

#endif  // ZKCRYPT_DESCORE_H
