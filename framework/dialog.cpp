// Message-handling windows, the modal dialog and the button over Win32.
#include "framework/dialog.h"

namespace {

// The window property that leads from a subclassed window to its object.
const char kObjectProperty[] = "ZKFrameworkWindowObject";

}  // namespace

CMsgWnd::~CMsgWnd() { UnsubclassWindow(); }

BOOL CMsgWnd::SubclassWindow(HWND window) {
  if (m_hWnd || !::IsWindow(window)) return FALSE;
  PreSubclassWindow();
  if (!::SetPropA(window, kObjectProperty, this)) return FALSE;
  m_hWnd = window;
  previous_proc_ = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CMsgWnd::HookProc)));
  return TRUE;
}

BOOL CMsgWnd::SubclassDlgItem(UINT id, CWnd* parent) {
  if (!parent) return FALSE;
  return SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id)));
}

HWND CMsgWnd::UnsubclassWindow() {
  HWND window = m_hWnd;
  if (!window) return nullptr;
  if (::IsWindow(window)) {
    ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_proc_));
    ::RemovePropA(window, kObjectProperty);
  }
  m_hWnd = nullptr;
  previous_proc_ = nullptr;
  return window;
}

LRESULT CMsgWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProc(message, wParam, lParam);
}

LRESULT CMsgWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (previous_proc_) return ::CallWindowProcA(previous_proc_, m_hWnd, message, wParam, lParam);
  return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CMsgWnd::Default() { return DefWindowProc(current_.message, current_.wParam, current_.lParam); }

LRESULT CALLBACK CMsgWnd::HookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  CMsgWnd* self = static_cast<CMsgWnd*>(::GetPropA(window, kObjectProperty));
  if (!self) return ::DefWindowProcA(window, message, wParam, lParam);
  // Handlers may send messages to their own window: keep the outer message.
  MSG outer = self->current_;
  self->current_ = MSG{window, message, wParam, lParam, 0, {}};
  LRESULT result = self->WindowProc(message, wParam, lParam);
  self->current_ = outer;
  // The window is gone after its last message; the object stays.
  if (message == WM_NCDESTROY) self->UnsubclassWindow();
  return result;
}

void DDX_Control(CDataExchange* exchange, int id, CMsgWnd& control) {
  if (!exchange || control.m_hWnd) return;
  control.SubclassDlgItem(static_cast<UINT>(id), exchange->m_pDlgWnd);
}

INT_PTR CDialog::DoModal() {
  HINSTANCE module = AfxGetResourceHandle();
  HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(template_id_), MAKEINTRESOURCEA(5) /* RT_DIALOG */);
  HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
  const void* dialog_template = loaded ? ::LockResource(loaded) : nullptr;
  if (!dialog_template) return -1;

  HWND owner = parent_ ? parent_->m_hWnd : nullptr;
  bool owner_was_enabled = owner && ::IsWindowEnabled(owner);
  if (owner_was_enabled) ::EnableWindow(owner, FALSE);
  ended_ = false;
  result_ = -1;
  HWND window = ::CreateDialogIndirectParamA(module, static_cast<LPCDLGTEMPLATEA>(dialog_template), owner,
                                             &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
  if (window) RunModalLoop();
  if (owner_was_enabled) {
    ::EnableWindow(owner, TRUE);
    ::SetActiveWindow(owner);
  }
  if (window && ::IsWindow(window)) ::DestroyWindow(window);
  UnsubclassWindow();
  return window ? result_ : -1;
}

void CDialog::RunModalLoop() {
  MSG message;
  while (!ended_ && m_hWnd && ::IsWindow(m_hWnd)) {
    BOOL got = ::GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) {
      // WM_QUIT belongs to the outer loop: end the dialog and hand it on.
      ::PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (got == -1) break;
    if (!PreTranslateMessage(&message)) {
      ::TranslateMessage(&message);
      ::DispatchMessageA(&message);
    }
  }
}

void CDialog::EndDialog(int result) {
  result_ = result;
  ended_ = true;
  // Wake the loop when the call came from outside a dispatched message.
  if (m_hWnd) ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
}

BOOL CDialog::UpdateData(BOOL save) {
  CDataExchange exchange(this, save);
  DoDataExchange(&exchange);
  return TRUE;
}

BOOL CDialog::PreTranslateMessage(MSG* message) {
  if (!m_hWnd) return FALSE;
  return ::IsDialogMessageA(m_hWnd, message);
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
    if (LOWORD(wParam) == IDOK) {
      OnOK();
      return 0;
    }
    if (LOWORD(wParam) == IDCANCEL) {
      OnCancel();
      return 0;
    }
  }
  return CMsgWnd::WindowProc(message, wParam, lParam);
}

BOOL CDialog::OnInitDialog() { return UpdateData(FALSE); }

void CDialog::OnOK() {
  UpdateData(TRUE);
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM, LPARAM lParam) {
  if (message != WM_INITDIALOG) return FALSE;
  // From here on every message reaches the object first; the dialog's own
  // procedure (which calls this one) is its default handling.
  CDialog* self = reinterpret_cast<CDialog*>(lParam);
  if (!self->SubclassWindow(window)) return TRUE;
  return self->OnInitDialog();
}

BOOL CButton::Create(LPCSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  HWND window = ::CreateWindowExA(0, "BUTTON", text, style, rect.left, rect.top, rect.right - rect.left,
                                  rect.bottom - rect.top, parent ? parent->m_hWnd : nullptr,
                                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), AfxGetInstanceHandle(), nullptr);
  if (!window) return FALSE;
  if (SubclassWindow(window)) return TRUE;
  ::DestroyWindow(window);
  return FALSE;
}
