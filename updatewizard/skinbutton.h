// A button drawn from a vertical strip of bitmap frames, with hover and
// pressed looks and an optional click sound.
#pragma once

#include <windows.h>

#include "framework/cstring.h"
#include "framework/dialog.h"
#include "updatewizard/skinbitmap.h"

class CMyButton : public CButton {
 public:
  // Visual states.
  enum { kStateNormal = 1, kStateHover = 2, kStatePressed = 3 };
  // One frame of the strip.
  struct Frame {
    int valid;
    int x;
    int y;
    int width;
    int height;
  };

  CMyButton() = default;

  void PreSubclassWindow() override;
  BOOL Create(LPCSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  // Enables or disables the button and puts it back to normal; TRUE.
  virtual BOOL EnableButton(BOOL enable);

  // Loads strip bitmapId of frameCount equal frames (1 to 4; other counts
  // load no strip), sizes the button to one frame and takes soundFile (or
  // none) as click sound. Returns whether the button is enabled.
  BOOL SetBitmap(UINT bitmapId, int frameCount, LPCSTR soundFile = nullptr);
  // SetBitmap, then moves the button to (x, y) of its parent.
  void SetBitmapAndMove(int x, int y, UINT bitmapId, int frameCount, LPCSTR soundFile = nullptr);
  // Draws the frame of the current state at (0, 0) of target.
  void DrawButton(HDC target);

  // The visual state: kStateNormal, kStateHover or kStatePressed.
  int GetState() const { return m_nState; }
  // Whether this is a check box or radio button style.
  int IsCheckStyle() const { return m_bCheckStyle; }
  const Frame& GetFrame(int index) const { return m_frames[index]; }

 private:
  void OnPaint();
  void OnMouseMove(LPARAM point);
  void OnLButtonDown();
  void OnLButtonUp();
  void OnShowWindow(BOOL show);
  void TakeCapture();
  void ReleaseHeldCapture();
  void SetState(int state);
  int ChooseFrame() const;

  int m_bEnabled = 1;
  int m_bCaptured = 0;
  int m_bPressed = 0;
  int m_nState = kStateNormal;
  int m_bStripLoaded = 0;
  Frame m_frames[4] = {};
  CMyBitmap m_bmpStrip;
  CStringA m_strSound;
  int m_bCheckStyle = 0;
};
