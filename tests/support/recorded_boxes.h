// Test helper: a message-box function for the shared helpers' box seam that
// records each box instead of showing it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "_Common/zkcommonfunc_win.h"

namespace zktest {

struct RecordedBox {
  std::string text, caption;
  HWND owner;
  UINT style;
};

// The boxes recorded so far, oldest first.
inline std::vector<RecordedBox>& RecordedBoxes() {
  static std::vector<RecordedBox> boxes;
  return boxes;
}

// Records the box and answers as if OK was pressed.
inline int WINAPI RecordBox(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
  RecordedBoxes().push_back({text ? text : "", caption ? caption : "", owner, style});
  return IDOK;
}

// Records the shared helpers' boxes, from an empty record, for the object's life.
class RecordingBoxes {
 public:
  RecordingBoxes() {
    RecordedBoxes().clear();
    boxes_.calls().messageBoxA = RecordBox;
  }

 private:
  ScopedZKCommonFuncCalls boxes_;
};

}  // namespace zktest
