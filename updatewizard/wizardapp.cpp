// The update wizard's start-up checks and texts that need no system.
#include "updatewizard/wizardapp.h"

#include <cstring>
#include <string>

#include "_Common/errorcodes.h"
#include "_Common/zkurltext.h"
#include "framework/interneturl.h"

namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

int FindFirstOccurrence(const char* text, const char* part, ZKLeadByteTest is_lead) {
  if (!text || !part) return -1;
  size_t part_length = strlen(part);
  for (const char* p = text; *p;) {
    if (strncmp(p, part, part_length) == 0) return static_cast<int>(p - text);
    // A lead byte and its trail byte are one character; a lone lead byte at the end stays one.
    p += (is_lead && is_lead(static_cast<unsigned char>(*p)) && p[1]) ? 2 : 1;
  }
  return part_length == 0 ? static_cast<int>(strlen(text)) : -1;
}

int CheckAvatarUrl(const char* address, const char* root) {
  if (!address || !root) return LauncherError::INVALID_URL;
  for (size_t i = 0; root[i]; ++i) {
    // The address's NUL differs from every root character, so a shorter one fails here.
    if (AsciiLower(address[i]) != AsciiLower(root[i])) return LauncherError::INVALID_URL;
  }
  // The address is the patch script's own, not a base that names follow, so
  // a query in it is the portal's to write. What could leave the root is
  // refused, and so is a fragment: never sent, it would make "x.txt#.htm"
  // fetch x.txt as the script and as its hash list alike.
  return IsPlainUrlText(address + std::strlen(root), ZKUrlQuery::kAllowed) ? 0 : LauncherError::INVALID_URL;
}

int CheckUpdateUrlHost(const char* address, const char* suffixes, ZKLeadByteTest is_lead) {
  unsigned long service = 0;
  CStringA host, object;
  unsigned short port = 0;
  if (!address || !*address || !AfxParseURL(address, service, host, object, port)) return LauncherError::INVALID_URL;
  std::string list = suffixes ? suffixes : "";
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(';', start);
    if (end == std::string::npos) end = list.size();
    std::string suffix = list.substr(start, end - start);
    start = end + 1;
    if (suffix.empty()) continue;
    int found = FindFirstOccurrence(host.GetString(), suffix.c_str(), is_lead);
    if (found >= 0 && found == host.GetLength() - static_cast<int>(suffix.size())) return 0;
  }
  return LauncherError::INVALID_URL;
}

bool IsPlainCookieValue(const char* value) {
  if (!value) return false;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(value); *p; ++p) {
    if (*p == ';' || *p < 0x20 || *p == 0x7F) return false;
  }
  return true;
}

CStringA FormatPortalCookie(const char* name, const char* value, const char* domain) {
  CStringA text;
  text.Format("%s=%s; path=/; domain=.%s", name, value, domain);
  return text;
}

CStringA BrowserNameFromPath(const char* lowered_path, const char* version) {
  std::string path = lowered_path ? lowered_path : "";
  size_t slash = path.find_last_of("\\/");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return CStringA((name + " " + (version ? version : "")).c_str());
}
