// URL splitter of the framework's internet classes: AfxParseURL.
//
// Pure code: it splits an address into its service (scheme), server, port
// and object (path and query) without touching the network. Both text widths
// are served from one template.
#pragma once

#include <string>

#include "framework/cstring.h"

// Services that the splitter reports.
enum : unsigned long {
  AFX_INET_SERVICE_UNK = 0,
  AFX_INET_SERVICE_HTTP = 1,
  AFX_INET_SERVICE_HTTPS = 2,
  AFX_INET_SERVICE_FTP = 3,
  AFX_INET_SERVICE_GOPHER = 4,
  AFX_INET_SERVICE_FILE = 5,
};

namespace zkframework {

// Parts of one address.
template <typename T>
struct UrlParts {
  unsigned long service = AFX_INET_SERVICE_UNK;
  std::basic_string<T> server;
  std::basic_string<T> object;
  unsigned short port = 0;
};

// Splits url into scheme, server, port and object. The scheme is compared
// ignoring case; a missing port is the scheme's default (0 for schemes
// without one); user name and password before "@" are dropped; a fragment
// ("#...") is dropped; a missing path becomes "/". Returns false, and leaves
// parts unspecified, for a null url, a url without "scheme://", an empty
// server, a port that is not a number from 1 to 65535, or any control
// character or blank in the url (such bytes would end a request line early).
bool SplitUrl(const char* url, UrlParts<char>& parts);
bool SplitUrl(const wchar_t* url, UrlParts<wchar_t>& parts);

}  // namespace zkframework

// Splits url for the internet classes: service, server, object and port.
// Returns FALSE (0) when the address cannot be split; the outputs are then
// left as they were.
template <typename T>
int AfxParseURL(const T* url, unsigned long& service, CStringT<T>& server, CStringT<T>& object,
                unsigned short& port) {
  zkframework::UrlParts<T> parts;
  if (!zkframework::SplitUrl(url, parts)) return 0;
  service = parts.service;
  server = CStringT<T>(parts.server);
  object = CStringT<T>(parts.object);
  port = parts.port;
  return 1;
}
