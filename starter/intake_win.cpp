// The starter's clipboard intake and the decryption of the clipboard text.
#include "starter/intake.h"

#include <windows.h>

#include <climits>
#include <cstring>
#include <new>
#include <string>

#include "starter/errormessages.h"
#include "zkcrypt/corecipher.h"

namespace {

bool ClipboardOffersText() {
  UINT formats[] = {CF_TEXT};
  return GetPriorityClipboardFormat(formats, 1) == static_cast<int>(CF_TEXT);
}

// Copies the CF_TEXT text of the open clipboard. The copy stops at the first
// NUL and never reads past the data block, which another program wrote.
bool CopyOpenClipboardText(std::string& ansi) {
  HANDLE data = GetClipboardData(CF_TEXT);
  if (!data) return false;
  const char* locked = static_cast<const char*>(GlobalLock(data));
  if (!locked) return false;
  size_t size = GlobalSize(data);
  const void* nul = std::memchr(locked, 0, size);
  ansi.assign(locked, nul ? static_cast<const char*>(nul) - locked : size);
  GlobalUnlock(data);
  return true;
}

}  // namespace

bool ReadClipboardText(CString& text) {
  if (!ClipboardOffersText()) return false;
  if (!OpenClipboard(nullptr)) return false;
  std::string ansi;
  bool read = CopyOpenClipboardText(ansi);
  CloseClipboard();
  if (read) text = CString(ansi.data(), static_cast<int>(ansi.size()));
  return read;
}

void ClearClipboard() {
  if (!ClipboardOffersText() || !OpenClipboard(nullptr)) return;
  EmptyClipboard();
  CloseClipboard();
}

bool DecryptParameterText(CString& text, const CString& publish) {
  char* ansi_text = WideToAnsi(text);
  char* ansi_publish = WideToAnsi(publish);
  size_t length = ansi_text ? std::strlen(ansi_text) : 0;
  // Three bytes per input byte and some room: more than any plain text of n hex digits needs.
  size_t output_size = 3 * length + 33;
  char* output = nullptr;
  if (ansi_text && length < (UINT_MAX - 33) / 3) {
    output = new (std::nothrow) char[output_size + 1];
    if (output) std::memset(output, 0, output_size + 1);
  }
  bool decrypted = output && ansi_publish &&
                   Crypt(ansi_publish, 1, ansi_text, output, static_cast<unsigned int>(output_size)) == 0;
  if (!decrypted) ShowErrorMessage(IDS_DECRYPT_FAILED);
  text = output ? CString(output) : CString();
  delete[] output;
  delete[] ansi_text;
  delete[] ansi_publish;
  return decrypted;
}
