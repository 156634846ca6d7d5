// Rescaling of a dialog and its controls, so that the dialog keeps its
// designed pixel size whatever its dialog units map to. The arithmetic is
// pure; RepositionDialog and MoveControl are Windows code.
#pragma once

struct HWND__;

// A rectangle laid out like the system's RECT.
struct ZKRect {
  long left;
  long top;
  long right;
  long bottom;
};

class CDialogCtrlReposition {
 public:
  // Scales from the design pair: 1000 x 1000 dialog units shown as 1750 x 1500 pixels.
  CDialogCtrlReposition();
  virtual ~CDialogCtrlReposition() = default;

  // Sets the scales from a dialog-unit rectangle and the pixels it maps to:
  // design factor / actual factor per axis (a divisor of 0 or less counts as
  // 1, and so does an actual factor of exactly 0).
  void ComputeScale(const ZKRect& units, const ZKRect& pixels);
  // The rectangle scaled, each coordinate truncated toward zero.
  ZKRect ScaleRect(const ZKRect& rect) const;
  // Rescales the dialog (its size too, when resizeDialog) and every descendant window.
  void RepositionDialog(HWND__* dialog, int resizeDialog);
  // Moves and sizes window to rect (parent's client coordinates), keeping the z-order.
  void MoveControl(HWND__* window, const ZKRect& rect);

  float GetScaleX() const { return m_fScaleX; }
  float GetScaleY() const { return m_fScaleY; }

 private:
  ZKRect m_rcDesignUnits{0, 0, 1000, 1000};
  ZKRect m_rcDesignPixels{0, 0, 1750, 1500};
  float m_fScaleX = 1;
  float m_fScaleY = 1;
};
