// A bitmap that draws itself with one key colour left transparent.
#pragma once

#include <windows.h>

#include "framework/gdi.h"

class CMyBitmap : public CBitmap {
 public:
  // Draws the width x height part at (sourceX, sourceY) of the bitmap at
  // (x, y) of target, leaving the target as it is under pixels of keyColour.
  // Width or height 0 draws the whole bitmap. FALSE without a bitmap. The
  // target keeps background colour white and text colour black afterwards.
  BOOL DrawTransparent(HDC target, int x, int y, int width, int height, int sourceX, int sourceY, COLORREF keyColour);
};
