// Hex codec of the run-parameter library.
#include "zkrunparammodulelib/zktdeshex.h"

namespace NS_ZKRunParamModuleLib {

namespace {
const char kDigits[] = "0123456789abcdef";
}

bool IsHexChar(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int HexCharToNibble(char c, unsigned char* value) {
  int v;
  if (c >= '0' && c <= '9') {
    v = c - '0';
  } else if (c >= 'a' && c <= 'f') {
    v = c - 'a' + 10;
  } else if (c >= 'A' && c <= 'F') {
    v = c - 'A' + 10;
  } else {
    return 0;
  }
  if (value != nullptr) *value = static_cast<unsigned char>(v);
  return 1;
}

int HexPairToByte(char high, char low, unsigned char* byte) {
  unsigned char h = 0;
  unsigned char l = 0;
  if (!HexCharToNibble(high, &h) || !HexCharToNibble(low, &l)) return 0;
  if (byte != nullptr) *byte = static_cast<unsigned char>(h * 16 + l);
  return 1;
}

int ByteToHexPair(unsigned char byte, char* high, char* low) {
  if (high != nullptr) *high = kDigits[byte >> 4];
  if (low != nullptr) *low = kDigits[byte & 15];
  return 1;
}

int BytesToHex(const unsigned char* data, unsigned n, char* out, unsigned outSize, unsigned* outLen) {
  if (data == nullptr || out == nullptr || n > outSize / 2) return 0;
  for (unsigned i = 0; i < n; ++i) {
    out[2 * i] = kDigits[data[i] >> 4];
    out[2 * i + 1] = kDigits[data[i] & 15];
  }
  if (outLen != nullptr) *outLen = 2 * n;
  return 1;
}

int HexToBytes(const char* hex, unsigned hexLen, unsigned char* out, unsigned outSize, unsigned* outLen) {
  if (hex == nullptr || out == nullptr || hexLen % 2 != 0 || hexLen / 2 > outSize) return 0;
  for (unsigned i = 0; i < hexLen / 2; ++i) {
    if (!HexPairToByte(hex[2 * i], hex[2 * i + 1], &out[i])) return 0;
  }
  if (outLen != nullptr) *outLen = hexLen / 2;
  return 1;
}

}  // namespace NS_ZKRunParamModuleLib
