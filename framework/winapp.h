// The framework's application and window basics: resource handle, the
// application object and its main window.
#pragma once

#include <windows.h>

// A borrowed window handle (the framework never destroys it here).
class CWnd {
 public:
  CWnd() = default;
  explicit CWnd(HWND window) : m_hWnd(window) {}
  virtual ~CWnd() = default;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  // The window handle, or NULL when no window is attached.
  HWND GetSafeHwnd() const { return m_hWnd; }

  HWND m_hWnd = nullptr;
};

// The one application object; its constructor makes it the program's application.
class CWinApp {
 public:
  CWinApp();
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  // The application's start; the program's result comes from it.
  virtual BOOL InitInstance() { return FALSE; }

  // The main window, or NULL while there is none.
  CWnd* m_pMainWnd = nullptr;
  // The thread that made the application object (its user-interface thread).
  DWORD m_nThreadID = GetCurrentThreadId();
};

// The application object, or NULL when the program has none.
CWinApp* AfxGetApp();
// The main window of the calling thread: the application's main window on the
// thread that made the application object; NULL on other threads (worker
// threads own no window) and without application or window.
CWnd* AfxGetMainWnd();

// Module whose resources (string tables, dialogs, bitmaps) are looked up;
// the program's own module until AfxSetResourceHandle changes it.
HINSTANCE AfxGetResourceHandle();
// Sets the module of the resource lookups.
void AfxSetResourceHandle(HINSTANCE module);
// The program's own module.
HINSTANCE AfxGetInstanceHandle();
