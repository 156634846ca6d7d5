// The pure arithmetic of the dialog rescaling.
#include "updatewizard/skinreposition.h"

namespace {

// Pixels per dialog unit along one axis; a non-positive unit extent counts as 1.
double Factor(long pixels, long units) { return static_cast<double>(pixels) / (units > 0 ? units : 1); }

}  // namespace

CDialogCtrlReposition::CDialogCtrlReposition() { ComputeScale(m_rcDesignUnits, m_rcDesignPixels); }

void CDialogCtrlReposition::ComputeScale(const ZKRect& units, const ZKRect& pixels) {
  double design_x = Factor(m_rcDesignPixels.right - m_rcDesignPixels.left, m_rcDesignUnits.right - m_rcDesignUnits.left);
  double design_y = Factor(m_rcDesignPixels.bottom - m_rcDesignPixels.top, m_rcDesignUnits.bottom - m_rcDesignUnits.top);
  double actual_x = Factor(pixels.right - pixels.left, units.right - units.left);
  double actual_y = Factor(pixels.bottom - pixels.top, units.bottom - units.top);
  if (actual_x == 0) actual_x = 1;
  if (actual_y == 0) actual_y = 1;
  m_fScaleX = static_cast<float>(design_x / actual_x);
  m_fScaleY = static_cast<float>(design_y / actual_y);
}

ZKRect CDialogCtrlReposition::ScaleRect(const ZKRect& rect) const {
  // The conversion to long truncates toward zero.
  return ZKRect{static_cast<long>(rect.left * m_fScaleX), static_cast<long>(rect.top * m_fScaleY),
                static_cast<long>(rect.right * m_fScaleX), static_cast<long>(rect.bottom * m_fScaleY)};
}
