// The update wizard's application: single instance, run-parameter intake and
// checks, portal cookies, browser detection, the wizard dialog and the final
// launch of the installed Quillan1.exe.
#pragma once

#include <windows.h>

#include "framework/cstring.h"
#include "framework/winapp.h"
#include "updatewizard/resource_ids.h"


// The avatar address and the update address from the run parameters.
extern CStringA g_strAvatarUrl;
extern CStringA g_strUpdateUrl;
// The single-instance mutex "ZKUpdateMutex", held while the start-up runs.
extern HANDLE g_hUpdateMutex;

class CZKUpdateWizardApp : public CWinApp {
 public:
  CZKUpdateWizardApp() = default;
  // The whole start-up; always FALSE, so no message loop follows.
  BOOL InitInstance() override;
};

// Sets "name=value" without expiry on both cookie targets; the result of the
// second setting, or 0 without a name or value.
BOOL SetPortalCookie(const char* name, const char* value);
// "SSOValidate", "corvalise" and "CPUInfo" in that order; always 1.
int SetPortalSessionCookies(const char* auth, const char* data, const char* cp);
// The parent program's lower-case name and file version, or "IE <version>".
CStringA GetBrowserName();
// The avatar address against the built-in avatar root: 0 or 2002.
int CheckAvatarUrl();
// The host of address against the built-in trusted suffixes: 0 or 2002.
int CheckUpdateUrlHost(const char* address);
// A box without owner, caption string 57300, OK only; nothing without text.
void ShowWizardMessage(const char* text);
// String text_id, "\r\n\r\nCode: " and the name when there is one; nothing when the string is missing.
void ShowTextWithCodeName(UINT text_id, const char* code_name);
// ShowTextWithCodeName with the code's name (or "Unknown Error Code(%d)").
void ShowErrorCodeMessage(UINT text_id, int code);
// Removes every WM_QUIT waiting in the thread's queue.
void DrainQuitMessages();
