// The window side of the dialog rescaling: the dialog's size and every descendant.
#include <windows.h>

#include "updatewizard/skinreposition.h"

static_assert(sizeof(ZKRect) == sizeof(RECT), "ZKRect is laid out like RECT");

namespace {

ZKRect FromRect(const RECT& rect) { return ZKRect{rect.left, rect.top, rect.right, rect.bottom}; }

}  // namespace

// The child-window callback: moves one descendant to its scaled place.
static BOOL CALLBACK RepositionChildProc(HWND window, LPARAM object) {
  CDialogCtrlReposition* self = reinterpret_cast<CDialogCtrlReposition*>(object);
  HWND parent = GetParent(window);
  RECT rect;
  if (!parent || !GetWindowRect(window, &rect)) return TRUE;
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
  self->MoveControl(window, self->ScaleRect(FromRect(rect)));
  return TRUE;
}

void CDialogCtrlReposition::RepositionDialog(HWND__* dialog, int resizeDialog) {
  if (!dialog) return;
  RECT mapped = {0, 0, 1000, 1000};
  if (!MapDialogRect(dialog, &mapped)) return;
  ComputeScale(ZKRect{0, 0, 1000, 1000}, FromRect(mapped));
  if (m_fScaleX == 1 && m_fScaleY == 1) return;
  RECT window_rect, client_rect;
  if (resizeDialog && GetWindowRect(dialog, &window_rect) && GetClientRect(dialog, &client_rect)) {
    ZKRect scaled = ScaleRect(FromRect(client_rect));
    int width = (window_rect.right - window_rect.left) - (client_rect.right - client_rect.left) +
                (scaled.right - scaled.left);
    int height = (window_rect.bottom - window_rect.top) - (client_rect.bottom - client_rect.top) +
                 (scaled.bottom - scaled.top);
    SetWindowPos(dialog, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
  }
  EnumChildWindows(dialog, &RepositionChildProc, reinterpret_cast<LPARAM>(this));
}

void CDialogCtrlReposition::MoveControl(HWND__* window, const ZKRect& rect) {
  SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, SWP_NOZORDER);
}
