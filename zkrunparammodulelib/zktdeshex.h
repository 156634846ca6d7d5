// Hex text of the run-parameter library: lower-case digits when written,
// either case when read.
#ifndef ZKRUNPARAMMODULELIB_ZKTDESHEX_H
#define ZKRUNPARAMMODULELIB_ZKTDESHEX_H

namespace NS_ZKRunParamModuleLib {

// True for '0'-'9', 'a'-'f' and 'A'-'F'.
bool IsHexChar(char c);
// The value of one hex digit; 0 (failed) for any other character.
int HexCharToNibble(char c, unsigned char* value);
// Two hex digits, high first, to one byte; 0 when either is not a digit.
int HexPairToByte(char high, char low, unsigned char* byte);
// The two lower-case digits of a byte; always 1.
int ByteToHexPair(unsigned char byte, char* high, char* low);
// 2n lower-case digits, no NUL; 0 when a pointer is NULL or 2n > outSize.
int BytesToHex(const unsigned char* data, unsigned n, char* out, unsigned outSize, unsigned* outLen);
// hexLen digits to hexLen / 2 bytes; 0 for a NULL pointer, an odd length,
// too little room, or at the first pair with a non-hex character (the
// bytes before it stay written).
int HexToBytes(const char* hex, unsigned hexLen, unsigned char* out, unsigned outSize, unsigned* outLen);

}  // namespace NS_ZKRunParamModuleLib

#endif  // ZKRUNPARAMMODULELIB_ZKTDESHEX_H
