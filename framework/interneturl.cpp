// URL splitter of the framework's internet classes (pure code).
#include "framework/interneturl.h"

#include <cstddef>
#include <type_traits>

namespace zkframework {
namespace {

struct SchemeInfo {
  const char* name;
  unsigned long service;
  unsigned short port;
};

const SchemeInfo kSchemes[] = {
    {"http", AFX_INET_SERVICE_HTTP, 80},   {"https", AFX_INET_SERVICE_HTTPS, 443},
    {"ftp", AFX_INET_SERVICE_FTP, 21},     {"gopher", AFX_INET_SERVICE_GOPHER, 70},
    {"file", AFX_INET_SERVICE_FILE, 0},
};

template <typename T>
T AsciiLower(T c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<T>(c - 'A' + 'a') : c;
}

template <typename T>
bool SchemeEquals(const std::basic_string<T>& scheme, const char* name) {
  size_t i = 0;
  for (; name[i]; ++i) {
    if (i >= scheme.size() || AsciiLower(scheme[i]) != static_cast<T>(name[i])) return false;
  }
  return i == scheme.size();
}

// Control characters and blanks have no place in an address; a CR or LF in
// the object would otherwise end the request line and start a header.
template <typename T>
bool HasUnsafeCharacter(const std::basic_string<T>& text) {
  for (T c : text) {
    auto unit = static_cast<typename std::make_unsigned<T>::type>(c);
    if (unit <= 0x20 || unit == 0x7F) return true;
  }
  return false;
}

template <typename T>
bool ParsePort(const std::basic_string<T>& digits, unsigned short& port) {
  if (digits.empty() || digits.size() > 5) return false;
  unsigned long value = 0;
  for (T c : digits) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<unsigned long>(c - '0');
  }
  if (value == 0 || value > 65535) return false;
  port = static_cast<unsigned short>(value);
  return true;
}

// Splits "host", "host:port", "[v6]" or "[v6]:port" into server and port.
template <typename T>
bool SplitAuthority(std::basic_string<T> authority, UrlParts<T>& parts) {
  size_t at = authority.rfind(static_cast<T>('@'));
  if (at != std::basic_string<T>::npos) authority.erase(0, at + 1);
  size_t colon;
  if (!authority.empty() && authority[0] == '[') {
    size_t close = authority.find(static_cast<T>(']'));
    if (close == std::basic_string<T>::npos) return false;
    parts.server = authority.substr(1, close - 1);
    if (close + 1 == authority.size()) return !parts.server.empty();
    if (authority[close + 1] != ':') return false;
    colon = close + 1;
  } else {
    colon = authority.find(static_cast<T>(':'));
    parts.server = authority.substr(0, colon);
    if (colon == std::basic_string<T>::npos) return !parts.server.empty();
  }
  return !parts.server.empty() && ParsePort(authority.substr(colon + 1), parts.port);
}

template <typename T>
bool SplitUrlT(const T* url, UrlParts<T>& parts) {
  if (!url) return false;
  std::basic_string<T> text(url);
  if (HasUnsafeCharacter(text)) return false;
  size_t separator = text.find(std::basic_string<T>{':', '/', '/'});
  if (separator == std::basic_string<T>::npos || separator == 0) return false;

  std::basic_string<T> scheme = text.substr(0, separator);
  parts = UrlParts<T>();
  for (const SchemeInfo& info : kSchemes) {
    if (SchemeEquals(scheme, info.name)) {
      parts.service = info.service;
      parts.port = info.port;
    }
  }

  std::basic_string<T> rest = text.substr(separator + 3);
  size_t hash = rest.find(static_cast<T>('#'));
  if (hash != std::basic_string<T>::npos) rest.erase(hash);
  size_t path = rest.find_first_of(std::basic_string<T>{'/', '?'});
  if (!SplitAuthority(rest.substr(0, path), parts)) return false;

  if (path == std::basic_string<T>::npos) {
    parts.object.assign(1, static_cast<T>('/'));
  } else {
    parts.object = rest.substr(path);
    if (parts.object[0] == '?') parts.object.insert(parts.object.begin(), static_cast<T>('/'));
  }
  return true;
}

}  // namespace

bool SplitUrl(const char* url, UrlParts<char>& parts) { return SplitUrlT(url, parts); }
bool SplitUrl(const wchar_t* url, UrlParts<wchar_t>& parts) { return SplitUrlT(url, parts); }

}  // namespace zkframework
