// Off Windows there is no clipboard: the reader's platform calls fail at the first step.
#include "zkrunparammodulelib/zkcbdata.h"

namespace {

unsigned RegisterFormat(const char*) { return 0; }
bool Open() { return false; }
void* GetData(unsigned) { return nullptr; }
const char* Lock(void*, size_t* size) {
  *size = 0;
  return nullptr;
}
void Unlock(void*) {}
void ClearFormat(unsigned) {}
void Close() {}

}  // namespace

CBClipboardCalls CBClipboardPlatformCalls() {
  return CBClipboardCalls{RegisterFormat, Open, GetData, Lock, Unlock, ClearFormat, Close};
}
