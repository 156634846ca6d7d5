// Speed of the two Triple-DES implementations against Crypto++ in the same
// run: (a) corecipher CBC decryption of 16 MB, (b) CZKTDESModule hex
// encryption and decryption of 16 MB. Prints MB/s and the ratio to Crypto++
// as BENCH lines (format in bench/CMakeLists.txt); the goal is at least par.
#include <cryptopp/des.h>
#include <cryptopp/filters.h>
#include <cryptopp/hex.h>
#include <cryptopp/modes.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "bench/benchspeed.h"
#include "zkcrypt/corecipher.h"
#include "zkrunparammodulelib/zktdesmodule.h"

namespace {

constexpr size_t kSize = 16u << 20;
const char kPassPhrase[] = "Kx7pQ2mZ9rT4wB1c";

void Report(const char* what, double ours, double theirs) {
  std::printf("BENCH %s %.2f MB/s cryptopp %.2f %.3f >=1.0\n", what, ours, theirs, ours / theirs);
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
  const double oursA = zkbench::BestSpeed(cipher.size(), [&] {
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
  const double theirsA = zkbench::BestSpeed(cipher.size(), [&] {
    CryptoPP::CBC_Mode<CryptoPP::DES_EDE3>::Decryption d(key, 24, ivSource);
    d.ProcessData(theirs.data(), reinterpret_cast<const unsigned char*>(cipher.data()), cipher.size());
  });
  Report("corecipher-cbc-decrypt-16MB", oursA, theirsA);

  // (b) CZKTDESModule hex encryption and decryption against Crypto++ with
  // its hex encoder and decoder.
  CZKTDESModule module;
  if (module.Init(kPassPhrase, TDES_MODE_CBC, TDES_PADDING_PKCS5) != 0) return 1;
  std::vector<char> hex(TDESGetHexSize(static_cast<unsigned>(plain.size())));
  int hexLength = 0;
  const double oursEncrypt = zkbench::BestSpeed(plain.size(), [&] {
    module.EncryptToHex(plain.data(), static_cast<int>(plain.size()), hex.data(), static_cast<int>(hex.size()), &hexLength);
  });
  std::string theirHex;
  const double theirsEncrypt = zkbench::BestSpeed(plain.size(), [&] {
    theirHex.clear();
    CryptoPP::CBC_Mode<CryptoPP::DES_EDE3>::Encryption e(key, 24, ivSource);
    CryptoPP::StringSource(plain, true, new CryptoPP::StreamTransformationFilter(
        e, new CryptoPP::HexEncoder(new CryptoPP::StringSink(theirHex), false)));
  });
  ok &= Check(theirHex == std::string(hex.data(), hexLength), "EncryptToHex");
  Report("CZKTDESModule-EncryptToHex-16MB", oursEncrypt, theirsEncrypt);

  std::vector<char> back(TDESGetPlainBufferSize(static_cast<unsigned>(hexLength)));
  int backLength = 0;
  const double oursDecrypt = zkbench::BestSpeed(plain.size(), [&] {
    module.DecryptFromHex(hex.data(), hexLength, back.data(), static_cast<int>(back.size()), &backLength);
  });
  std::string theirPlain;
  const double theirsDecrypt = zkbench::BestSpeed(plain.size(), [&] {
    theirPlain.clear();
    CryptoPP::CBC_Mode<CryptoPP::DES_EDE3>::Decryption d(key, 24, ivSource);
    CryptoPP::StringSource(theirHex, true, new CryptoPP::HexDecoder(
        new CryptoPP::StreamTransformationFilter(d, new CryptoPP::StringSink(theirPlain))));
  });
  ok &= Check(theirPlain == plain && std::string(back.data(), backLength) == plain, "DecryptFromHex");
  Report("CZKTDESModule-DecryptFromHex-16MB", oursDecrypt, theirsDecrypt);
  return ok ? 0 : 1;
}
