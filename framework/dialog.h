// The framework's message-handling windows: a window object whose messages run
// through a virtual WindowProc, the modal dialog over a dialog template
// resource, and the push button control.
#pragma once

#include <windows.h>

#include "framework/winapp.h"

// A window object that receives its window's messages through WindowProc:
// a dialog made by the framework, or a control subclassed to the object.
// The object must outlive its subclassing; the destructor undoes it.
class CMsgWnd : public CWnd {
 public:
  CMsgWnd() = default;
  ~CMsgWnd() override;

  // Routes the messages of window to this object; FALSE when the object is
  // attached already or the window is not valid.
  BOOL SubclassWindow(HWND window);
  // Subclasses the child control id of parent.
  BOOL SubclassDlgItem(UINT id, CWnd* parent);
  // Gives the window its previous procedure back; the window handle, or NULL.
  HWND UnsubclassWindow();

  // Handles one message; by default the window's previous procedure does.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // Called just before a window is subclassed to this object.
  virtual void PreSubclassWindow() {}

 protected:
  // The previous window procedure's handling of a message.
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // The previous procedure's handling of the message being handled now.
  LRESULT Default();

 private:
  static LRESULT CALLBACK HookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  WNDPROC previous_proc_ = nullptr;
  MSG current_{};
};

class CDialog;

// Direction of a data exchange between a dialog and its members.
class CDataExchange {
 public:
  CDataExchange(CDialog* dialog, BOOL save) : m_pDlgWnd(dialog), m_bSaveAndValidate(save) {}
  CDialog* m_pDlgWnd;
  BOOL m_bSaveAndValidate;
};

// Binds control id of the dialog to control, subclassing it the first time.
void DDX_Control(CDataExchange* exchange, int id, CMsgWnd& control);

// A modal dialog made from a dialog template of the resource module. DoModal
// runs its own message loop, so that PreTranslateMessage sees every message.
class CDialog : public CMsgWnd {
 public:
  // templateId: the dialog template resource; parent: the owner, or NULL.
  explicit CDialog(UINT templateId, CWnd* parent = nullptr) : template_id_(templateId), parent_(parent) {}

  // Shows the dialog and returns the code given to EndDialog once it has
  // ended; -1 when the template is missing or the window cannot be made.
  virtual INT_PTR DoModal();
  // Ends the modal loop with result; the window is destroyed afterwards.
  void EndDialog(int result);
  // Runs DoDataExchange in the given direction; TRUE.
  BOOL UpdateData(BOOL save = TRUE);

  // Dialog translation of a queued message (keyboard navigation, Esc, Enter);
  // TRUE when the message was used up.
  virtual BOOL PreTranslateMessage(MSG* message);
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  // Data exchange with the controls; nothing by default.
  virtual void DoDataExchange(CDataExchange*) {}
  // Start of the dialog: binds the controls; TRUE lets the system set the focus.
  virtual BOOL OnInitDialog();
  // IDOK: takes the controls' data and ends with IDOK.
  virtual void OnOK();
  // IDCANCEL: ends with IDCANCEL.
  virtual void OnCancel();

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void RunModalLoop();

  UINT template_id_;
  CWnd* parent_;
  bool ended_ = false;
  int result_ = -1;
};

// A push button, check box or radio button control.
class CButton : public CMsgWnd {
 public:
  // Makes a button window with the given text, style, place and control id,
  // subclassed to this object.
  virtual BOOL Create(LPCSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id);
  // The check state (BM_GETCHECK).
  int GetCheck() const { return static_cast<int>(::SendMessageA(m_hWnd, BM_GETCHECK, 0, 0)); }
  // Sets the check state (BM_SETCHECK).
  void SetCheck(int check) { ::SendMessageA(m_hWnd, BM_SETCHECK, check, 0); }
};
