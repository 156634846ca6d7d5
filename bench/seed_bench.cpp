// Speed of the clipboard reader's SEED-128 block decryption against Crypto++
// in the same process: 16 MB decrypted block by block, as BENCH lines
// (format in bench/CMakeLists.txt); the goal is at least par.
#include <cryptopp/modes.h>
#include <cryptopp/seed.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "bench/benchspeed.h"
#include "zkrunparammodulelib/zkseed.h"

namespace {

constexpr size_t kSize = 16u << 20;

// The reader takes words little-endian, Crypto++ big-endian: reverse each 4-byte group.
std::vector<unsigned char> SwapWordBytes(std::vector<unsigned char> bytes) {
  for (size_t i = 0; i + 3 < bytes.size(); i += 4) {
    std::swap(bytes[i], bytes[i + 3]);
    std::swap(bytes[i + 1], bytes[i + 2]);
  }
  return bytes;
}

}  // namespace

int main() {
  std::mt19937 random(4269);
  std::vector<unsigned char> key(SEED128_KEY_BYTES), cipher(kSize);
  for (unsigned char& b : key) b = static_cast<unsigned char>(random());
  for (unsigned char& b : cipher) b = static_cast<unsigned char>(random());

  std::vector<unsigned char> ours(kSize);
  const double oursSpeed = zkbench::BestSpeed(kSize, [&] {
    uint32_t roundKeys[SEED128_ROUND_KEY_WORDS];
    Seed128ExpandKey(roundKeys, key.data());
    std::memcpy(ours.data(), cipher.data(), kSize);
    for (size_t at = 0; at < kSize; at += SEED128_BLOCK_BYTES) Seed128DecryptBlock(&ours[at], roundKeys);
  });

  const std::vector<unsigned char> theirKey = SwapWordBytes(key), theirCipher = SwapWordBytes(cipher);
  std::vector<unsigned char> theirs(kSize);
  const double theirSpeed = zkbench::BestSpeed(kSize, [&] {
    CryptoPP::ECB_Mode<CryptoPP::SEED>::Decryption d(theirKey.data(), theirKey.size());
    d.ProcessData(theirs.data(), theirCipher.data(), kSize);
  });

  std::printf("BENCH seed-ecb-decrypt-16MB %.2f MB/s cryptopp %.2f %.3f >=1.0\n", oursSpeed, theirSpeed,
              oursSpeed / theirSpeed);
  if (SwapWordBytes(ours) != theirs) {
    std::printf("MISMATCH: SEED decryption differs from Crypto++\n");
    return 1;
  }
  return 0;
}
