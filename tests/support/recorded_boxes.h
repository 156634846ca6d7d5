// Test helper: a message-box function for SetMessageBoxFunctionForTesting
// that records each box instead of showing it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

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

}  // namespace zktest
