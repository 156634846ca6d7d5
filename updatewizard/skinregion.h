// A window shaped like a bitmap: every pixel of a key colour is cut away.
#pragma once

#include <windows.h>

#include <vector>

#include "updatewizard/skinbitmap.h"

// The 24-bit bottom-up pixels of a bitmap, read with GetDIBits.
class DibPixelBuffer {
 public:
  // Reads the bitmap's pixels; FALSE (and nothing held) when it reports no
  // positive row size or height, or GetDIBits does not deliver every row.
  BOOL Load(HDC dc, HBITMAP bitmap);
  // Frees the pixels.
  void Release();
  // The pixel at column x of row y counted from the top, as red x 65536 +
  // green x 256 + blue; 0 outside the buffer.
  DWORD PixelAt(int x, int y) const;

  BITMAP m_header{};

 private:
  std::vector<BYTE> m_pixels;
};

class CHTransRegion {
 public:
  CHTransRegion() = default;
  virtual ~CHTransRegion() = default;
  CHTransRegion(const CHTransRegion&) = delete;
  CHTransRegion& operator=(const CHTransRegion&) = delete;

  // Shapes window after the whole of bitmap (the size is read from it).
  BOOL SetRegionFromBitmap(HBITMAP bitmapHandle, HWND window, DWORD keyColour, CMyBitmap& bitmap);
  // Makes the region of all pixels but keyColour (red in the high byte) in
  // the given rows and columns 0 to lastColumn, and gives it to window.
  BOOL BuildRegion(HBITMAP bitmapHandle, HWND window, DWORD keyColour, int rows, int lastColumn);

 private:
  HBITMAP m_hBitmap = nullptr;
};
