// The hash check: SHA-1 of a stream or a file against the hash list's
// digests, and the decryption of the AES-protected values.
#include "_Common/zkfilehashinfo.h"

#include <cryptopp/aes.h>
#include <cryptopp/base64.h>
#include <cryptopp/files.h>
#include <cryptopp/filters.h>
#include <cryptopp/hex.h>
#include <cryptopp/modes.h>

#include <cstring>
#include <new>

#include "_Common/zkcommonfunc.h"

const char kDefaultHashKey[] = "key&R7w<PqX{@?nL";
const char kDefaultHashIv[] = "iv@W5]~hDsT8<[4b";

namespace {

std::string UpperHex(const CryptoPP::byte* data, size_t length) {
  std::string hex;
  CryptoPP::StringSource(data, length, true, new CryptoPP::HexEncoder(new CryptoPP::StringSink(hex), true));
  return hex;
}

// Digests compare ignoring the case of their letters.
bool SameDigest(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    unsigned char x = static_cast<unsigned char>(*a), y = static_cast<unsigned char>(*b);
    if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return *a == *b;
}

bool IsPathSeparator(char c) { return c == '\\' || c == '/' || c == ':'; }

}  // namespace

bool DecryptHashValue(const char* text, CStringA& out, const char* key, const char* iv) {
  if (!key) key = kDefaultHashKey;
  if (!iv) iv = kDefaultHashIv;
  // Only the first 16 bytes of the IV text count; a shorter one is filled up
  // rather than read beyond its end.
  CryptoPP::byte iv_bytes[CryptoPP::AES::BLOCKSIZE] = {};
  std::memcpy(iv_bytes, iv, std::min(std::strlen(iv), sizeof(iv_bytes)));
  try {
    std::string cipher;
    CryptoPP::StringSource(text ? text : "", true, new CryptoPP::Base64Decoder(new CryptoPP::StringSink(cipher)));
    CryptoPP::CBC_Mode<CryptoPP::AES>::Decryption aes;
    aes.SetKeyWithIV(reinterpret_cast<const CryptoPP::byte*>(key), std::strlen(key), iv_bytes, sizeof(iv_bytes));
    std::string plain;
    CryptoPP::StringSource(cipher, true, new CryptoPP::StreamTransformationFilter(aes, new CryptoPP::StringSink(plain)));
    out = UpperHex(reinterpret_cast<const CryptoPP::byte*>(plain.data()), plain.size()).c_str();
    return true;
  } catch (const CryptoPP::Exception& error) {
    HashInfoTrace("%s", error.what());
    return false;
  } catch (const std::bad_alloc&) {
    // The text comes from a server: no room for it is a value that does not
    // decrypt, not an exception out of the caller.
    return false;
  }
}

int MakeHashListUrl(const char* script_url, CStringA& out) {
  out.Empty();
  if (!script_url) return 0;
  static const char kFrom[] = ".htm";
  std::string url = script_url;
  int replaced = 0;
  for (size_t at = url.find(kFrom); at != std::string::npos; at = url.find(kFrom, at + 9)) {
    url.replace(at, 4, "_hash.htm");
    ++replaced;
  }
  out = url.c_str();
  return replaced;
}

const char* FileNameOfPath(const char* path) {
  if (!path) return "";
  const char* name = path;
  for (const char* at = path; *at; ++at) {
    if (IsPathSeparator(at[0]) && at[1] && at[1] != '\\' && at[1] != '/') name = at + 1;
  }
  return name;
}

void CFileHashInfo::UpdateStreamHash(const void* data, size_t length) {
  if (data && length) m_sha.Update(static_cast<const CryptoPP::byte*>(data), length);
}

const char* CFileHashInfo::FindDigest(const std::string& file_name) const {
  auto found = m_digests.find(file_name);
  return found == m_digests.end() ? nullptr : found->second.GetString();
}

CStringA CFileHashInfo::ExpectedDigest(const char* path, const char* fallback) const {
  const char* digest = FindDigest(FileNameOfPath(path));
  if (digest) return CStringA(digest);
  return CStringA(fallback ? fallback : "");
}

bool CFileHashInfo::VerifyStream(const char* path, int recheck, const char* fallback) {
  if (m_check_type == kCheckOff) return true;
  const CStringA expected = ExpectedDigest(path, fallback);
  if (expected.IsEmpty()) return true;
  CryptoPP::byte digest[CryptoPP::SHA1::DIGESTSIZE];
  m_sha.Final(digest);  // restarts the state
  const std::string calculated = UpperHex(digest, sizeof(digest));
  HashInfoTrace("Verify(stream) :  filename[%s]  org-hash[%s]  calc-hash[%s] check_type[%d]", path ? path : "",
                expected.GetString(), calculated.c_str(), m_check_type);
  if (SameDigest(expected, calculated.c_str())) return true;
  if (recheck) return VerifyFile(path, fallback);
  if (m_check_type == kCheckStrict) {
    m_failed_files.push_back(CStringA(path ? path : ""));
    return false;
  }
  return true;
}

bool CFileHashInfo::VerifyFile(const char* path, const char* fallback) {
  if (m_check_type == kCheckOff) return true;
  const CStringA expected = ExpectedDigest(path, fallback);
  if (expected.IsEmpty()) return true;
  // A SHA-1 of its own: bytes fed to the stream digest and not yet finished
  // must not count as part of the file.
  char calculated[2 * CryptoPP::SHA1::DIGESTSIZE + 1] = {};
  try {
    CryptoPP::SHA1 sha;
    CryptoPP::FileSource(path ? path : "", true,
                         new CryptoPP::HashFilter(sha, new CryptoPP::HexEncoder(new CryptoPP::ArraySink(
                                                           reinterpret_cast<CryptoPP::byte*>(calculated),
                                                           sizeof(calculated) - 1), true)));
  } catch (const CryptoPP::Exception& error) {
    // An unreadable file cannot match.
    HashInfoTrace("%s", error.what());
    calculated[0] = '\0';
  }
  HashInfoTrace("Verify :  filename[%s]  org-hash[%s]  calc-hash[%s] check_type[%d]", path ? path : "",
                expected.GetString(), calculated, m_check_type);
  if (calculated[0] && SameDigest(expected, calculated)) return true;
  m_failed_files.push_back(CStringA(path ? path : ""));
  return m_check_type == kCheckLenient;
}

void CFileHashInfo::AddHashInfoSection(const char* block, size_t size) {
  // Entries that cannot be held for lack of memory are left out, like
  // entries that do not decrypt: the check then falls back as for them.
  try {
    AddHashInfoEntries(block, size);
  } catch (const std::bad_alloc&) {
    HashInfoTrace("hash info cut short: out of memory");
  }
}

void CFileHashInfo::AddHashInfoEntries(const char* block, size_t size) {
  if (!block) return;
  const char* end = block + size;
  for (const char* entry = block; entry < end && *entry;) {
    const char* entry_end = static_cast<const char*>(std::memchr(entry, '\0', static_cast<size_t>(end - entry)));
    if (!entry_end) entry_end = end;  // a cut last entry counts up to the block's end
    const std::string text(entry, entry_end);
    entry = entry_end + 1;
    const size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0) continue;
    const std::string name = text.substr(0, equals);
    const std::string value = text.substr(equals + 1);
    CStringA digest;
    if (!DecryptHashValue(value.c_str(), digest, kDefaultHashKey, kDefaultHashIv)) {
      HashInfoTrace("decrypt failed:  filename[%s]  hash[%s]", name.c_str(), value.c_str());
      continue;
    }
    HashInfoTrace("added:  filename[%s]  filehash[%s]", name.c_str(), digest.GetString());
    std::string trimmed = digest.GetString();
    TrimRightSpaces(trimmed);
    TrimLeftSpaces(trimmed);
    m_digests.emplace(name, CStringA(trimmed.c_str()));
  }
}
