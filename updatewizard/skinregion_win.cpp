// Window shapes from bitmaps: runs of pixels other than the key colour,
// joined row by row into one region.
#include "updatewizard/skinregion.h"

BOOL DibPixelBuffer::Load(HDC dc, HBITMAP bitmap) {
  Release();
  BITMAP header;
  if (!bitmap || !::GetObjectA(bitmap, sizeof(header), &header) || header.bmWidthBytes <= 0 || header.bmHeight <= 0 ||
      header.bmWidth <= 0)
    return FALSE;
  m_header.bmType = 0;
  m_header.bmWidth = header.bmWidth;
  m_header.bmHeight = header.bmHeight;
  m_header.bmWidthBytes = ((header.bmWidth * 3) + 3) & ~3;
  m_header.bmPlanes = 1;
  m_header.bmBitsPixel = 24;
  m_pixels.assign(static_cast<size_t>(m_header.bmWidthBytes) * m_header.bmHeight, 0);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = m_header.bmWidth;
  info.bmiHeader.biHeight = m_header.bmHeight;  // positive: bottom-up
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  int rows = ::GetDIBits(dc, bitmap, 0, m_header.bmHeight, m_pixels.data(), &info, DIB_RGB_COLORS);
  if (rows != m_header.bmHeight) {
    Release();
    return FALSE;
  }
  m_header.bmBits = m_pixels.data();
  return TRUE;
}

void DibPixelBuffer::Release() {
  m_pixels.clear();
  m_pixels.shrink_to_fit();
  m_header = BITMAP{};
}

DWORD DibPixelBuffer::PixelAt(int x, int y) const {
  if (m_pixels.empty() || x < 0 || y < 0 || x >= m_header.bmWidth || y >= m_header.bmHeight) return 0;
  const BYTE* pixel =
      m_pixels.data() + static_cast<size_t>(m_header.bmHeight - 1 - y) * m_header.bmWidthBytes + static_cast<size_t>(x) * 3;
  return (static_cast<DWORD>(pixel[2]) << 16) | (static_cast<DWORD>(pixel[1]) << 8) | pixel[0];
}

BOOL CHTransRegion::SetRegionFromBitmap(HBITMAP bitmapHandle, HWND window, DWORD keyColour, CMyBitmap& bitmap) {
  BITMAP header;
  if (!bitmap.GetBitmap(&header)) return FALSE;
  return BuildRegion(bitmapHandle, window, keyColour, header.bmHeight, header.bmWidth - 1);
}

BOOL CHTransRegion::BuildRegion(HBITMAP bitmapHandle, HWND window, DWORD keyColour, int rows, int lastColumn) {
  if (!window || rows <= 0 || lastColumn <= 0 || !bitmapHandle) return FALSE;
  m_hBitmap = bitmapHandle;
  // A window context serves GetDIBits; a paint context outside WM_PAINT
  // would validate the window and lose its first paint.
  HDC dc = ::GetDC(window);
  if (!dc) return FALSE;
  DibPixelBuffer buffer;
  BOOL loaded = buffer.Load(dc, bitmapHandle);
  ::ReleaseDC(window, dc);
  if (!loaded) return FALSE;

  HRGN region = ::CreateRectRgn(0, 0, 0, 0);
  if (!region) return FALSE;
  for (int y = 0; y < rows; ++y) {
    int x = 0;
    do {
      while (x <= lastColumn && buffer.PixelAt(x, y) == keyColour) ++x;
      int start = x;
      while (x <= lastColumn && buffer.PixelAt(x, y) != keyColour) ++x;
      if (x > start) {
        HRGN run = ::CreateRectRgn(start, y, x, y + 1);
        if (run) {
          ::CombineRgn(region, region, run, RGN_OR);
          ::DeleteObject(run);
        }
      }
    } while (x < lastColumn);
  }
  buffer.Release();
  // From here on the window owns the region.
  if (!::SetWindowRgn(window, region, TRUE)) {
    ::DeleteObject(region);
    return FALSE;
  }
  return TRUE;
}
