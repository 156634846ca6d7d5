// The SEED clipboard reader: splitting, decryption and trimming of the clipboard text, and the read around it.
#include "zkrunparammodulelib/zkcbdata.h"

#include <climits>
#include <cstring>

#include "zkrunparammodulelib/zkseed.h"

namespace {

enum { kHexDigitsPerBlock = 2 * SEED128_BLOCK_BYTES };

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// One block's bytes from its 32 digits: each pair read as its own small text,
// so a non-hex character ends that pair's value rather than failing.
void HexBlockToBytes(const char* hex, unsigned char* block) {
  for (int i = 0; i < SEED128_BLOCK_BYTES; ++i) {
    const char pair[3] = {hex[2 * i], hex[2 * i + 1], '\0'};
    block[i] = static_cast<unsigned char>(HexTextToInt(pair) & 0xff);
  }
}

// Drops trailing NUL bytes, then trailing spaces (writing NULs over them); the length left.
size_t TrimPlainText(char* text, size_t length) {
  while (length > 0 && text[length - 1] == '\0') --length;
  while (length > 0 && text[length - 1] == ' ') text[--length] = '\0';
  return length;
}

// Keeps the clipboard open from a successful open to the end of the read, on every path.
class ClipboardSession {
 public:
  explicit ClipboardSession(const CBClipboardCalls& calls) : calls_(calls) {}
  ~ClipboardSession() { calls_.close(); }
  ClipboardSession(const ClipboardSession&) = delete;
  ClipboardSession& operator=(const ClipboardSession&) = delete;

 private:
  const CBClipboardCalls& calls_;
};

// Holds the clipboard data locked while its text is decrypted.
class LockedClipboardData {
 public:
  LockedClipboardData(const CBClipboardCalls& calls, void* data) : calls_(calls), data_(data) {
    text_ = calls_.lock(data_, &size_);
  }
  ~LockedClipboardData() {
    if (text_) calls_.unlock(data_);
  }
  LockedClipboardData(const LockedClipboardData&) = delete;
  LockedClipboardData& operator=(const LockedClipboardData&) = delete;

  bool locked() const { return text_ != nullptr; }
  const char* text() const { return text_; }
  // The length of the text up to its first NUL, but never beyond the memory
  // block: another program wrote it and may have left the NUL out.
  size_t TextLength() const {
    const void* nul = memchr(text_, '\0', size_);
    return nul ? static_cast<size_t>(static_cast<const char*>(nul) - text_) : size_;
  }

 private:
  const CBClipboardCalls& calls_;
  void* data_;
  const char* text_ = nullptr;
  size_t size_ = 0;
};

}  // namespace

int HexTextToInt(const char* text) {
  // Unsigned, so that a long run of digits wraps instead of overflowing.
  unsigned result = 0;
  for (; text && *text; ++text) {
    int digit = HexDigitValue(*text);
    if (digit < 0) break;
    result = result * 16 + static_cast<unsigned>(digit);
  }
  return static_cast<int>(result);
}

int DecryptCBSegment(const char* hex, int hexLen, const char* keyText, char* out, int* count) {
  if (!hex || !keyText || !out || !count || *count == 0) return CBDATA_BAD_ARGUMENT;
  size_t length = hexLen < 0 ? strlen(hex) : static_cast<size_t>(hexLen);
  if (length % kHexDigitsPerBlock != 0) return CBDATA_BAD_SEGMENT_LENGTH;
  const long long room = *count;
  if (room > 0 && static_cast<long long>(length / 2) + 1 > room) return CBDATA_NO_ROOM;

  // The key text's first 16 bytes up to its NUL, the rest NUL: strncpy's result without its warning.
  unsigned char key[SEED128_KEY_BYTES] = {};
  memcpy(key, keyText, strnlen(keyText, sizeof key));
  uint32_t roundKeys[SEED128_ROUND_KEY_WORDS];
  Seed128ExpandKey(roundKeys, key);

  size_t written = 0;
  for (size_t digit = 0; digit < length; digit += kHexDigitsPerBlock) {
    unsigned char block[SEED128_BLOCK_BYTES];
    HexBlockToBytes(hex + digit, block);
    Seed128DecryptBlock(block, roundKeys);
    if (room > 0 && static_cast<long long>(written) + SEED128_BLOCK_BYTES >= room) return CBDATA_NO_ROOM;
    memcpy(out + written, block, sizeof block);
    written += sizeof block;
  }
  out[written] = '\0';
  size_t kept = TrimPlainText(out, written);
  if (kept == 0) return CBDATA_EMPTY_SEGMENT;
  *count = static_cast<int>(kept);
  return CBDATA_OK;
}

namespace {

// DecryptCBText over the first textLength characters of text, which need no
// NUL behind them: the clipboard block is read where it lies, never copied,
// since another program chose its size.
int DecryptCBTextOf(const char* text, size_t textLength, const char* keyText, char* out, int outSize) {
  if (!text || !keyText || !out || outSize < 1) return CBDATA_BAD_ARGUMENT;
  int done = 0;
  const char* segment = text;
  const char* const end = text + textLength;
  while (done < outSize) {
    const char* separator = static_cast<const char*>(memchr(segment, '|', static_cast<size_t>(end - segment)));
    size_t length = static_cast<size_t>((separator ? separator : end) - segment);
    if (length % kHexDigitsPerBlock != 0) return CBDATA_BAD_SEGMENT_LENGTH;
    if (length > INT_MAX) return CBDATA_NO_ROOM;
    int count = outSize - done;
    int rc = DecryptCBSegment(segment, static_cast<int>(length), keyText, out + done, &count);
    if (rc != CBDATA_OK) return rc;
    done += count;
    if (!separator) return CBDATA_OK;
    segment = separator + 1;
  }
  return CBDATA_NO_ROOM;
}

}  // namespace

int DecryptCBText(const char* text, const char* keyText, char* out, int outSize) {
  return DecryptCBTextOf(text, text ? strlen(text) : 0, keyText, out, outSize);
}

CBClipboardCalls& CBClipboardCurrentCalls() {
  static CBClipboardCalls calls = CBClipboardPlatformCalls();
  return calls;
}

int ReadCBDataEx(char* outBuf, unsigned bufSize, const char* keyText, bool clearAfterRead) {
  const CBClipboardCalls& calls = CBClipboardCurrentCalls();
  if (!outBuf || bufSize == 0) return CBDATA_BAD_ARGUMENT;
  unsigned format = calls.registerFormat(ZK_CBDATA_CLIP_FORMAT);
  if (format == 0) return CBDATA_REGISTER_FAILED;
  if (!calls.open()) return CBDATA_OPEN_FAILED;
  ClipboardSession session(calls);
  void* data = calls.getData(format);
  if (!data) return CBDATA_NO_DATA;

  // A local work area, as the read allocates nothing that could fail.
  char work[CBDATA_WORK_AREA_SIZE] = {};
  {
    LockedClipboardData locked(calls, data);
    if (!locked.locked()) return CBDATA_LOCK_FAILED;
    int rc = DecryptCBTextOf(locked.text(), locked.TextLength(), keyText, work, CBDATA_WORK_TEXT_LIMIT);
    if (rc != CBDATA_OK) return rc;
  }
  size_t length = strlen(work);
  if (length > bufSize - 1) return CBDATA_NO_ROOM;
  strncpy(outBuf, work, bufSize - 1);
  outBuf[length] = '\0';
  if (clearAfterRead) calls.clearFormat(format);
  return CBDATA_OK;
}

bool ReadCBData(char* outBuf, unsigned bufSize, const char* keyText, bool clearAfterRead) {
  return ReadCBDataEx(outBuf, bufSize, keyText, clearAfterRead) == CBDATA_OK;
}
