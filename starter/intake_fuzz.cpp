// Fuzz entry of the starter's intake parsers: the command line and the
// decrypted pair text, each parsed, written back and parsed again.
//
// Input: a first byte whose low bit picks the parser, then the text. Bytes
// below 0x80 are characters of their own; a byte from 0x80 on takes the next
// two bytes as one UTF-16 code unit (little-endian), so the whole range of
// wide characters is reachable. NUL never reaches the parsers: neither text
// can hold one.
#include <string>

#include "tests/support/fuzzsupport.h"
#include "starter/intake.h"

namespace {

std::wstring WideText(zkfuzz::Input& input) {
  std::wstring text;
  while (input.Left() > 0) {
    wchar_t unit = input.Byte();
    if (unit >= 0x80) unit = input.Word();
    if (unit != 0) text += unit;
  }
  return text;
}

bool Contains(const CString& text, wchar_t c) { return text.Find(c) >= 0; }

// The argument as the web page writes it; parsed again it must give the same values.
void CheckCommandLine(const CString& line) {
  CString s_version, u_version, publish;
  ParseStarterCommandLine(line, s_version, u_version, publish);
  // A value ends at the first comma, so none can hold one.
  ZK_FUZZ_CHECK(!Contains(s_version, L',') && !Contains(u_version, L',') && !Contains(publish, L','));

  CString again = L"Lumora1.exe \"?SVersion=" + s_version + L",UVersion=" + u_version + L",publish=" + publish + L"\"";
  CString s2, u2, p2;
  ParseStarterCommandLine(again, s2, u2, p2);
  ZK_FUZZ_CHECK(s2 == s_version && u2 == u_version && p2 == publish);
}

// The pairs written back as key="value" items; parsed again they must give
// the same map. Keys holding a quote cannot be written back that way.
void CheckPairs(const CString& input_text) {
  CString text = input_text;
  StarterPairMap pairs;
  ParseParameterPairs(text, pairs);
  CString written;
  for (const auto& pair : pairs) {
    if (Contains(pair.first, L'"')) return;
    ZK_FUZZ_CHECK(!Contains(pair.first, L'=') && !Contains(pair.second, L'"'));
    if (!written.IsEmpty()) written += L",";
    written += pair.first + L"=\"" + pair.second + L"\"";
  }
  StarterPairMap again;
  ParseParameterPairs(written, again);
  ZK_FUZZ_CHECK(again == pairs);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zkfuzz::Input input(data, size);
  const bool pairs = input.Byte() & 1;
  const CString text(WideText(input));
  if (pairs) CheckPairs(text);
  else CheckCommandLine(text);
  return 0;
}
