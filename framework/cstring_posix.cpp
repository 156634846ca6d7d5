// Text conversions of the framework strings for the native build, where
// there is no ANSI code page: bytes map to the first 256 code points.
#include "framework/cstring.h"

namespace zkframework {

std::wstring AnsiToWide(const char* text, size_t length) {
  std::wstring wide;
  wide.reserve(length);
  for (size_t i = 0; i < length; ++i) wide += static_cast<wchar_t>(static_cast<unsigned char>(text[i]));
  return wide;
}

std::string WideToAnsiText(const wchar_t* text, size_t length) {
  std::string ansi;
  ansi.reserve(length);
  for (size_t i = 0; i < length; ++i) {
    unsigned long unit = static_cast<unsigned long>(text[i]);
    ansi += unit < 256 ? static_cast<char>(unit) : '?';
  }
  return ansi;
}

bool IsAnsiLeadByte(unsigned char) { return false; }

// The native build carries no resources.
bool LoadResourceText(unsigned, std::string&) { return false; }
bool LoadResourceText(unsigned, std::wstring&) { return false; }

}  // namespace zkframework
