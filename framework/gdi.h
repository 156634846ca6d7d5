// The framework's drawing classes: bitmaps and device contexts, thin owners
// of one GDI handle each (copying deleted, moves allowed).
#pragma once

#include <windows.h>

// A bitmap that the object owns and deletes.
class CBitmap {
 public:
  CBitmap() = default;
  virtual ~CBitmap() { DeleteObject(); }
  CBitmap(const CBitmap&) = delete;
  CBitmap& operator=(const CBitmap&) = delete;
  CBitmap(CBitmap&& other) noexcept : m_hObject(other.Detach()) {}
  CBitmap& operator=(CBitmap&& other) noexcept;

  // Loads bitmap resource id of the framework's resource module; FALSE when
  // the object holds a bitmap already or the resource does not load.
  BOOL LoadBitmap(UINT id);
  // A new bitmap compatible with the device context's.
  BOOL CreateCompatibleBitmap(HDC dc, int width, int height);
  // A new device-dependent bitmap (CreateBitmap).
  BOOL CreateBitmap(int width, int height, UINT planes, UINT bits_per_pixel, const void* bits);
  // Takes over a bitmap handle; FALSE when the object holds one already.
  BOOL Attach(HBITMAP bitmap);
  // Gives up the bitmap without deleting it.
  HBITMAP Detach();
  // Deletes the bitmap held; FALSE when there was none.
  BOOL DeleteObject();
  // Reads the bitmap's header; the bytes written, 0 without a bitmap.
  int GetBitmap(BITMAP* header) const;

  HBITMAP GetSafeHandle() const { return m_hObject; }
  operator HBITMAP() const { return m_hObject; }

  HBITMAP m_hObject = nullptr;
};

// A device context. Memory contexts made with CreateCompatibleDC are owned
// and deleted; Attach borrows one that someone else releases.
class CDC {
 public:
  CDC() = default;
  virtual ~CDC() { DeleteDC(); }
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;

  // A memory context compatible with dc (the screen for NULL), owned.
  BOOL CreateCompatibleDC(HDC dc);
  // Deletes an owned context, or forgets a borrowed one.
  BOOL DeleteDC();
  // Borrows a context; FALSE when the object holds one already.
  BOOL Attach(HDC dc);
  HDC Detach();

  // Selects a bitmap and returns the one selected before (NULL on failure).
  HBITMAP SelectObject(HBITMAP bitmap) { return static_cast<HBITMAP>(::SelectObject(m_hDC, bitmap)); }
  BOOL BitBlt(int x, int y, int width, int height, HDC source, int source_x, int source_y, DWORD rop) {
    return ::BitBlt(m_hDC, x, y, width, height, source, source_x, source_y, rop);
  }
  COLORREF SetBkColor(COLORREF colour) { return ::SetBkColor(m_hDC, colour); }
  COLORREF SetTextColor(COLORREF colour) { return ::SetTextColor(m_hDC, colour); }
  int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
  COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }

  HDC GetSafeHdc() const { return m_hDC; }
  operator HDC() const { return m_hDC; }

  HDC m_hDC = nullptr;

 private:
  bool m_owned = false;
};

// The paint context of a window between BeginPaint and EndPaint.
class CPaintDC : public CDC {
 public:
  explicit CPaintDC(HWND window);
  ~CPaintDC() override;

  PAINTSTRUCT m_ps{};

 private:
  HWND m_window;
};
