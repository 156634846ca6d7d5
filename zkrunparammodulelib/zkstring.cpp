// The library string and its formatter: a small fixed set of conversions, no C runtime printf.
#include "zkrunparammodulelib/zkstring.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace NS_ZKRunParamModuleLib {

namespace {

// Padding and digits of one number together never exceed this many characters;
// only a number with more digits than that (a 64-bit value in binary) is
// written whole, without padding.
constexpr int kNumberField = 32;
constexpr int kMaxDigits = 64;
// Width digits beyond this are read but change nothing.
constexpr int kWidthLimit = 1000;

// Writes characters at pos under the formatter's bound rule.
class Output {
 public:
  Output(char* out, int count) : out_(out), count_(count) {}
  void Put(char ch) {
    if (out_ && (count_ == -1 || pos_ < count_)) out_[pos_] = ch;
    ++pos_;
  }
  void PutText(const char* text) {
    while (*text) Put(*text++);
  }
  int Position() const { return pos_; }

 private:
  char* out_;
  int count_;
  int pos_ = 0;
};

// The digits of value in base, most significant first, padded to width.
void PutNumber(Output& output, uint64_t value, unsigned base, bool upper, int width, char pad) {
  const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  char field[kMaxDigits];
  int count = 0;
  do {
    field[count++] = digits[value % base];
    value /= base;
  } while (value != 0 && count < kMaxDigits);
  if (width > kNumberField) width = kNumberField;
  for (int i = count; i < width; ++i) output.Put(pad);
  while (count > 0) output.Put(field[--count]);
}

enum class Size { kInt, kShort, kLong64 };

// Reads a signed argument of the given size, widened to 64 bits.
int64_t SignedArgument(va_list& args, Size size) {
  if (size == Size::kLong64) return va_arg(args, long long);
  int value = va_arg(args, int);
  if (size == Size::kShort) return static_cast<short>(value);
  return value;
}

uint64_t UnsignedArgument(va_list& args, Size size) {
  if (size == Size::kLong64) return va_arg(args, unsigned long long);
  unsigned value = va_arg(args, unsigned);
  if (size == Size::kShort) return static_cast<unsigned short>(value);
  return value;
}

// Formats the conversion that begins after a '%'; returns where the format goes on.
const char* PutConversion(Output& output, const char* format, va_list& args) {
  char pad = ' ';
  if (*format == '0') pad = '0';
  int width = 0;
  while (*format >= '0' && *format <= '9') {
    if (width < kWidthLimit) width = width * 10 + (*format - '0');
    ++format;
  }
  Size size = Size::kInt;
  if (*format == 'h') {
    size = Size::kShort;
    ++format;
  } else if (*format == 'l') {
    ++format;
  } else if (format[0] == 'I' && format[1] == '6' && format[2] == '4') {
    size = Size::kLong64;
    format += 3;
  }
  char conversion = *format;
  if (conversion == '\0') return format;  // a format cut inside a conversion
  switch (conversion) {
    case '%':
      output.Put('%');
      break;
    case 'c':
      output.Put(static_cast<char>(va_arg(args, int)));
      break;
    case 's': {
      const char* text = va_arg(args, const char*);
      output.PutText(text ? text : "(NULL)");
      break;
    }
    case 'd':
    case 'i': {
      int64_t value = SignedArgument(args, size);
      uint64_t magnitude = static_cast<uint64_t>(value);
      if (value < 0) {
        output.Put('-');
        magnitude = 0 - magnitude;
      }
      PutNumber(output, magnitude, 10, false, width, pad);
      break;
    }
    case 'u':
      PutNumber(output, UnsignedArgument(args, size), 10, false, width, pad);
      break;
    case 'x':
      PutNumber(output, UnsignedArgument(args, size), 16, false, width, pad);
      break;
    case 'X':
      PutNumber(output, UnsignedArgument(args, size), 16, true, width, pad);
      break;
    case 'o':
      PutNumber(output, UnsignedArgument(args, size), 8, false, width, pad);
      break;
    case 'b':
      PutNumber(output, UnsignedArgument(args, size), 2, false, width, pad);
      break;
    default:
      break;  // unknown: consumed, takes no argument
  }
  return format + 1;
}

}  // namespace

int VFormatText(va_list args, const char* format, char* out, int count) {
  Output output(out, count);
  if (format) {
    va_list walk;
    va_copy(walk, args);
    while (*format) {
      if (*format != '%') {
        output.Put(*format++);
        continue;
      }
      format = PutConversion(output, format + 1, walk);
    }
    va_end(walk);
  }
  int end = output.Position();
  output.Put('\0');
  return end + 1;
}

int FormatTextTo(char* out, int count, const char* format, va_list args) {
  return VFormatText(args, format, out, count);
}

int MeasureFormattedText(const char* format, va_list args) {
  return VFormatText(args, format, nullptr, 0);
}

_CZKString::_CZKString(const char* text) {
  if (text) Assign(text);
}

_CZKString::~_CZKString() { Empty(); }

void _CZKString::Reset() {
  buffer = nullptr;
  capacity = 0;
  startOffset = 0;
}

void _CZKString::FreeBuffer() {
  if (buffer) free(buffer);
  Reset();
}

void _CZKString::Empty() {
  FreeBuffer();
  cachedLength = 0;
  lengthValid = 0;
}

int _CZKString::TakeOver(_CZKString* source) {
  FreeBuffer();
  if (!source) {
    cachedLength = 0;
    lengthValid = 0;
    return 1;
  }
  buffer = source->buffer;
  capacity = source->capacity;
  startOffset = source->startOffset;
  // The length travels with the text it describes.
  cachedLength = source->cachedLength;
  lengthValid = source->lengthValid;
  source->Reset();
  source->cachedLength = 0;
  source->lengthValid = 0;
  return 1;
}

char* _CZKString::Grow(int n) {
  if (n < 0) return nullptr;
  if (!buffer) {
    startOffset = 0;
    char* block = static_cast<char*>(malloc(n > 0 ? n : 1));
    if (!block) return nullptr;
    buffer = block;
    capacity = n;
    return buffer;
  }
  if (n <= capacity - startOffset) return buffer + startOffset;
  char* block = static_cast<char*>(realloc(buffer, static_cast<size_t>(startOffset) + n));
  if (!block) return nullptr;
  buffer = block;
  capacity = startOffset + n;
  return buffer + startOffset;
}

char* _CZKString::GetBuffer(int n) {
  if (n < 0 || n == INT32_MAX) return nullptr;
  return Grow(n + 1);
}

char* _CZKString::GetAt(int index) const {
  if (!buffer || index < 0 || index >= capacity - startOffset) return nullptr;
  return buffer + startOffset + index;
}

bool _CZKString::IsEmpty() const {
  const char* text = GetText();
  return !text || *text == '\0';
}

int _CZKString::GetLength() {
  if (lengthValid) return cachedLength;
  const char* text = GetText();
  cachedLength = text ? static_cast<int>(strlen(text)) : 0;
  lengthValid = 1;
  return cachedLength;
}

void _CZKString::SetCachedLength(int n) {
  cachedLength = n;
  lengthValid = 1;
}

void _CZKString::SetLength(int n) {
  char* at = GetAt(n);
  if (!at) return;
  *at = '\0';
  SetCachedLength(n);
}

bool _CZKString::AdvanceStart(int n) {
  if (!buffer || n <= 0) return false;
  int next = n > capacity - 1 - startOffset ? capacity - 1 : startOffset + n;
  if (next <= startOffset) return false;
  startOffset = next;
  return true;
}

void _CZKString::Append(const char* text) {
  if (!text || !*text) return;
  size_t length = strlen(text);
  int pos = GetLength();
  if (length > static_cast<size_t>(INT32_MAX - 1 - pos)) return;
  int len = static_cast<int>(length);
  char* start = Grow(pos + len + 1);
  if (!start) return;
  memcpy(start + pos, text, length);
  SetLength(pos + len);
}

void _CZKString::TrimLeft(char ch) {
  if (ch == '\0' || !GetText()) return;
  int before = GetLength();
  int removed = 0;
  while (*GetText() == ch && AdvanceStart(1)) ++removed;
  if (removed > 0) SetCachedLength(before - removed);
}

void _CZKString::TrimRight(char ch) {
  if (ch == '\0' || !GetText()) return;
  int n = GetLength();
  char* text = GetAt(0);
  while (n > 0 && text[n - 1] == ch) text[--n] = '\0';
  SetCachedLength(n);
}

void _CZKString::Trim(char ch) {
  TrimLeft(ch);
  TrimRight(ch);
}

bool _CZKString::FormatV(const char* format, va_list args) {
  if (!format) return false;
  va_list measure;
  va_copy(measure, args);
  int needed = MeasureFormattedText(format, measure);
  va_end(measure);
  if (needed <= 0 || needed == INT32_MAX) return false;
  char* block = static_cast<char*>(malloc(static_cast<size_t>(needed) + 1));
  if (!block) return false;
  va_list write;
  va_copy(write, args);
  FormatTextTo(block, needed, format, write);
  va_end(write);
  // The block's last byte lies past the NUL; AdvanceStart may stop on it.
  block[needed] = '\0';
  FreeBuffer();
  buffer = block;
  capacity = needed + 1;
  startOffset = 0;
  lengthValid = 0;
  return true;
}

bool _CZKString::Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  bool done = FormatV(format, args);
  va_end(args);
  return done;
}

void _CZKString::Assign(const char* text) {
  // The text may be this string's own: FormatV copies it before the old buffer goes.
  if (!text || !Format("%s", text)) Empty();
}

}  // namespace NS_ZKRunParamModuleLib
