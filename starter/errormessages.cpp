// The starter's error boxes and the loading of their texts.
#include "starter/errormessages.h"

#include <windows.h>

#include "framework/winapp.h"

namespace {

int SystemMessageBox(void* owner, const wchar_t* text, const wchar_t* caption, unsigned style) {
  return MessageBoxW(static_cast<HWND>(owner), text, caption, style);
}

}  // namespace

StarterMessageCalls StarterMessagePlatformCalls() { return {SystemMessageBox}; }

StarterMessageCalls& StarterMessageCurrentCalls() {
  static StarterMessageCalls calls = StarterMessagePlatformCalls();
  return calls;
}

bool LoadMessageText(CString& text, unsigned id) { return text.LoadString(id) != 0; }

int ShowErrorText(const wchar_t* caption, const wchar_t* text) {
  if (!caption || !*caption) caption = L"ZKStarter";
  CWnd* main_window = AfxGetMainWnd();
  HWND owner = main_window ? main_window->GetSafeHwnd() : nullptr;
  return StarterMessageCurrentCalls().messageBox(owner, text ? text : L"", caption, MB_ICONERROR | MB_SETFOREGROUND);
}

int ShowErrorMessage(unsigned message_id) {
  CString text, caption;
  LoadMessageText(text, message_id);
  LoadMessageText(caption, IDS_ERROR_CAPTION);
  return ShowErrorText(caption, text);
}
