// Plays the game web page for the starter's scenarios and the demo.
#include "tests/starter/webpage.h"

#include <cstring>
#include <vector>

#include "tests/support/process.h"
#include "zkcrypt/corecipher.h"

namespace zktest {

bool PutParameterText(const std::string& passPhrase, const std::string& pairText) {
  // Wine starts its desktop process, and with it the clipboard's bridge to
  // the X display, for the first program that needs a desktop, and ends it
  // a moment after the last one. A text written while the bridge starts can
  // be lost (seen once on a loaded machine: the starter found no text and
  // showed 57400), so the desktop is up before the text is written.
  GetDesktopWindow();
  std::vector<char> hex(2 * (pairText.size() + 8) + 1, '\0');
  if (Crypt(passPhrase.c_str(), 0, pairText.c_str(), hex.data(), static_cast<unsigned>(hex.size())) != 0) return false;
  size_t n = strlen(hex.data());
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, n + 1);
  if (!block) return false;
  memcpy(GlobalLock(block), hex.data(), n + 1);
  GlobalUnlock(block);
  for (int attempt = 0; attempt < 100; ++attempt) {
    if (OpenClipboard(nullptr)) {
      EmptyClipboard();
      bool done = SetClipboardData(CF_TEXT, block) != nullptr;
      CloseClipboard();
      if (!done) GlobalFree(block);
      return done;
    }
    Sleep(20);
  }
  GlobalFree(block);
  return false;
}

std::string StarterArgument(const std::string& s, const std::string& u, const std::string& p) {
  return "\"?SVersion=" + s + ",UVersion=" + u + ",publish=" + p + "\"";
}

HANDLE StartStarter(const std::string& starterPath, const std::string& argument) {
  return StartProcess("\"" + starterPath + "\" " + argument);
}

}  // namespace zktest
