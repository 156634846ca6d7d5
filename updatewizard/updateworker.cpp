// The update worker's pure parts: version texts and the address prefix test.
#include "updatewizard/updateworker.h"

#include <cstring>

#include "_Common/errorcodes.h"
#include "_Common/zkurltext.h"

namespace {

// Lead bytes of double-byte characters in the Korean code page (949).
bool IsKoreanLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

unsigned char FoldAscii(unsigned char byte) { return byte >= 'A' && byte <= 'Z' ? byte + ('a' - 'A') : byte; }

// The zip's address begins with root, and what follows can neither leave the
// root nor name another file through a query or a fragment.
bool IsUnderRoot(const char* url, const char* root) {
  return MatchesRootIgnoringCase(url, root) && IsPlainUrlText(url + std::strlen(root), ZKUrlQuery::kRefused);
}

}  // namespace

CStringA NormalizeWantedVersion(const char* version) {
  CStringA text(version ? version : "");
  text.Remove(' ');
  text.Replace('.', ',');
  return text;
}

CStringA NormalizeInstalledVersion(const char* version) {
  CStringA text(version ? version : "");
  text.Remove(' ');
  return text;
}

bool MatchesRootIgnoringCase(const char* text, const char* root) {
  if (!text || !root) return false;
  size_t length = std::strlen(root);
  if (std::strlen(text) < length) return false;
  for (size_t i = 0; i < length; ++i) {
    unsigned char a = static_cast<unsigned char>(text[i]), b = static_cast<unsigned char>(root[i]);
    if (IsKoreanLeadByte(a) && i + 1 < length) {
      // A double-byte character compares as it stands, trail byte included.
      if (a != b || text[i + 1] != root[i + 1]) return false;
      ++i;
      continue;
    }
    if (FoldAscii(a) != FoldAscii(b)) return false;
  }
  return true;
}

int CheckWizardFileUrl(const char* wizard_file, const char* test_server_root, const char* download_folder) {
  if (IsUnderRoot(wizard_file, test_server_root)) return 0;
  if (IsUnderRoot(wizard_file, download_folder)) return 0;
  return LauncherError::INVALID_URL;
}
