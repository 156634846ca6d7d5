// The lines of the hidden batch file that finishes the starter's self-update.
#include "starter/updatebatch.h"

#include <cwchar>

namespace {

// Characters that the command interpreter expands, escapes or splits on even
// inside double quotes ('%' and, with delayed expansion, '!'), and those that
// become operators once a quote is closed early.
const wchar_t kActiveCharacters[] = L"\"%!^&|<>";

bool IsActive(wchar_t c) {
  return c < 0x20 || c == 0x7F || wcschr(kActiveCharacters, c) != nullptr;
}

const wchar_t kStarterFile[] = L"Lumora1.exe";
const wchar_t kOldStarterFile[] = L"_moveLumora1.exe";
const wchar_t kBatchFile[] = L"Lumora1.bat";
const wchar_t kTaskkillFile[] = L"taskkill.exe";

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

}  // namespace

bool IsBatchSafeValue(const std::wstring& value) {
  for (wchar_t c : value) {
    // Beyond ASCII the conversion to the ANSI code page may map a character to
    // a quote or a percent sign (best-fit), so only plain ASCII goes through.
    if (c > 0x7E || IsActive(c)) return false;
  }
  return true;
}

bool IsBatchSafeFolder(const std::wstring& folder) {
  if (folder.empty() || folder.back() != L'\\') return false;
  for (wchar_t c : folder) {
    if (IsActive(c)) return false;
  }
  return true;
}

bool BuildUpdateBatchLines(const std::wstring& folder, const std::wstring& systemFolder, const std::wstring& sVersion,
                           const std::wstring& uVersion, const std::wstring& publish,
                           std::vector<std::wstring>* lines) {
  lines->clear();
  if (!IsBatchSafeFolder(folder) || !IsBatchSafeFolder(systemFolder) || !IsBatchSafeValue(sVersion) ||
      !IsBatchSafeValue(uVersion) || !IsBatchSafeValue(publish)) {
    return false;
  }
  // The interpreter looks a bare program name up in its current folder first,
  // then along PATH, so taskkill is named by its whole path; del is one of the
  // interpreter's own commands and is not looked up.
  lines->push_back(Quoted(systemFolder + kTaskkillFile) + L" /im " + kStarterFile + L" /f");
  lines->push_back(L"del " + Quoted(folder + kOldStarterFile));
  lines->push_back(Quoted(folder + kStarterFile) + L" " +
                   Quoted(L"?SVersion=" + sVersion + L",UVersion=" + uVersion + L",publish=" + publish));
  lines->push_back(L"del " + Quoted(folder + kBatchFile));
  return true;
}
