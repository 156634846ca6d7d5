// Which texts may follow a trusted root in an address that the programs fetch.
#include "_Common/zkurltext.h"

#include <cstring>
#include <type_traits>

namespace {

// Code units of either width, taken as unsigned values.
template <typename Unit>
bool IsPlainUnits(const Unit* text, size_t length, ZKUrlQuery query) {
  for (size_t i = 0; i < length; ++i) {
    const unsigned long c = static_cast<typename std::make_unsigned<Unit>::type>(text[i]);
    if (c < 0x20 || c > 0x7E) return false;
    if (c == '\\' || c == '%' || c == '@' || c == '#') return false;
    if (c == '?' && query == ZKUrlQuery::kRefused) return false;
    if (c == '.' && i + 1 < length && text[i + 1] == '.') return false;
  }
  return true;
}

}  // namespace

bool IsPlainUrlText(const std::wstring& text, ZKUrlQuery query) {
  return IsPlainUnits(text.data(), text.size(), query);
}

bool IsPlainUrlText(const char* text, ZKUrlQuery query) {
  return text && IsPlainUnits(text, std::strlen(text), query);
}
