// The update wizard's application on Win32.
#include "updatewizard/wizardapp_win.h"

#include <commctrl.h>
#include <psapi.h>
#include <tlhelp32.h>
#include <wininet.h>

#include <cstdlib>
#include <ctime>

#include "_Common/errorcodes.h"
#include "_Common/fileversioninfo.h"
#include "_Common/zkcommonfunc_win.h"
#include "_Common/zkparsecmdline.h"
#include "framework/scopedhandle.h"
#include "updatewizard/patchscript.h"
#include "updatewizard/patchscriptdownload.h"
#include "updatewizard/updateworker_dialog_win.h"
#include "updatewizard/updateworker_win.h"
#include "updatewizard/wizardapp.h"
#include "updatewizard/wizarddlg.h"
#include "updatewizard/wizardglobals.h"
// The built-in addresses of this build of the program.
#include "zksettings.h"


CStringA g_strProgramName;
CStringA g_strAvatarUrl;
CStringA g_strUpdateUrl;
CStringA g_strStatisticsUrl;
CStringA g_strBrowserName;
HANDLE g_hUpdateMutex = nullptr;

CZKUpdateWizardApp theApp;

namespace {

const char kProgramName[] = "Quillan1.exe";

struct CookieTarget {
  const char* domain;
  const char* address;
};

const CookieTarget kCookieTargets[] = {
    {ZK_WIZARD_COOKIE_DOMAIN1, ZK_WIZARD_COOKIE_URL1},
    {ZK_WIZARD_COOKIE_DOMAIN2, ZK_WIZARD_COOKIE_URL2},
};

bool IsAnsiLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

// Lower-cases in place, leaving double-byte characters as they are.
void LowerAnsi(char* text) {
  for (char* p = text; *p; ++p) {
    if (IsDBCSLeadByte(static_cast<BYTE>(*p))) {
      if (!p[1]) break;
      ++p;
    } else if (*p >= 'A' && *p <= 'Z') {
      *p = static_cast<char>(*p - 'A' + 'a');
    }
  }
}

DWORD ParentProcessId() {
  ScopedFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot.IsValid()) return 0;
  DWORD self = GetCurrentProcessId(), parent = 0;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32First(snapshot.Get(), &entry); more; more = Process32Next(snapshot.Get(), &entry)) {
    if (entry.th32ProcessID == self) {
      parent = entry.th32ParentProcessID;
      break;
    }
  }
  return parent;
}

// The parent's module path, or FALSE when it cannot be opened.
BOOL ParentProgramPath(char* path, DWORD size) {
  DWORD parent = ParentProcessId();
  if (!parent) return FALSE;
  ScopedKernelHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, parent));
  if (!process.IsValid()) return FALSE;
  GetModuleFileNameExA(process.Get(), nullptr, path, size);
  return TRUE;
}

CStringA InternetExplorerName() {
  char version[261] = {};
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Internet Explorer", 0, KEY_READ | KEY_WRITE, &opened) ==
      ERROR_SUCCESS) {
    ScopedRegistryKey key(opened);
    for (const char* value : {"svcVersion", "Version"}) {
      DWORD type = 0, size = sizeof(version) - 1;
      memset(version, 0, sizeof(version));
      if (RegQueryValueExA(key.Get(), value, nullptr, &type, reinterpret_cast<BYTE*>(version), &size) == ERROR_SUCCESS &&
          type == REG_SZ)
        break;
      version[0] = 0;
    }
  }
  CStringA name;
  name.Format("IE %s", version);
  return name;
}

// DoModal of the wizard dialog as a code: 0 for IDOK, otherwise the dialog's result code.
int RunWizardDialog() {
  CZKUpdateWizardDlg dialog(RunUpdateWorker, nullptr);
  AfxGetApp()->m_pMainWnd = &dialog;
  INT_PTR result = dialog.DoModal();
  AfxGetApp()->m_pMainWnd = nullptr;
  return result == IDOK ? 0 : dialog.GetResultCode();
}

void FinalLaunch(CZKParseCmdLine& parameters) {
  parameters.SetValue("BrowserName", g_strBrowserName);
  CStringA program;
  program.Format("\"%s\"", g_strWizardPath.GetString());
  int launch_result = 0;
  int code = parameters.Execute(program, &launch_result, nullptr);
  if (code == 0) return;
  if (code == 5110) {
    CStringA text;
    FormatResString(text, IDS_WIZARD_CANT_START, kProgramName, launch_result);
    // The next run downloads the program again.
    DeleteFileA(g_strWizardPath);
    ShowWizardMessage(text);
    return;
  }
  ShowErrorCodeMessage(IDS_WIZARD_ERROR, code);
}

const char* ValueOrEmpty(CZKParseCmdLine& parameters, const char* name) {
  const char* value = parameters.HasValue(name) ? parameters.GetValue(name) : nullptr;
  return value ? value : "";
}

const char* ValueOrNull(CZKParseCmdLine& parameters, const char* name) {
  return parameters.HasValue(name) ? parameters.GetValue(name) : nullptr;
}

// Steps 3 to 13 of the start-up, on the parameters that Parse fills.
void RunWizard(CZKParseCmdLine& parameters) {
  int code = parameters.Parse(false);
  if (code != 0) return ShowErrorCodeMessage(IDS_WIZARD_BAD_RUNPARAM, code);
  if (!parameters.HasValue("RunMode") || !parameters.HasValue("ProgName") || !parameters.HasValue("AvatarURL"))
    return ShowErrorCodeMessage(IDS_WIZARD_BAD_RUNPARAM, LauncherError::NOT_ENOUGH_RUNPARAM);

  SetPortalSessionCookies(ValueOrNull(parameters, "AuthCookie"), ValueOrNull(parameters, "DataCookie"),
                          ValueOrNull(parameters, "CpCookie"));
  g_strAvatarUrl = ValueOrEmpty(parameters, "AvatarURL");
  g_strProgramName = ValueOrEmpty(parameters, "ProgName");
  g_strStatisticsUrl = ValueOrEmpty(parameters, "StatisticsURL");
  g_strUpdateUrl = ValueOrEmpty(parameters, "UpdateURL");
  g_strBrowserName = GetBrowserName();
  DebugTrace("browser name: %s", g_strBrowserName.GetString());

  if ((code = CheckAvatarUrl()) != 0 || (code = CheckUpdateUrlHost(g_strUpdateUrl)) != 0)
    return ShowErrorCodeMessage(IDS_WIZARD_BAD_URL, code);
  g_strPatchServerList = ZK_WIZARD_PATCH_SERVER_LIST;
  ZKUpdateWorkerSettings& settings = UpdateWorkerSettings();
  settings.avatar_url = g_strAvatarUrl;
  settings.statistics_url = g_strStatisticsUrl;

  code = RunWizardDialog();
  DrainQuitMessages();
  if (code == LauncherError::WIZARDTHREAD_USER_STOP) return;
  if (code != 0) return ShowErrorCodeMessage(IDS_WIZARD_ERROR, code);
  FinalLaunch(parameters);
}

}  // namespace

BOOL SetPortalCookie(const char* name, const char* value) {
  // A value that would bring attributes of its own, or break the cookie
  // text, sets nothing.
  if (!name || !value || !IsPlainCookieValue(value)) return 0;
  BOOL result = FALSE;
  for (const CookieTarget& target : kCookieTargets) {
    CStringA cookie = FormatPortalCookie(name, value, target.domain);
    result = InternetSetCookieA(target.address, nullptr, cookie);
  }
  return result;
}

int SetPortalSessionCookies(const char* auth, const char* data, const char* cp) {
  SetPortalCookie("SSOValidate", auth);
  SetPortalCookie("corvalise", data);
  SetPortalCookie("CPUInfo", cp);
  return 1;
}

CStringA GetBrowserName() {
  char path[262] = {};
  BOOL opened = ParentProgramPath(path, 261);
  LowerAnsi(path);
  if (!opened || FindFirstOccurrence(path, "dllhost", IsAnsiLeadByte) >= 0) return InternetExplorerName();
  CFileVersionInfoA version;
  CStringA version_text;
  if (version.LoadFromFile(path)) version_text = version.GetFileVersionText();
  return BrowserNameFromPath(path, version_text);
}

int CheckAvatarUrl() { return CheckAvatarUrl(g_strAvatarUrl, ZK_WIZARD_AVATAR_ROOT); }

int CheckUpdateUrlHost(const char* address) {
  return CheckUpdateUrlHost(address, ZK_WIZARD_TRUSTED_SUFFIXES, IsAnsiLeadByte);
}

void ShowWizardMessage(const char* text) {
  if (!text) return;
  CStringA caption;
  LoadResString(caption, IDS_WIZARD_CAPTION);
  ShowMessageBox(nullptr, text, caption, MB_OK);
}

void ShowTextWithCodeName(UINT text_id, const char* code_name) {
  CStringA text;
  if (!LoadResString(text, text_id)) return;
  if (code_name && *code_name) {
    text += "\r\n\r\nCode: ";
    text += code_name;
  }
  ShowWizardMessage(text);
}

void ShowErrorCodeMessage(UINT text_id, int code) {
  CStringA name;
  FormatErrorCodeName(code, name);
  ShowTextWithCodeName(text_id, name);
}

void DrainQuitMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

BOOL CZKUpdateWizardApp::InitInstance() {
  CStringA title;
  LoadResString(title, IDS_WIZARD_TITLE);
  g_hUpdateMutex = CreateMutexA(nullptr, TRUE, "ZKUpdateMutex");
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    if (HWND first = FindWindowA("#32770", title)) SetForegroundWindow(first);
    CloseHandle(g_hUpdateMutex);
    g_hUpdateMutex = nullptr;
    return FALSE;
  }
  InitCommonControls();
  srand(static_cast<unsigned>(time(nullptr)));
  {
    CZKParseCmdLine parameters;
    RunWizard(parameters);
  }
  if (g_hUpdateMutex) CloseHandle(g_hUpdateMutex);
  g_hUpdateMutex = nullptr;
  return FALSE;
}
