// Which download base a web page may name for the starter's archives.
#include "starter/downloadbase.h"

#include "starter/versiontext.h"

namespace {

// Characters that could move the address off the trusted folder or server
// once WinINet or the server has decoded or split it.
bool HoldsForbiddenText(const std::wstring& url) {
  if (url.find(L"..") != std::wstring::npos) return true;
  for (wchar_t c : url) {
    if (c == L'\\' || c == L'%' || c == L'@' || c < 0x20 || c == 0x7F) return true;
  }
  return false;
}

// A base that does not end in "/" would let "http://host:1" admit
// "http://host:10/" or "http://host:1.example/".
bool IsUsableBase(const std::wstring& base) {
  return base.size() > 7 && BeginsWithIgnoringCase(base, L"http://") && base.back() == L'/';
}

}  // namespace

bool IsTrustedDownloadBase(const std::wstring& url, const std::wstring& trustedBases) {
  if (HoldsForbiddenText(url)) return false;
  size_t start = 0;
  while (start <= trustedBases.size()) {
    size_t end = trustedBases.find(L';', start);
    if (end == std::wstring::npos) end = trustedBases.size();
    std::wstring base = trustedBases.substr(start, end - start);
    if (IsUsableBase(base) && BeginsWithIgnoringCase(url, base)) return true;
    start = end + 1;
  }
  return false;
}
