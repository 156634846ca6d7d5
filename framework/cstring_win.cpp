// Text conversions and string-resource lookup of the framework strings on Win32.
#include <windows.h>

#include "framework/cstring.h"
#include "framework/winapp.h"

namespace zkframework {

std::wstring AnsiToWide(const char* text, size_t length) {
  if (!text || length == 0) return std::wstring();
  int n = MultiByteToWideChar(CP_THREAD_ACP, 0, text, static_cast<int>(length), nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_THREAD_ACP, 0, text, static_cast<int>(length), &wide[0], n);
  return wide;
}

std::string WideToAnsiText(const wchar_t* text, size_t length) {
  if (!text || length == 0) return std::string();
  int n = WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::string();
  std::string ansi(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), &ansi[0], n, nullptr, nullptr);
  return ansi;
}

bool IsAnsiLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

namespace {

// Finds string id in the string table of the resource module. A table block
// holds 16 strings, each a 16-bit length and that many UTF-16 units; reading
// the block directly has no length limit, unlike a fixed LoadString buffer.
bool FindResourceText(unsigned id, std::wstring& out) {
  HMODULE module = AfxGetResourceHandle();
  HRSRC info = FindResourceW(module, MAKEINTRESOURCEW((id >> 4) + 1), reinterpret_cast<LPCWSTR>(RT_STRING));
  if (!info) return false;
  HGLOBAL loaded = LoadResource(module, info);
  const WORD* block = loaded ? static_cast<const WORD*>(LockResource(loaded)) : nullptr;
  if (!block) return false;
  size_t units = SizeofResource(module, info) / sizeof(WORD);
  size_t at = 0;
  for (unsigned index = id & 15; index > 0; --index) {
    if (at >= units) return false;
    at += 1 + block[at];
  }
  if (at >= units) return false;
  size_t length = block[at];
  if (length == 0 || at + 1 + length > units) return false;  // an empty entry is no string
  out.assign(reinterpret_cast<const wchar_t*>(block + at + 1), length);
  return true;
}

}  // namespace

bool LoadResourceText(unsigned id, std::wstring& out) { return FindResourceText(id, out); }

bool LoadResourceText(unsigned id, std::string& out) {
  std::wstring wide;
  if (!FindResourceText(id, wide)) return false;
  out = WideToAnsiText(wide.data(), wide.size());
  return true;
}

}  // namespace zkframework
