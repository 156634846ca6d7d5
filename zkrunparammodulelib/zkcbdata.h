// The SEED clipboard reader: the "Corvalise_ClipFormat" text, its hex segments and their decryption.
#ifndef ZKRUNPARAMMODULELIB_ZKCBDATA_H
#define ZKRUNPARAMMODULELIB_ZKCBDATA_H

#include <cstddef>

#include "framework/seam.h"

// The registered clipboard format of the parameter text, the one name for it.
#define ZK_CBDATA_CLIP_FORMAT "Corvalise_ClipFormat"

// The reader's own result codes.
enum {
  CBDATA_OK = 0,
  CBDATA_BAD_SEGMENT_LENGTH = 1,   // a segment is not a multiple of 32 hex digits
  CBDATA_EMPTY_SEGMENT = 2,        // a segment's plain text is empty after the trim
  CBDATA_BAD_ARGUMENT = 3,         // a NULL pointer or no room given
  CBDATA_NO_ROOM = 4,              // the text does not fit the work area or the caller's buffer
  CBDATA_REGISTER_FAILED = 2001,
  CBDATA_OPEN_FAILED = 2002,
  CBDATA_LOCK_FAILED = 2004,
  CBDATA_NO_DATA = 2006,
};

// The work area: 0x8001 bytes, of which the decrypted text with its NUL may fill 0x8000.
enum { CBDATA_WORK_AREA_SIZE = 0x8001, CBDATA_WORK_TEXT_LIMIT = 0x8000 };

// The value of the hex digits (either case) at the start of text, up to the
// first other character; 0 when there is none. Beyond eight digits only the
// low 32 bits are kept.
int HexTextToInt(const char* text);

// Decrypts one segment of hexLen hex digits (hexLen < 0: strlen(hex)) with the
// key made of keyText's first 16 bytes, NUL-filled. *count is the room in out
// on entry (0 is refused, negative means the caller guarantees enough) and the
// length of the trimmed plain text on return. 0 or a reader code.
int DecryptCBSegment(const char* hex, int hexLen, const char* keyText, char* out, int* count);

// Splits text at "|" and decrypts every segment into out, joined, within
// outSize bytes including a NUL. 0 or a reader code.
int DecryptCBText(const char* text, const char* keyText, char* out, int outSize);

// The clipboard calls under the reader; tests replace entries through ScopedCallsOverride.
struct CBClipboardCalls {
  // As RegisterClipboardFormatA: the format's number, 0 on failure.
  unsigned (*registerFormat)(const char* name);
  // As OpenClipboard(NULL).
  bool (*open)();
  // As GetClipboardData: the data's handle or NULL.
  void* (*getData)(unsigned format);
  // As GlobalLock, and the block's size in bytes (nothing beyond it is read); NULL on failure.
  const char* (*lock)(void* data, size_t* size);
  // As GlobalUnlock.
  void (*unlock)(void* data);
  // As SetClipboardData(format, NULL); the result is not needed.
  void (*clearFormat)(unsigned format);
  // As CloseClipboard.
  void (*close)();
};

// The calls in use; the program never changes them.
CBClipboardCalls& CBClipboardCurrentCalls();
// The platform's clipboard calls (off Windows there is no clipboard: registering fails).
CBClipboardCalls CBClipboardPlatformCalls();
using ScopedCBClipboardCalls = ScopedCallsOverride<CBClipboardCalls, &CBClipboardCurrentCalls, &CBClipboardPlatformCalls>;

// The whole read: decrypts the format's text into outBuf (bufSize bytes with
// the NUL) and, when clearAfterRead, clears the format after a successful
// read. 0 or a reader code; outBuf is unchanged on failure.
int ReadCBDataEx(char* outBuf, unsigned bufSize, const char* keyText, bool clearAfterRead);
// True when ReadCBDataEx returns 0.
bool ReadCBData(char* outBuf, unsigned bufSize, const char* keyText, bool clearAfterRead);

#endif  // ZKRUNPARAMMODULELIB_ZKCBDATA_H
