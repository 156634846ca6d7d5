// Bitmaps and device contexts over GDI.
#include "framework/gdi.h"

#include <utility>

#include "framework/winapp.h"

CBitmap& CBitmap::operator=(CBitmap&& other) noexcept {
  if (this != &other) {
    DeleteObject();
    m_hObject = other.Detach();
  }
  return *this;
}

BOOL CBitmap::LoadBitmap(UINT id) {
  return Attach(::LoadBitmapA(AfxGetResourceHandle(), MAKEINTRESOURCEA(id)));
}

BOOL CBitmap::CreateCompatibleBitmap(HDC dc, int width, int height) {
  return Attach(::CreateCompatibleBitmap(dc, width, height));
}

BOOL CBitmap::CreateBitmap(int width, int height, UINT planes, UINT bits_per_pixel, const void* bits) {
  return Attach(::CreateBitmap(width, height, planes, bits_per_pixel, bits));
}

BOOL CBitmap::Attach(HBITMAP bitmap) {
  if (m_hObject || !bitmap) {
    if (bitmap && bitmap != m_hObject) ::DeleteObject(bitmap);
    return FALSE;
  }
  m_hObject = bitmap;
  return TRUE;
}

HBITMAP CBitmap::Detach() { return std::exchange(m_hObject, nullptr); }

BOOL CBitmap::DeleteObject() {
  if (!m_hObject) return FALSE;
  return ::DeleteObject(Detach());
}

int CBitmap::GetBitmap(BITMAP* header) const {
  if (!m_hObject) return 0;
  return ::GetObjectA(m_hObject, sizeof(BITMAP), header);
}

BOOL CDC::CreateCompatibleDC(HDC dc) {
  if (m_hDC) return FALSE;
  m_hDC = ::CreateCompatibleDC(dc);
  m_owned = m_hDC != nullptr;
  return m_hDC != nullptr;
}

BOOL CDC::DeleteDC() {
  if (!m_hDC) return FALSE;
  HDC dc = Detach();
  return m_owned ? ::DeleteDC(dc) : TRUE;
}

BOOL CDC::Attach(HDC dc) {
  if (m_hDC || !dc) return FALSE;
  m_hDC = dc;
  m_owned = false;
  return TRUE;
}

HDC CDC::Detach() { return std::exchange(m_hDC, nullptr); }

CPaintDC::CPaintDC(HWND window) : m_window(window) { Attach(::BeginPaint(window, &m_ps)); }

CPaintDC::~CPaintDC() {
  Detach();
  ::EndPaint(m_window, &m_ps);
}
