// The starter's parsers of its command line and of the decrypted pair text,
// and its wide-to-ANSI conversion (pure code).
#include "starter/intake.h"

#include <cstring>
#include <new>

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
  CString remaining = text;
  while (!remaining.IsEmpty()) {
    CString key, unused;
    SplitAtFirst(remaining, L'=', key, unused);
    key.Trim();

    CString value;
    int open = remaining.Find(L'"');
    int close = open < 0 ? -1 : remaining.Find(L'"', open + 1);
    if (open >= 0) value = close < 0 ? remaining.Mid(open + 1) : remaining.Mid(open + 1, close - open - 1);

    remaining = close < 0 ? CString() : remaining.Mid(close + 1);
    remaining.Trim();
    // Exactly one separator stands between items; whatever it is, it goes.
    if (!remaining.IsEmpty()) remaining = remaining.Mid(1);
    remaining.Trim();

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
