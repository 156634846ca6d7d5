// The starter's entry: single instance, intake, self-update, wizard check and launch.
#include <windows.h>

#include "framework/cstring.h"
#include "framework/scopedhandle.h"
#include "framework/winapp.h"
#include "starter/errormessages.h"
#include "starter/intake.h"
#include "starter/paramdata.h"
#include "starter/resource_ids.h"
#include "starter/selfupdate.h"

namespace {

const wchar_t kStarterFile[] = L"Lumora1.exe";
const wchar_t kMovePrefix[] = L"_move";
const wchar_t kCustomUpdateUrlKey[] = L"CustomUpdateURL";

CString WindowsFolder() {
  wchar_t buffer[260] = {};
  wchar_t windows[260] = {};
  GetWindowsDirectoryW(windows, 260);
  _snwprintf(buffer, 259, L"%s\\", windows);
  return CString(buffer);
}

// Takes the download base out of the pairs, so that it is not handed on.
CString TakeCustomUpdateUrl(StarterPairMap& pairs) {
  CString url;
  auto found = pairs.find(CString(kCustomUpdateUrlKey));
  if (found != pairs.end()) {
    url = found->second;
    pairs.erase(found);
  }
  return url;
}

// After a failed self-update the old file may lie aside under "_move": it
// goes back, so that the next start finds a starter again.
void PutOldStarterBack(const CString& folder) {
  CString old = folder + kMovePrefix + kStarterFile;
  if (GetFileAttributesW(old.GetString()) == INVALID_FILE_ATTRIBUTES) return;
  if (!MoveFileW(old.GetString(), (folder + kStarterFile).GetString())) ShowErrorMessage(IDS_RESTORE_FAILED);
}

// The flow after the mutex is held.
void RunStarter(const wchar_t* commandLine) {
  CString text;
  if (!ReadClipboardText(text)) {
    ShowErrorMessage(IDS_NO_CLIPBOARD_TEXT);
    return;
  }
  CString sVersion, uVersion, publish;
  ParseStarterCommandLine(commandLine, sVersion, uVersion, publish);
  if (sVersion.IsEmpty() || uVersion.IsEmpty() || publish.IsEmpty()) {
    ShowErrorMessage(IDS_MISSING_COMMAND_LINE_VALUE);
    return;
  }
  if (!DecryptParameterText(text, publish)) return;
  StarterPairMap pairs;
  ParseParameterPairs(text, pairs);
  CString customUpdateUrl = TakeCustomUpdateUrl(pairs);

  CString folder = WindowsFolder();
  if (IsUpdateNeeded(folder, kStarterFile, sVersion)) {
    if (UpdateStarter(folder, sVersion, uVersion, publish, customUpdateUrl)) return;  // the batch file goes on
    PutOldStarterBack(folder);
  } else {
    ClearClipboard();
  }
  UpdateWizardIfNeeded(folder, uVersion, customUpdateUrl);
  LaunchUpdateWizard(folder, pairs);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int) {
  AfxSetResourceHandle(GetModuleHandleW(nullptr));
  ScopedKernelHandle mutex(CreateMutexW(nullptr, TRUE, L"ZKStarterMutex"));
  if (mutex.IsValid() && GetLastError() == ERROR_ALREADY_EXISTS) {
    ShowErrorMessage(IDS_ALREADY_RUNNING);
    return 0;
  }
  RunStarter(commandLine ? commandLine : L"");
  return 0;
}
