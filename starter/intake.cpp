// The starter's parsers of its command line and of the decrypted pair text,
// and its wide-to-ANSI conversion (pure code).
#include "starter/intake.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

namespace {

// The text up to the first separator (all of it without one) and the rest behind it.
void SplitAtFirst(const CString& text, wchar_t separator, CString& head, CString& tail) {
  int at = text.Find(separator);
  if (at < 0) {
    head = text;
    tail.Empty();
  } else {
    head = text.Left(at);
    tail = text.Mid(at + 1);
  }
}

bool IsSpace(wchar_t c) { return zkframework::TextTraits<wchar_t>::IsSpace(c); }

// The first position at or behind at that holds no white space (end when none).
size_t SkipSpace(const std::wstring& text, size_t at) {
  while (at < text.size() && IsSpace(text[at])) ++at;
  return at;
}

CString Range(const std::wstring& text, size_t first, size_t last) {
  return CString(text.data() + first, static_cast<int>(last - first));
}

// The characters from first up to last, without white space at both ends.
CString TrimmedRange(const std::wstring& text, size_t first, size_t last) {
  first = SkipSpace(text, first);
  while (last > first && IsSpace(text[last - 1])) --last;
  return Range(text, first, last);
}

}  // namespace

void ParseStarterCommandLine(const CString& command_line, CString& s_version, CString& u_version, CString& publish) {
  s_version.Empty();
  u_version.Empty();
  publish.Empty();
  CString text = command_line;
  text.Trim();
  int question = text.Find(L'?');
  text = question < 0 ? CString() : text.Mid(question + 1);
  if (!text.IsEmpty()) text = text.Left(text.GetLength() - 1);  // the argument's closing quote

  while (!text.IsEmpty()) {
    CString pair, key, value;
    SplitAtFirst(text, L',', pair, text);
    SplitAtFirst(pair, L'=', key, value);
    key.Trim();
    if (key.CompareNoCase(L"SVersion") == 0) s_version = value;
    else if (key.CompareNoCase(L"UVersion") == 0) u_version = value;
    else if (key.CompareNoCase(L"publish") == 0) publish = value;
  }
}

void ParseParameterPairs(CString& text, StarterPairMap& pairs) {
  text.Trim();
  // The remaining text of each step is a suffix of the trimmed text, so it is
  // tracked by where it starts: copying it for every item made a long text
  // take minutes while every other start saw the starter still running.
  const std::wstring& all = text.Str();
  const size_t end = all.size();
  size_t at = SkipSpace(all, 0);
  // The first "=" at or behind at; it may lie in a later item and then serves
  // several keys, so it is only looked for again once at has passed it.
  size_t equals = all.find(L'=', at);
  while (at < end) {
    if (equals != std::wstring::npos && equals < at) equals = all.find(L'=', at);
    size_t open = all.find(L'"', at);
    size_t close = open == std::wstring::npos ? std::wstring::npos : all.find(L'"', open + 1);
    // A key also ends where its value opens: up to an "=" behind the value it
    // would run on through every later item, and a short text of items
    // without "=" would hold gigabytes of keys.
    CString key = TrimmedRange(all, at, std::min(std::min(equals, open), end));

    CString value;
    if (open != std::wstring::npos) value = Range(all, open + 1, close == std::wstring::npos ? end : close);

    if (close == std::wstring::npos) {
      at = end;
    } else {
      at = SkipSpace(all, close + 1);
      // Exactly one separator stands between items; whatever it is, it goes.
      if (at < end) at = SkipSpace(all, at + 1);
    }
    pairs[key] = value;
  }
}

char* WideToAnsi(const CString& text) {
  const wchar_t* wide = text.GetString();
  std::string ansi = zkframework::WideToAnsiText(wide, std::char_traits<wchar_t>::length(wide));
  char* block = new (std::nothrow) char[ansi.size() + 1];
  if (!block) return nullptr;
  std::memset(block, 0, ansi.size() + 1);
  std::memcpy(block, ansi.data(), ansi.size());
  return block;
}
