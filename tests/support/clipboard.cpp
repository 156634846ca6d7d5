// What the tests and the peers ask of the clipboard (see clipboard.h).
#include "tests/support/clipboard.h"

#include <windows.h>

namespace zktest {

bool ClipFormatHasData() {
  for (int attempt = 0; attempt < 100 && !OpenClipboard(nullptr); ++attempt) Sleep(20);
  HANDLE data = GetClipboardData(RegisterClipboardFormatA("Corvalise_ClipFormat"));
  CloseClipboard();
  return data != nullptr;
}

}  // namespace zktest
