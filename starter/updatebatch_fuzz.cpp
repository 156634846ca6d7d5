// Fuzz entry of the self-update's batch lines: a folder and three command-line
// values (fields split at '\n', characters as in the intake's driver). Lines
// that are built must quote every path, carry nothing the command
// interpreter acts on, and restart the starter with the very same values.
#include <string>
#include <vector>

#include "tests/support/fuzzsupport.h"
#include "starter/intake.h"
#include "starter/updatebatch.h"

namespace {

// One field: bytes below 0x80 as characters, a byte from 0x80 on followed by
// a UTF-16 code unit; a '\n' of its own ends the field.
std::wstring WideField(zkfuzz::Input& input) {
  std::wstring text;
  while (input.Left() > 0) {
    wchar_t unit = input.Byte();
    if (unit == L'\n') break;
    if (unit >= 0x80) unit = input.Word();
    text += unit;
  }
  return text;
}

size_t Count(const std::wstring& text, wchar_t c) {
  size_t n = 0;
  for (wchar_t x : text) n += x == c;
  return n;
}

bool HasActiveCharacter(const std::wstring& line) {
  for (wchar_t c : line) {
    if (c < 0x20 || c == 0x7F || std::wstring(L"%!^&|<>").find(c) != std::wstring::npos) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zkfuzz::Input input(data, size);
  const std::wstring folder = WideField(input);
  const std::wstring s_version = WideField(input);
  const std::wstring u_version = WideField(input);
  const std::wstring publish = WideField(input);

  // The system's folder comes from the system, not from outside.
  const std::wstring system_folder = L"C:\\windows\\system32\\";
  std::vector<std::wstring> lines{L"left over"};
  const bool built = BuildUpdateBatchLines(folder, system_folder, s_version, u_version, publish, &lines);
  ZK_FUZZ_CHECK(built == (IsBatchSafeFolder(folder) && IsBatchSafeValue(s_version) && IsBatchSafeValue(u_version) &&
                          IsBatchSafeValue(publish)));
  if (!built) {
    ZK_FUZZ_CHECK(lines.empty());
    return 0;
  }
  ZK_FUZZ_CHECK(lines.size() == 4);
  const size_t quotes[] = {2, 2, 4, 2};
  for (size_t i = 0; i < 4; ++i) {
    ZK_FUZZ_CHECK(Count(lines[i], L'"') == quotes[i]);
    ZK_FUZZ_CHECK(!HasActiveCharacter(lines[i]));
  }
  ZK_FUZZ_CHECK(lines[0] == L"\"" + system_folder + L"taskkill.exe\" /im Lumora1.exe /f");
  ZK_FUZZ_CHECK(lines[1] == L"del \"" + folder + L"_moveLumora1.exe\"");
  ZK_FUZZ_CHECK(lines[3] == L"del \"" + folder + L"Lumora1.bat\"");

  // The restarted starter reads its values back from the third line. A comma
  // cannot come from the starter's own command line (it ends a value there),
  // nor a '?' from a Windows folder.
  if (folder.find(L'?') != std::wstring::npos || s_version.find(L',') != std::wstring::npos || u_version.find(L',') != std::wstring::npos ||
      publish.find(L',') != std::wstring::npos) {
    return 0;
  }
  CString s2, u2, p2;
  ParseStarterCommandLine(CString(lines[2].c_str()), s2, u2, p2);
  ZK_FUZZ_CHECK(s2 == s_version.c_str() && u2 == u_version.c_str() && p2 == publish.c_str());
  return 0;
}
