// Which download base a web page may name for the starter's archives.
#pragma once

#include <string>

// True when url may stand in for the built-in download base: it begins with
// one of the trusted bases (joined by ";"; each an "http://" address ending
// in "/", others in the list are skipped), compared ignoring the case of A-Z
// over the base's whole length, and it is plain URL text (IsPlainUrlText: no
// "..", "\", "%", "@", "?", "#", control character or character above 0x7E),
// so that it cannot lead the request to another server, out of the trusted
// folder or to another file than the archive named after it.
bool IsTrustedDownloadBase(const std::wstring& url, const std::wstring& trustedBases);
