// Which download base a web page may name for the starter's archives.
#include "starter/downloadbase.h"

#include "_Common/zkurltext.h"
#include "starter/versiontext.h"

namespace {

// A base that does not end in "/" would let "http://host:1" admit
// "http://host:10/" or "http://host:1.example/".
bool IsUsableBase(const std::wstring& base) {
  return base.size() > 7 && BeginsWithIgnoringCase(base, L"http://") && base.back() == L'/';
}

}  // namespace

bool IsTrustedDownloadBase(const std::wstring& url, const std::wstring& trustedBases) {
  // "Pelto/" and the archive's name follow the base: a "?" or "#" in it
  // would make them a query or a fragment, and another file be fetched.
  if (!IsPlainUrlText(url, ZKUrlQuery::kRefused)) return false;
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
