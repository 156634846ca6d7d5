// Transparent drawing through a monochrome mask of the key colour.
#include "updatewizard/skinbitmap.h"

BOOL CMyBitmap::DrawTransparent(HDC target, int x, int y, int width, int height, int sourceX, int sourceY,
                                COLORREF keyColour) {
  if (!m_hObject || !target) return FALSE;
  if (width == 0 || height == 0) {
    BITMAP header;
    if (!GetBitmap(&header)) return FALSE;
    width = header.bmWidth;
    height = header.bmHeight;
  }
  CDC image, mask, source;
  if (!image.CreateCompatibleDC(target) || !mask.CreateCompatibleDC(target) || !source.CreateCompatibleDC(target))
    return FALSE;
  CBitmap image_bitmap, mask_bitmap;
  if (!image_bitmap.CreateCompatibleBitmap(target, width, height) || !mask_bitmap.CreateBitmap(width, height, 1, 1, nullptr))
    return FALSE;

  HBITMAP old_source = source.SelectObject(m_hObject);
  HBITMAP old_image = image.SelectObject(image_bitmap);
  HBITMAP old_mask = mask.SelectObject(mask_bitmap);
  image.BitBlt(0, 0, width, height, source, sourceX, sourceY, SRCCOPY);
  // Colour to monochrome: pixels of the background colour become 1.
  image.SetBkColor(keyColour);
  mask.BitBlt(0, 0, width, height, image, 0, 0, SRCCOPY);
  // Monochrome to colour: 1 takes the background colour, 0 the text colour.
  image.SetBkColor(RGB(0, 0, 0));
  image.SetTextColor(RGB(255, 255, 255));
  image.BitBlt(0, 0, width, height, mask, 0, 0, SRCAND);
  ::SetBkColor(target, RGB(255, 255, 255));
  ::SetTextColor(target, RGB(0, 0, 0));
  ::BitBlt(target, x, y, width, height, mask, 0, 0, SRCAND);
  ::BitBlt(target, x, y, width, height, image, 0, 0, SRCPAINT);

  source.SelectObject(old_source);
  image.SelectObject(old_image);
  mask.SelectObject(old_mask);
  return TRUE;
}
