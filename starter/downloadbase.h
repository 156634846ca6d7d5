// Which download base a web page may name for the starter's archives.
#pragma once

#include <string>

// True when url may stand in for the built-in download base: it begins with
// one of the trusted bases (joined by ";"; each an "http://" address ending
// in "/", others in the list are skipped), compared ignoring the case of A-Z
// over the base's whole length, and it holds no "..", "\", "%", "@" and no
// control character, so that it cannot lead the request to another server or
// out of the trusted folder.
bool IsTrustedDownloadBase(const std::wstring& url, const std::wstring& trustedBases);
