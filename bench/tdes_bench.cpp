// Speed of the two Triple-DES implementations against Crypto++ in the same
// run: (a) corecipher CBC decryption of 16 MB, (b) CZKTDESModule hex
// encryption and decryption of 16 MB. Prints MB/s and the ratio to Crypto++.
#include <cryptopp/des.h>
#include <cryptopp/filters.h>
#include <cryptopp/hex.h>
#include <cryptopp/modes.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "zkcrypt/corecipher.h"
#include "zkrunparammodulelib/zktdesmodule.h"

namespace {

constexpr size_t kSize = 16u << 20;
constexpr int kRounds = 3;
const char kPassPhrase[] = "Kx7pQ2mZ9rT4wB1c";

// Best of kRounds runs, in MB/s of `bytes`.
double Speed(size_t bytes, const std::function<void()>& run) {
  double best = 1e30;
  for (int i = 0; i < kRounds; ++i) {
    const auto start = std::chrono::steady_clock::now();
    run();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (took.count() < best) best = took.count();
  }
  return double(bytes) / (1024.0 * 1024.0) / best;
}

void Report(const char* what, double ours, double theirs) {
  std::printf("%-34s ours %7.2f MB/s  Crypto++ %7.2f MB/s  ratio %.2f\n", what, ours, theirs, ours / theirs);
}

bool Check(bool ok, const char* what) {
  if (!ok) std::printf("MISMATCH: %s\n", what);
  return ok;
}

}  // namespace

int main() {
  std::mt19937 random(1);
  std::string plain(kSize, '\0');
  for (char& c : plain) c = static_cast<char>('a' + random() % 26);

  unsigned char key[24];
  unsigned char ivSource[24];
  unsigned int keyLength = 0;
  unsigned int ivLength = 0;
  CipherKeyFromPassPhrase(kPassPhrase, key, ivSource, &keyLength, &ivLength);

  // Reference ciphertext (CBC, PKCS#5) from Crypto++.
  std::string cipher;
  {
    CryptoPP::CBC_Mode<CryptoPP::DES_EDE3>::Encryption e(key, 24, ivSource);
    CryptoPP::StringSource(plain, true, new CryptoPP::StreamTransformationFilter(e, new CryptoPP::StringSink(cipher)));
  }
  bool ok = true;

  // (a) CBC decryption of the 16 MB ciphertext.
  std::vector<unsigned char> ours(cipher.size() + 16);
  const double oursA = Speed(cipher.size(), [&] {
    CipherContext c;
    std::memset(&c, 0, sizeof c);
    c.mode = CIPHER_MODE_CBC;
    c.padding = CIPHER_PADDING_PKCS5;
    std::memcpy(c.iv, ivSource, 8);
    std::memcpy(c.chain, ivSource, 8);
    CipherSetKey(&c, key, 24);
    unsigned int n = 0;
    unsigned int last = 0;
    CipherDecryptUpdate(&c, reinterpret_cast<const unsigned char*>(cipher.data()),
                        static_cast<unsigned int>(cipher.size()), ours.data(), &n);
    CipherDecryptFinal(&c, ours.data() + n, &last);
    ok &= Check(n + last == plain.size() && std::memcmp(ours.data(), plain.data(), plain.size()) == 0, "corecipher");
  });
  std::vector<unsigned char> theirs(cipher.size());
  const double theirsA = Speed(cipher.size(), [&] {
    CryptoPP::CBC_Mode<CryptoPP::DES_EDE3>::Decryption d(key, 24, ivSource);
    d.ProcessData(theirs.data(), reinterpret_cast<const unsigned char*>(cipher.data()), cipher.size());
  });
  Report("corecipher CBC decrypt (16 MB)", oursA, theirsA);

  // (b) CZKTDESModule hex encryption and decryption against Crypto++ with
  // its hex encoder and decoder.
  CZKTDESModule module;
  if (module.Init(kPassPhrase, TDES_MODE_CBC, TDES_PADDING_PKCS5) != 0) return 1;
  std::vector<char> hex(TDESGetHexSize(static_cast<unsigned>(plain.size())));
  int hexLength = 0;
  const double oursEncrypt = Speed(plain.size(), [&] {
    module.EncryptToHex(plain.data(), static_cast<int>(plain.size()), hex.data(), static_cast<int>(hex.size()), &hexLength);
  });
  std::string theirHex;
  const double theirsEncrypt = Speed(plain.size(), [&] {
    theirHex.clear();
    CryptoPP::CBC_Mode<CryptoPP::DES_EDE3>::Encryption e(key, 24, ivSource);
    CryptoPP::StringSource(plain, true, new CryptoPP::StreamTransformationFilter(
        e, new CryptoPP::HexEncoder(new CryptoPP::StringSink(theirHex), false)));
  });
  ok &= Check(theirHex == std::string(hex.data(), hexLength), "EncryptToHex");
  Report("CZKTDESModule EncryptToHex (16 MB)", oursEncrypt, theirsEncrypt);

  std::vector<char> back(TDESGetPlainBufferSize(static_cast<unsigned>(hexLength)));
  int backLength = 0;
  const double oursDecrypt = Speed(plain.size(), [&] {
    module.DecryptFromHex(hex.data(), hexLength, back.data(), static_cast<int>(back.size()), &backLength);
  });
  std::string theirPlain;
  const double theirsDecrypt = Speed(plain.size(), [&] {
    theirPlain.clear();
    CryptoPP::CBC_Mode<CryptoPP::DES_EDE3>::Decryption d(key, 24, ivSource);
    CryptoPP::StringSource(theirHex, true, new CryptoPP::HexDecoder(
        new CryptoPP::StreamTransformationFilter(d, new CryptoPP::StringSink(theirPlain))));
  });
  ok &= Check(theirPlain == plain && std::string(back.data(), backLength) == plain, "DecryptFromHex");
  Report("CZKTDESModule DecryptFromHex (16 MB)", oursDecrypt, theirsDecrypt);
  return ok ? 0 : 1;
}
