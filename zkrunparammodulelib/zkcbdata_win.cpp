// The clipboard calls of the SEED clipboard reader on Windows.
#include <windows.h>

#include "zkrunparammodulelib/zkcbdata.h"

namespace {

unsigned RegisterFormat(const char* name) { return RegisterClipboardFormatA(name); }

// No owner window: the reader runs before the update wizard has one.
bool Open() { return OpenClipboard(nullptr) != FALSE; }

void* GetData(unsigned format) { return GetClipboardData(format); }

const char* Lock(void* data, size_t* size) {
  const char* text = static_cast<const char*>(GlobalLock(data));
  *size = text ? GlobalSize(data) : 0;
  return text;
}

void Unlock(void* data) { GlobalUnlock(data); }

void ClearFormat(unsigned format) { SetClipboardData(format, nullptr); }

void Close() { CloseClipboard(); }

}  // namespace

CBClipboardCalls CBClipboardPlatformCalls() {
  return CBClipboardCalls{RegisterFormat, Open, GetData, Lock, Unlock, ClearFormat, Close};
}
