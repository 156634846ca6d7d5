// CFileHashInfo: checks downloaded files against the SHA-1 digests of the
// AES-protected hash list, and DecryptHashValue for one protected value.
// Pure code; the hash list's download and ini reading are Windows code.
#pragma once

#include <cryptopp/sha.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "_Common/errorcodes.h"
#include "framework/cstring.h"

// The built-in AES-128 key and CBC initialisation vector of the hash values.
extern const char kDefaultHashKey[];
extern const char kDefaultHashIv[];

// Decodes text from Base64, decrypts it with AES-CBC and PKCS#7 padding under
// key (its length is the key length; NULL: the built-in key) and the first
// 16 bytes of iv (NULL: the built-in one; a shorter text is filled with NUL
// bytes) and sets out to the plaintext as upper-case hex. FALSE, and out
// unchanged, when the library refuses any step.
bool DecryptHashValue(const char* text, CStringA& out, const char* key, const char* iv);

// Sets out to script_url with every ".htm" (case included) replaced by
// "_hash.htm" and returns the number of replacements (0 for NULL).
int MakeHashListUrl(const char* script_url, CStringA& out);

// Writes a trace line of the hash check (the toolkit's debugger trace on Windows).
void HashInfoTrace(const char* format, ...);

class CFileHashInfo {
 public:
  // The check types of the hash list ("CheckType").
  enum : int { kCheckStrict = 0, kCheckOff = 1, kCheckLenient = 2 };

  CFileHashInfo() = default;
  virtual ~CFileHashInfo() = default;
  CFileHashInfo(const CFileHashInfo&) = delete;
  CFileHashInfo& operator=(const CFileHashInfo&) = delete;

  // Feeds downloaded bytes to the running SHA-1.
  void UpdateStreamHash(const void* data, size_t length);
  // Checks the bytes fed so far against the expected digest of path's file
  // name (the map's, else fallback, else none: TRUE). On a mismatch: with
  // recheck, VerifyFile's result; else FALSE (the path noted as failed) for
  // the strict check and TRUE for the others.
  bool VerifyStream(const char* path, int recheck, const char* fallback);
  // Checks the file on disk the same way; a mismatch (an unreadable file
  // too) notes the path as failed and passes only with the lenient check.
  bool VerifyFile(const char* path, const char* fallback);
  // Downloads the hash list beside the patch script at script_url into a
  // temporary file of the current folder, adds its digests and takes its
  // check type. 0, 2000 for an unusable address, or the download's code
  // (3504 for a list announced or sent above kMaxHashListBytes, whose
  // temporary file is deleted).
  LauncherErrorCode LoadHashInfo(const char* script_url);

  // Largest hash list taken: the list is a small ini text, and a server that
  // sends more must not fill the disk of the folder it is written to.
  static constexpr int64_t kMaxHashListBytes = 4 << 20;

  // Adds the digests of the "name=value" entries of an ini section block
  // (each entry NUL-terminated, an empty entry ends it; size bytes at most).
  // A name already present keeps its digest.
  void AddHashInfoSection(const char* block, size_t size);

  // Sends one statistics request for file_path (its file-name part; the
  // whole text, the system line, for the grid error 9999) to url (NULL or
  // empty: the built-in address); true when the server accepted it.
  bool SendStatisticsRequest(const char* url, const char* file_path, int launcher_error, int grid_error);
  // Reports every failed file, then the system line with the grid error
  // 9999, to url (NULL or empty: the built-in address); the closing
  // request's result.
  bool ReportHashFailures(const char* url, int launcher_error, int avatar_version);

  int GetCheckType() const { return m_check_type; }
  void SetCheckType(int check_type) { m_check_type = check_type; }
  // The expected digest of a file name, or NULL.
  const char* FindDigest(const std::string& file_name) const;
  // The paths that failed their check, in the order of the failures.
  const std::vector<CStringA>& GetFailedFiles() const { return m_failed_files; }
  size_t GetFailedFileCount() const { return m_failed_files.size(); }

 private:
  CStringA ExpectedDigest(const char* path, const char* fallback) const;
  // AddHashInfoSection's work, which may throw std::bad_alloc.
  void AddHashInfoEntries(const char* block, size_t size);

  int m_check_type = kCheckStrict;
  std::map<std::string, CStringA> m_digests;
  std::vector<CStringA> m_failed_files;
  CryptoPP::SHA1 m_sha;
};

// Holds one hash-list download to CFileHashInfo::kMaxHashListBytes: exceeded
// once the size the server announces, or the count of the bytes that have
// arrived, lies above it, and from then on.
class CHashListSizeBound {
 public:
  // The size the answer announces (its Content-Length).
  void Announce(int64_t total) { m_exceeded = m_exceeded || total > CFileHashInfo::kMaxHashListBytes; }
  // A piece that has arrived.
  void Receive(size_t length) {
    m_received += static_cast<int64_t>(length);
    m_exceeded = m_exceeded || m_received > CFileHashInfo::kMaxHashListBytes;
  }
  bool Exceeded() const { return m_exceeded; }

 private:
  int64_t m_received = 0;
  bool m_exceeded = false;
};

// The last component of path, as the shell's file-name lookup gives it
// ("dir\" for "C:\dir\"); "" for NULL.
const char* FileNameOfPath(const char* path);
