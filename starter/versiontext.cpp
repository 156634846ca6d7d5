// Version texts of the starter's program files and their comparison.
#include "starter/versiontext.h"

#include <cwchar>

std::wstring FormatVersionText(uint32_t versionMS, uint32_t versionLS) {
  wchar_t text[64] = {};
  swprintf(text, 64, L"%d.%d.%d.%d", static_cast<int>(versionMS >> 16), static_cast<int>(versionMS & 0xFFFF),
           static_cast<int>(versionLS >> 16), static_cast<int>(versionLS & 0xFFFF));
  return text;
}

namespace {

unsigned FoldCase(wchar_t c) {
  unsigned code = static_cast<unsigned>(c) & 0xFFFF;
  return (code >= 'A' && code <= 'Z') ? code + ('a' - 'A') : code;
}

}  // namespace

int CompareTextIgnoringCase(const wchar_t* left, const wchar_t* right) {
  if (!left) left = L"";
  if (!right) right = L"";
  for (;; ++left, ++right) {
    unsigned a = FoldCase(*left), b = FoldCase(*right);
    if (a != b) return a < b ? -1 : 1;
    if (a == 0) return 0;
  }
}

bool BeginsWithIgnoringCase(const std::wstring& text, const std::wstring& prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (FoldCase(text[i]) != FoldCase(prefix[i])) return false;
  }
  return true;
}

bool IsRequiredVersionNewer(const wchar_t* required, const wchar_t* installed) {
  return CompareTextIgnoringCase(required, installed) > 0;
}

namespace {

bool IsPlainVersionCharacter(wchar_t c) {
  return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || c == L'.' || c == L'-' ||
         c == L'_';
}

}  // namespace

bool IsPlainVersionText(const std::wstring& version) {
  if (version.empty() || version.find(L"..") != std::wstring::npos) return false;
  for (wchar_t c : version) {
    if (!IsPlainVersionCharacter(c)) return false;
  }
  return true;
}
