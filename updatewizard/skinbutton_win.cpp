// The bitmap-strip button: frame choice, mouse states and the click.
#include "updatewizard/skinbutton.h"

#include <mmsystem.h>
#include <windowsx.h>

void CMyButton::PreSubclassWindow() { CButton::PreSubclassWindow(); }

BOOL CMyButton::Create(LPCSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CButton::Create(text, style, rect, parent, id);
}

LRESULT CMyButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_LBUTTONDOWN:
      OnLButtonDown();
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(lParam);
      return 0;
    case WM_LBUTTONUP:
      OnLButtonUp();
      return 0;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_LBUTTONDBLCLK:
    case WM_KEYDOWN:
      return 0;  // ignored: the standard button must not see them
    case WM_ENABLE:
      return 0;
    case WM_SHOWWINDOW:
      OnShowWindow(static_cast<BOOL>(wParam));
      return 0;
    case WM_ERASEBKGND:
      DrawButton(reinterpret_cast<HDC>(wParam));
      return TRUE;
    case WM_SETCURSOR:
      return TRUE;
    default:
      return CButton::WindowProc(message, wParam, lParam);
  }
}

BOOL CMyButton::SetBitmap(UINT bitmapId, int frameCount, LPCSTR soundFile) {
  ReleaseHeldCapture();
  m_bStripLoaded = 1;
  for (Frame& frame : m_frames) frame = Frame{};
  m_bmpStrip.DeleteObject();
  // The frame table has four records, and the count divides the height.
  if (frameCount >= 1 && frameCount <= 4) m_bmpStrip.LoadBitmap(bitmapId);
  m_strSound = soundFile ? soundFile : "";

  BITMAP header;
  if (m_hWnd && m_bmpStrip.GetBitmap(&header)) {
    int height = header.bmHeight / frameCount;
    int width = header.bmWidth;
    if (width > 0 && height > 0) {
      ::SetWindowPos(m_hWnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
      for (int i = 0; i < frameCount; ++i) m_frames[i] = Frame{1, 0, i * height, width, height};
    }
  }
  if (m_hWnd) {
    DWORD style = LOWORD(::GetWindowLongA(m_hWnd, GWL_STYLE));
    if ((style & 0x0B) != 0x0B &&
        ((style & 2) != 0 || (style & 3) == 3 || (style & 4) != 0 || (style & 9) == 9))
      m_bCheckStyle = 1;
  }
  m_bEnabled = m_hWnd && ::IsWindowEnabled(m_hWnd);
  return m_bEnabled;
}

void CMyButton::SetBitmapAndMove(int x, int y, UINT bitmapId, int frameCount, LPCSTR soundFile) {
  SetBitmap(bitmapId, frameCount, soundFile);
  if (m_hWnd) ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

int CMyButton::ChooseFrame() const {
  bool enabled = m_hWnd && ::IsWindowEnabled(m_hWnd);
  if (m_bCheckStyle) {
    bool checked = GetCheck() == 1;
    if (enabled) return checked ? 1 : 0;
    if (checked) return m_frames[3].valid ? 3 : 1;
    return m_frames[2].valid ? 2 : 0;
  }
  if (!enabled) return m_frames[3].valid ? 3 : 0;
  switch (m_nState) {
    case kStateNormal:
      return 0;
    case kStateHover:
      return m_frames[1].valid ? 1 : 0;
    case kStatePressed:
      return m_frames[2].valid ? 2 : (m_frames[1].valid ? 1 : 0);
    default:
      return -1;
  }
}

void CMyButton::DrawButton(HDC target) {
  CDC memory;
  if (!target || !memory.CreateCompatibleDC(target) || !m_bmpStrip.GetSafeHandle()) return;
  int index = ChooseFrame();
  if (index < 0 || !m_frames[index].valid) return;
  const Frame& frame = m_frames[index];
  HBITMAP old = memory.SelectObject(m_bmpStrip);
  ::BitBlt(target, 0, 0, frame.width, frame.height, memory, frame.x, frame.y, SRCCOPY);
  memory.SelectObject(old);
}

void CMyButton::OnPaint() {
  CPaintDC dc(m_hWnd);
  DrawButton(dc);
}

void CMyButton::TakeCapture() {
  if (m_bCaptured) return;
  // SetCapture tells the previous holder, usually none: ask who holds it now.
  ::SetCapture(m_hWnd);
  if (::GetCapture() == m_hWnd) m_bCaptured = 1;
}

void CMyButton::ReleaseHeldCapture() {
  if (m_bCaptured && ::ReleaseCapture()) m_bCaptured = 0;
}

void CMyButton::SetState(int state) {
  if (m_nState == state) return;
  m_nState = state;
  ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CMyButton::OnMouseMove(LPARAM lParam) {
  if (!m_bEnabled) return;
  TakeCapture();
  POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  if (::PtInRect(&client, point)) {
    if (m_nState == kStateNormal) SetState(kStateHover);
    if (m_bPressed && m_nState != kStatePressed) SetState(kStatePressed);
  } else if (!m_bPressed) {
    if (::ReleaseCapture()) {
      m_bCaptured = 0;
      SetState(kStateNormal);
    }
  } else {
    SetState(kStateHover);
  }
}

void CMyButton::OnLButtonDown() {
  if (!m_bEnabled) return;
  TakeCapture();
  m_bPressed = 1;
  SetState(kStatePressed);
  ::InvalidateRect(m_hWnd, nullptr, FALSE);
  if (!m_strSound.IsEmpty()) ::PlaySoundA(m_strSound.GetString(), nullptr, SND_FILENAME | SND_ASYNC | SND_NODEFAULT);
}

void CMyButton::OnLButtonUp() {
  if (!m_bEnabled) return;
  ReleaseHeldCapture();
  if (!m_bPressed) return;
  m_bPressed = 0;
  if (m_nState == kStateHover) {
    SetState(kStateNormal);
    return;
  }
  if (m_nState != kStatePressed) return;
  m_nState = kStateNormal;
  if (m_bCheckStyle && LOWORD(::GetWindowLongA(m_hWnd, GWL_STYLE)) == BS_AUTOCHECKBOX) SetCheck(1 - GetCheck());
  int id = ::GetDlgCtrlID(m_hWnd);
  ::PostMessageA(::GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(m_hWnd));
  ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CMyButton::OnShowWindow(BOOL show) {
  Default();
  if (!show && m_bCaptured) {
    ::ReleaseCapture();
    m_bCaptured = 0;
  }
}

BOOL CMyButton::EnableButton(BOOL enable) {
  m_bEnabled = enable ? 1 : 0;
  ReleaseHeldCapture();
  if (m_hWnd) ::EnableWindow(m_hWnd, enable);
  m_nState = kStateNormal;
  m_bPressed = 0;
  if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, FALSE);
  return TRUE;
}
