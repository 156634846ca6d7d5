// Test peer: puts a text on the clipboard, reads it, or empties the clipboard.
//   cliptool set-text <text>           CF_TEXT with the argument's bytes (ASCII)
//   cliptool set-hex <hex>             CF_TEXT with the given bytes (may be empty)
//   cliptool set-format <name> <text>  registered format <name> holding <text> and a NUL
//   cliptool get                       prints the CF_TEXT bytes as hex, exit 1 without text
//   cliptool has-format <name>         exit 0 when the registered format is offered
//   cliptool empty                     empties the clipboard
//   cliptool hold-desktop              keeps the prefix's desktop open until it is ended
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

bool OpenWithRetry() {
  // Another process may hold the clipboard for a moment.
  for (int attempt = 0; attempt < 100; ++attempt) {
    if (OpenClipboard(nullptr)) return true;
    Sleep(20);
  }
  return false;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool DecodeHex(const char* hex, std::string* out) {
  size_t n = strlen(hex);
  if (n % 2) return false;
  for (size_t i = 0; i < n; i += 2) {
    int hi = HexValue(hex[i]), lo = HexValue(hex[i + 1]);
    if (hi < 0 || lo < 0) return false;
    out->push_back(static_cast<char>(hi * 16 + lo));
  }
  return true;
}

int SetBytes(UINT format, const std::string& bytes) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size() + 1);
  if (!block) return 2;
  char* p = static_cast<char*>(GlobalLock(block));
  memcpy(p, bytes.data(), bytes.size());
  p[bytes.size()] = 0;
  GlobalUnlock(block);
  if (!OpenWithRetry()) return 3;
  EmptyClipboard();
  bool ok = SetClipboardData(format, block) != nullptr;
  CloseClipboard();
  if (!ok) { GlobalFree(block); return 4; }
  return 0;
}

int GetText() {
  if (!IsClipboardFormatAvailable(CF_TEXT)) return 1;
  if (!OpenWithRetry()) return 3;
  HANDLE data = GetClipboardData(CF_TEXT);
  const char* p = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
  if (p) {
    for (const unsigned char* q = reinterpret_cast<const unsigned char*>(p); *q; ++q) printf("%02x", *q);
    GlobalUnlock(data);
  }
  printf("\n");
  CloseClipboard();
  return p ? 0 : 1;
}

int Empty() {
  if (!OpenWithRetry()) return 3;
  EmptyClipboard();
  CloseClipboard();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 64;
  std::string verb = argv[1];
  if (verb == "set-text" && argc == 3) return SetBytes(CF_TEXT, argv[2]);
  if (verb == "set-hex" && argc <= 3) {
    std::string bytes;
    if (argc == 3 && !DecodeHex(argv[2], &bytes)) return 64;
    return SetBytes(CF_TEXT, bytes);
  }
  if (verb == "set-format" && argc == 4) return SetBytes(RegisterClipboardFormatA(argv[2]), argv[3]);
  if (verb == "has-format" && argc == 3) return IsClipboardFormatAvailable(RegisterClipboardFormatA(argv[2])) ? 0 : 1;
  if (verb == "get" && argc == 2) return GetText();
  if (verb == "empty" && argc == 2) return Empty();
  if (verb == "hold-desktop" && argc == 2) {
    // Wine ends its desktop process a moment after the last program that
    // uses it, and starts it, with the clipboard's bridge to the X display,
    // for the next one; a bridge that starts while a text is written can
    // lose the text. Held open for the whole run, the bridge starts once.
    GetDesktopWindow();
    Sleep(INFINITE);
  }
  return 64;
}
