// SEED-128 decryption of the clipboard reader, with the 32-bit words of key and block taken little-endian.
#ifndef ZKRUNPARAMMODULELIB_ZKSEED_H
#define ZKRUNPARAMMODULELIB_ZKSEED_H

#include <cstdint>

enum { SEED128_ROUND_KEY_WORDS = 32, SEED128_BLOCK_BYTES = 16, SEED128_KEY_BYTES = 16 };

// Fills the 32 round-key words (16 rounds, two each) from a 16-byte key whose
// four words are read little-endian.
void Seed128ExpandKey(uint32_t roundKeys[SEED128_ROUND_KEY_WORDS], const unsigned char key16[SEED128_KEY_BYTES]);

// Decrypts one 16-byte block in place; its words are read and stored little-endian.
void Seed128DecryptBlock(unsigned char block16[SEED128_BLOCK_BYTES], const uint32_t roundKeys[SEED128_ROUND_KEY_WORDS]);

#endif  // ZKRUNPARAMMODULELIB_ZKSEED_H
