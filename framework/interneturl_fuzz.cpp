// Fuzz entry of AfxParseURL in both text widths.
//
// Input: the address (bytes, cut at the first NUL). Checks: a refusal leaves
// the outputs alone; the wide form, fed the same characters, agrees; an
// accepted address has a server, an object from '/' on and no character that
// could end a request line; written back from its parts, it splits into the
// same parts again.
#include <string>

#include "tests/support/fuzzsupport.h"
#include "framework/interneturl.h"

namespace {

struct Parts {
  unsigned long service = 77;
  CStringA server = "server?";
  CStringA object = "object?";
  unsigned short port = 7777;
};

bool operator==(const Parts& a, const Parts& b) {
  return a.service == b.service && a.server == b.server && a.object == b.object && a.port == b.port;
}

bool Split(const std::string& url, Parts& parts) {
  return AfxParseURL(url.c_str(), parts.service, parts.server, parts.object, parts.port) != 0;
}

bool HasUnsafeCharacter(const CStringA& text) {
  for (int i = 0; i < text.GetLength(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c <= 0x20 || c == 0x7F) return true;
  }
  return false;
}

void CheckWide(const std::string& url, bool accepted, const Parts& narrow) {
  std::wstring wide;
  for (unsigned char c : url) wide += static_cast<wchar_t>(c);
  unsigned long service = 77;
  CStringW server = L"server?", object = L"object?";
  unsigned short port = 7777;
  const bool wide_accepted = AfxParseURL(wide.c_str(), service, server, object, port) != 0;
  ZK_FUZZ_CHECK(wide_accepted == accepted);
  if (!accepted) {
    ZK_FUZZ_CHECK(service == 77 && server == L"server?" && object == L"object?" && port == 7777);
    return;
  }
  ZK_FUZZ_CHECK(service == narrow.service && port == narrow.port);
  ZK_FUZZ_CHECK(CStringW(narrow.server) == server && CStringW(narrow.object) == object);
}

std::string Rebuilt(const std::string& url, const Parts& parts) {
  std::string text = url.substr(0, url.find("://")) + "://";
  const std::string server = parts.server.GetString();
  const bool bracketed = server.find(':') != std::string::npos || server[0] == '[';
  text += bracketed ? "[" + server + "]" : server;
  if (parts.port != 0) text += ":" + std::to_string(parts.port);
  return text + parts.object.GetString();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string url(reinterpret_cast<const char*>(data), size);
  url = url.substr(0, url.find('\0'));
  Parts parts;
  const bool accepted = Split(url, parts);
  CheckWide(url, accepted, parts);
  if (!accepted) {
    ZK_FUZZ_CHECK(parts == Parts());
    return 0;
  }
  ZK_FUZZ_CHECK(!parts.server.IsEmpty() && !HasUnsafeCharacter(parts.server) && !HasUnsafeCharacter(parts.object));
  ZK_FUZZ_CHECK(parts.object[0] == '/' && parts.object.Find('#') < 0);
  ZK_FUZZ_CHECK(parts.port != 0 || parts.service == AFX_INET_SERVICE_UNK || parts.service == AFX_INET_SERVICE_FILE);

  Parts again;
  ZK_FUZZ_CHECK(Split(Rebuilt(url, parts), again));
  ZK_FUZZ_CHECK(again == parts);
  return 0;
}
