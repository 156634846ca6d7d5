// Single-DES core: FIPS 46-3 tables, key schedule and the round function
// driven by combined S-box/permutation tables built at compile time.
#include "zkcrypt/descore.h"

#include <cstring>

namespace zkcrypt {
namespace {

// The eight S-boxes, each four rows of sixteen columns.
constexpr unsigned char kSBox[8][64] = {
    {14, 4, 13, 1, 2, 15, 11, 8, 3, 10, 6, 12, 5, 9, 0, 7,
     0, 15, 7, 4, 14, 2, 13, 1, 10, 6, 12, 11, 9, 5, 3, 8,
     4, 1, 14, 8, 13, 6, 2, 11, 15, 12, 9, 7, 3, 10, 5, 0,
     15, 12, 8, 2, 4, 9, 1, 7, 5, 11, 3, 14, 10, 0, 6, 13},
    {15, 1, 8, 14, 6, 11, 3, 4, 9, 7, 2, 13, 12, 0, 5, 10,
     3, 13, 4, 7, 15, 2, 8, 14, 12, 0, 1, 10, 6, 9, 11, 5,
     0, 14, 7, 11, 10, 4, 13, 1, 5, 8, 12, 6, 9, 3, 2, 15,
     13, 8, 10, 1, 3, 15, 4, 2, 11, 6, 7, 12, 0, 5, 14, 9},
    {10, 0, 9, 14, 6, 3, 15, 5, 1, 13, 12, 7, 11, 4, 2, 8,
     13, 7, 0, 9, 3, 4, 6, 10, 2, 8, 5, 14, 12, 11, 15, 1,
     13, 6, 4, 9, 8, 15, 3, 0, 11, 1, 2, 12, 5, 10, 14, 7,
     1, 10, 13, 0, 6, 9, 8, 7, 4, 15, 14, 3, 11, 5, 2, 12},
    {7, 13, 14, 3, 0, 6, 9, 10, 1, 2, 8, 5, 11, 12, 4, 15,
     13, 8, 11, 5, 6, 15, 0, 3, 4, 7, 2, 12, 1, 10, 14, 9,
     10, 6, 9, 0, 12, 11, 7, 13, 15, 1, 3, 14, 5, 2, 8, 4,
     3, 15, 0, 6, 10, 1, 13, 8, 9, 4, 5, 11, 12, 7, 2, 14},
    {2, 12, 4, 1, 7, 10, 11, 6, 8, 5, 3, 15, 13, 0, 14, 9,
     14, 11, 2, 12, 4, 7, 13, 1, 5, 0, 15, 10, 3, 9, 8, 6,
     4, 2, 1, 11, 10, 13, 7, 8, 15, 9, 12, 5, 6, 3, 0, 14,
     11, 8, 12, 7, 1, 14, 2, 13, 6, 15, 0, 9, 10, 4, 5, 3},
    {12, 1, 10, 15, 9, 2, 6, 8, 0, 13, 3, 4, 14, 7, 5, 11,
     10, 15, 4, 2, 7, 12, 9, 5, 6, 1, 13, 14, 0, 11, 3, 8,
     9, 14, 15, 5, 2, 8, 12, 3, 7, 0, 4, 10, 1, 13, 11, 6,
     4, 3, 2, 12, 9, 5, 15, 10, 11, 14, 1, 7, 6, 0, 8, 13},
    {4, 11, 2, 14, 15, 0, 8, 13, 3, 12, 9, 7, 5, 10, 6, 1,
     13, 0, 11, 7, 4, 9, 1, 10, 14, 3, 5, 12, 2, 15, 8, 6,
     1, 4, 11, 13, 12, 3, 7, 14, 10, 15, 6, 8, 0, 5, 9, 2,
     6, 11, 13, 8, 1, 4, 10, 7, 9, 5, 0, 15, 14, 2, 3, 12},
    {13, 2, 8, 4, 6, 15, 11, 1, 10, 9, 3, 14, 5, 0, 12, 7,
     1, 15, 13, 8, 10, 3, 7, 4, 12, 5, 6, 11, 0, 14, 9, 2,
     7, 11, 4, 1, 9, 12, 14, 2, 0, 6, 10, 13, 15, 3, 5, 8,
     2, 1, 14, 7, 4, 10, 8, 13, 15, 12, 9, 0, 3, 5, 6, 11},
};

// Permutation P applied to the S-box outputs (1-based bit numbers).
constexpr unsigned char kP[32] = {16, 7, 20, 21, 29, 12, 28, 17, 1, 15, 23, 26, 5, 18, 31, 10,
                                  2, 8, 24, 14, 32, 27, 3, 9, 19, 13, 30, 6, 22, 11, 4, 25};

// Permuted choices of the key schedule (1-based bit numbers).
constexpr unsigned char kPC1[56] = {57, 49, 41, 33, 25, 17, 9, 1, 58, 50, 42, 34, 26, 18,
                                    10, 2, 59, 51, 43, 35, 27, 19, 11, 3, 60, 52, 44, 36,
                                    63, 55, 47, 39, 31, 23, 15, 7, 62, 54, 46, 38, 30, 22,
                                    14, 6, 61, 53, 45, 37, 29, 21, 13, 5, 28, 20, 12, 4};
constexpr unsigned char kPC2[48] = {14, 17, 11, 24, 1, 5, 3, 28, 15, 6, 21, 10,
                                    23, 19, 12, 4, 26, 8, 16, 7, 27, 20, 13, 2,
                                    41, 52, 31, 37, 47, 55, 30, 40, 51, 45, 33, 48,
                                    44, 49, 39, 56, 34, 53, 46, 42, 50, 36, 29, 32};
constexpr unsigned char kRotations[16] = {1, 1, 2, 2, 2, 2, 2, 2, 1, 2, 2, 2, 2, 2, 2, 1};

// The four weak and twelve semi-weak keys of NIST SP 800-67, odd parity.
constexpr unsigned char kWeakKeys[16][8] = {
    {0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01},
    {0xFE, 0xFE, 0xFE, 0xFE, 0xFE, 0xFE, 0xFE, 0xFE},
    {0xE0, 0xE0, 0xE0, 0xE0, 0xF1, 0xF1, 0xF1, 0xF1},
    {0x1F, 0x1F, 0x1F, 0x1F, 0x0E, 0x0E, 0x0E, 0x0E},
    {0x01, 0x1F, 0x01, 0x1F, 0x01, 0x0E, 0x01, 0x0E},
    {0x1F, 0x01, 0x1F, 0x01, 0x0E, 0x01, 0x0E, 0x01},
    {0x01, 0xE0, 0x01, 0xE0, 0x01, 0xF1, 0x01, 0xF1},
    {0xE0, 0x01, 0xE0, 0x01, 0xF1, 0x01, 0xF1, 0x01},
    {0x01, 0xFE, 0x01, 0xFE, 0x01, 0xFE, 0x01, 0xFE},
    {0xFE, 0x01, 0xFE, 0x01, 0xFE, 0x01, 0xFE, 0x01},
    {0x1F, 0xE0, 0x1F, 0xE0, 0x0E, 0xF1, 0x0E, 0xF1},
    {0xE0, 0x1F, 0xE0, 0x1F, 0xF1, 0x0E, 0xF1, 0x0E},
    {0x1F, 0xFE, 0x1F, 0xFE, 0x0E, 0xFE, 0x0E, 0xFE},
    {0xFE, 0x1F, 0xFE, 0x1F, 0xFE, 0x0E, 0xFE, 0x0E},
    {0xE0, 0xFE, 0xE0, 0xFE, 0xF1, 0xFE, 0xF1, 0xFE},
    {0xFE, 0xE0, 0xFE, 0xE0, 0xFE, 0xF1, 0xFE, 0xF1},
};

constexpr uint32_t RotateLeft(uint32_t v, int n) { return (v << n) | (v >> (32 - n)); }
constexpr uint32_t RotateRight(uint32_t v, int n) { return (v >> n) | (v << (32 - n)); }

// Each S-box merged with P: entry x of table j is P applied to S-box j's
// output for the 6-bit input x, in the round's frame where both halves are
// kept rotated left by one bit (so every E-box group is the low six bits of
// a byte of either the half or the half rotated right by four). Each table
// repeats its 64 entries four times, so that a whole byte can index it
// without masking off the two bits above the group.
struct SpTables {
  uint32_t t[8][256];
};

constexpr SpTables MakeSpTables() {
  SpTables sp{};
  for (int j = 0; j < 8; ++j) {
    for (int x = 0; x < 256; ++x) {
      const int row = ((x >> 4) & 2) | (x & 1);
      const int column = (x >> 1) & 15;
      const uint32_t in = uint32_t(kSBox[j][row * 16 + column]) << (28 - 4 * j);
      uint32_t out = 0;
      for (int i = 0; i < 32; ++i) {
        if ((in >> (32 - kP[i])) & 1u) out |= 1u << (31 - i);
      }
      sp.t[j][x] = RotateLeft(out, 1);
    }
  }
  return sp;
}

constexpr SpTables kSp = MakeSpTables();

// The cipher function f(R, K) in the rotated frame; `k` holds the round key
// as two words: the groups of S-boxes 1,3,5,7 and those of 2,4,6,8.
inline uint32_t RoundFunction(uint32_t r, const uint32_t* k) {
  uint32_t w = RotateRight(r, 4) ^ k[0];
  uint32_t f = kSp.t[6][w & 255] | kSp.t[4][(w >> 8) & 255] | kSp.t[2][(w >> 16) & 255] |
               kSp.t[0][w >> 24];
  w = r ^ k[1];
  f |= kSp.t[7][w & 255] | kSp.t[5][(w >> 8) & 255] | kSp.t[3][(w >> 16) & 255] | kSp.t[1][w >> 24];
  return f;
}

// Sixteen rounds without the final swap; afterwards the block is (r, l).
inline void EncryptRounds(const uint32_t* ks, uint32_t& l, uint32_t& r) {
  for (int i = 0; i < kDesScheduleWords; i += 4) {
    l ^= RoundFunction(r, ks + i);
    r ^= RoundFunction(l, ks + i + 2);
  }
}

inline void DecryptRounds(const uint32_t* ks, uint32_t& l, uint32_t& r) {
  for (int i = kDesScheduleWords - 2; i > 0; i -= 4) {
    l ^= RoundFunction(r, ks + i);
    r ^= RoundFunction(l, ks + i - 2);
  }
}

// The same for two independent blocks at once: the two dependency chains
// interleave, which keeps the processor busy while table loads are pending.
inline void EncryptRounds2(const uint32_t* ks, uint32_t* b) {
  for (int i = 0; i < kDesScheduleWords; i += 4) {
    b[0] ^= RoundFunction(b[1], ks + i);
    b[2] ^= RoundFunction(b[3], ks + i);
    b[1] ^= RoundFunction(b[0], ks + i + 2);
    b[3] ^= RoundFunction(b[2], ks + i + 2);
  }
}

inline void DecryptRounds2(const uint32_t* ks, uint32_t* b) {
  for (int i = kDesScheduleWords - 2; i > 0; i -= 4) {
    b[0] ^= RoundFunction(b[1], ks + i);
    b[2] ^= RoundFunction(b[3], ks + i);
    b[1] ^= RoundFunction(b[0], ks + i - 2);
    b[3] ^= RoundFunction(b[2], ks + i - 2);
  }
}

// Swaps the bits of `a` selected by `mask << shift` with those of `b`
// selected by `mask`.
inline void DeltaSwap(uint32_t& a, uint32_t& b, int shift, uint32_t mask) {
  const uint32_t w = ((a >> shift) ^ b) & mask;
  b ^= w;
  a ^= w << shift;
}

// Initial permutation by word-wide bit swaps, leaving both halves rotated
// left by one bit for the round function.
inline void InitialPermutation(uint32_t& l, uint32_t& r) {
  DeltaSwap(l, r, 4, 0x0f0f0f0fu);
  DeltaSwap(l, r, 16, 0x0000ffffu);
  DeltaSwap(r, l, 2, 0x33333333u);
  DeltaSwap(r, l, 8, 0x00ff00ffu);
  r = RotateLeft(r, 1);
  const uint32_t w = (l ^ r) & 0xaaaaaaaau;
  l ^= w;
  r ^= w;
  l = RotateLeft(l, 1);
}

// Exact inverse of InitialPermutation.
inline void FinalPermutation(uint32_t& l, uint32_t& r) {
  l = RotateRight(l, 1);
  const uint32_t w = (l ^ r) & 0xaaaaaaaau;
  l ^= w;
  r ^= w;
  r = RotateRight(r, 1);
  DeltaSwap(r, l, 8, 0x00ff00ffu);
  DeltaSwap(r, l, 2, 0x33333333u);
  DeltaSwap(l, r, 16, 0x0000ffffu);
  DeltaSwap(l, r, 4, 0x0f0f0f0fu);
}

inline void Swap(uint32_t& a, uint32_t& b) {
  const uint32_t t = a;
  a = b;
  b = t;
}

}  // namespace

bool DesIsWeakKey(const unsigned char key[8]) {
  for (const auto& weak : kWeakKeys) {
    if (std::memcmp(weak, key, 8) == 0) return true;
  }
  return false;
}

void DesKeySchedule(const unsigned char key[8], uint32_t* schedule) {
  const uint64_t k = (uint64_t(LoadBig32(key)) << 32) | LoadBig32(key + 4);
  uint32_t c = 0;
  uint32_t d = 0;
  for (int i = 0; i < 28; ++i) {
    c = (c << 1) | uint32_t((k >> (64 - kPC1[i])) & 1u);
    d = (d << 1) | uint32_t((k >> (64 - kPC1[i + 28])) & 1u);
  }
  for (int round = 0; round < 16; ++round) {
    const int n = kRotations[round];
    c = ((c << n) | (c >> (28 - n))) & 0x0fffffffu;
    d = ((d << n) | (d >> (28 - n))) & 0x0fffffffu;
    const uint64_t cd = (uint64_t(c) << 28) | d;
    uint64_t subkey = 0;
    for (int i = 0; i < 48; ++i) subkey = (subkey << 1) | ((cd >> (56 - kPC2[i])) & 1u);
    uint32_t group[8];
    for (int g = 0; g < 8; ++g) group[g] = uint32_t(subkey >> (42 - 6 * g)) & 63u;
    schedule[2 * round] = (group[0] << 24) | (group[2] << 16) | (group[4] << 8) | group[6];
    schedule[2 * round + 1] = (group[1] << 24) | (group[3] << 16) | (group[5] << 8) | group[7];
  }
}

void DesEncryptBlock(const uint32_t* schedule, unsigned char block[8]) {
  uint32_t l = LoadBig32(block);
  uint32_t r = LoadBig32(block + 4);
  InitialPermutation(l, r);
  EncryptRounds(schedule, l, r);
  FinalPermutation(r, l);
  StoreBig32(block, r);
  StoreBig32(block + 4, l);
}

void DesDecryptBlock(const uint32_t* schedule, unsigned char block[8]) {
  uint32_t l = LoadBig32(block);
  uint32_t r = LoadBig32(block + 4);
  InitialPermutation(l, r);
  DecryptRounds(schedule, l, r);
  FinalPermutation(r, l);
  StoreBig32(block, r);
  StoreBig32(block + 4, l);
}

// Between the three DES steps the final and the next initial permutation
// cancel out; only the halves change places.
void DesEde3EncryptWords(const uint32_t* k1, const uint32_t* k2, const uint32_t* k3,
                         uint32_t& high, uint32_t& low) {
  uint32_t l = high;
  uint32_t r = low;
  InitialPermutation(l, r);
  EncryptRounds(k1, l, r);
  Swap(l, r);
  DecryptRounds(k2, l, r);
  Swap(l, r);
  EncryptRounds(k3, l, r);
  FinalPermutation(r, l);
  high = r;
  low = l;
}

void DesEde3DecryptWords(const uint32_t* k1, const uint32_t* k2, const uint32_t* k3,
                         uint32_t& high, uint32_t& low) {
  uint32_t l = high;
  uint32_t r = low;
  InitialPermutation(l, r);
  DecryptRounds(k3, l, r);
  Swap(l, r);
  EncryptRounds(k2, l, r);
  Swap(l, r);
  DecryptRounds(k1, l, r);
  FinalPermutation(r, l);
  high = r;
  low = l;
}

void DesEde3DecryptWords2(const uint32_t* k1, const uint32_t* k2, const uint32_t* k3, uint32_t* words) {
  // words: high and low of the first block, then of the second; the rounds
  // work on (l, r) pairs in the same places.
  InitialPermutation(words[0], words[1]);
  InitialPermutation(words[2], words[3]);
  DecryptRounds2(k3, words);
  Swap(words[0], words[1]);
  Swap(words[2], words[3]);
  EncryptRounds2(k2, words);
  Swap(words[0], words[1]);
  Swap(words[2], words[3]);
  DecryptRounds2(k1, words);
  FinalPermutation(words[1], words[0]);
  FinalPermutation(words[3], words[2]);
  Swap(words[0], words[1]);
  Swap(words[2], words[3]);
}

void DesEde3EncryptBlock(const uint32_t* k1, const uint32_t* k2, const uint32_t* k3,
                         unsigned char block[8]) {
  uint32_t high = LoadBig32(block);
  uint32_t low = LoadBig32(block + 4);
  DesEde3EncryptWords(k1, k2, k3, high, low);
  StoreBig32(block, high);
  StoreBig32(block + 4, low);
}

void DesEde3DecryptBlock(const uint32_t* k1, const uint32_t* k2, const uint32_t* k3,
                         unsigned char block[8]) {
  uint32_t high = LoadBig32(block);
  uint32_t low = LoadBig32(block + 4);
  DesEde3DecryptWords(k1, k2, k3, high, low);
  StoreBig32(block, high);
  StoreBig32(block + 4, low);
}

}  // namespace zkcrypt
