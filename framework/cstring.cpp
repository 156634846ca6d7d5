// The framework strings' printf-style formatter, the same on every platform.
//
// The C libraries disagree on what %s means in a wide format (the Windows
// runtime: a wide text; C99: a narrow one) and on the I64 size, so the
// formatter walks the format itself: texts and characters are converted and
// padded here, and each number is formatted alone by the narrow snprintf with
// an explicit C99 size.
#include "framework/cstring.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>

namespace zkframework {
namespace {

enum class Size { kNone, kChar, kShort, kLong, kLongLong, kSizeT, kIntMax, kPtrDiff, kLongDouble, kWide };

struct Spec {
  std::string flags;
  int width = -1;
  int precision = -1;
  Size size = Size::kNone;
  char conversion = 0;
};

template <typename T>
bool IsDigit(T c) {
  return c >= '0' && c <= '9';
}

// Reads digits or '*' (an int argument) at format; false when there are
// none. A '*' argument may be negative.
template <typename T>
bool ReadCount(const T*& format, va_list& args, int& value) {
  if (*format == '*') {
    ++format;
    value = va_arg(args, int);
    return true;
  }
  if (!IsDigit(*format)) return false;
  value = 0;
  while (IsDigit(*format)) {
    if (value < 100000) value = value * 10 + (*format - '0');
    ++format;
  }
  return true;
}

template <typename T>
bool Starts(const T* format, const char* word) {
  for (; *word; ++word, ++format) {
    if (*format != static_cast<T>(*word)) return false;
  }
  return true;
}

// Parses one conversion behind its '%'; advances format past it.
template <typename T>
Spec ReadSpec(const T*& format, va_list& args) {
  Spec spec;
  while (*format == '-' || *format == '+' || *format == ' ' || *format == '#' || *format == '0') {
    spec.flags += static_cast<char>(*format++);
  }
  int count = 0;
  if (ReadCount(format, args, count)) {
    if (count < 0) {  // a negative '*' width means left-justified
      spec.flags += '-';
      count = count == INT_MIN ? INT_MAX : -count;
    }
    spec.width = count;
  }
  if (*format == '.') {
    ++format;
    // "." alone is precision 0; a negative '*' precision is as if none was given.
    if (!ReadCount(format, args, count)) count = 0;
    spec.precision = count < 0 ? -1 : count;
  }
  if (Starts(format, "I64")) { spec.size = Size::kLongLong; format += 3; }
  else if (Starts(format, "I32")) { spec.size = Size::kNone; format += 3; }
  else if (Starts(format, "hh")) { spec.size = Size::kChar; format += 2; }
  else if (Starts(format, "ll")) { spec.size = Size::kLongLong; format += 2; }
  else if (*format == 'h') { spec.size = Size::kShort; ++format; }
  else if (*format == 'l') { spec.size = Size::kLong; ++format; }
  else if (*format == 'w') { spec.size = Size::kWide; ++format; }
  else if (*format == 'I' || *format == 'z') { spec.size = Size::kSizeT; ++format; }
  else if (*format == 'j') { spec.size = Size::kIntMax; ++format; }
  else if (*format == 't') { spec.size = Size::kPtrDiff; ++format; }
  else if (*format == 'L') { spec.size = Size::kLongDouble; ++format; }
  if (*format) spec.conversion = static_cast<char>(*format++);
  return spec;
}

// The narrow C99 format of one numeric conversion.
std::string NumberFormat(const Spec& spec, const char* size) {
  std::string format = "%" + spec.flags;
  if (spec.width >= 0) format += std::to_string(spec.width);
  if (spec.precision >= 0) format += "." + std::to_string(spec.precision);
  return format + size + spec.conversion;
}

template <typename V>
std::string Print(const std::string& format, V value) {
  char small[64];
  int n = std::snprintf(small, sizeof small, format.c_str(), value);
  if (n < 0) return std::string();
  if (static_cast<size_t>(n) < sizeof small) return std::string(small, static_cast<size_t>(n));
  std::string big(static_cast<size_t>(n) + 1, '\0');
  std::snprintf(&big[0], big.size(), format.c_str(), value);
  big.resize(static_cast<size_t>(n));
  return big;
}

std::string FormatInteger(const Spec& spec, va_list& args) {
  bool is_signed = spec.conversion == 'd' || spec.conversion == 'i';
  switch (spec.size) {
    case Size::kLongLong:
    case Size::kIntMax:
      return is_signed ? Print(NumberFormat(spec, "ll"), static_cast<long long>(va_arg(args, long long)))
                       : Print(NumberFormat(spec, "ll"), static_cast<unsigned long long>(va_arg(args, unsigned long long)));
    case Size::kLong:
      return is_signed ? Print(NumberFormat(spec, "l"), va_arg(args, long))
                       : Print(NumberFormat(spec, "l"), va_arg(args, unsigned long));
    case Size::kSizeT:
    case Size::kPtrDiff:
      return is_signed ? Print(NumberFormat(spec, "ll"), static_cast<long long>(va_arg(args, std::ptrdiff_t)))
                       : Print(NumberFormat(spec, "ll"), static_cast<unsigned long long>(va_arg(args, size_t)));
    case Size::kShort:
      return is_signed ? Print(NumberFormat(spec, ""), static_cast<int>(static_cast<short>(va_arg(args, int))))
                       : Print(NumberFormat(spec, ""), static_cast<unsigned>(static_cast<unsigned short>(va_arg(args, unsigned))));
    case Size::kChar:
      return is_signed ? Print(NumberFormat(spec, ""), static_cast<int>(static_cast<signed char>(va_arg(args, int))))
                       : Print(NumberFormat(spec, ""), static_cast<unsigned>(static_cast<unsigned char>(va_arg(args, unsigned))));
    default:
      return is_signed ? Print(NumberFormat(spec, ""), va_arg(args, int)) : Print(NumberFormat(spec, ""), va_arg(args, unsigned));
  }
}

template <typename T>
std::basic_string<T> Widen(const std::string& ascii) {
  return std::basic_string<T>(ascii.begin(), ascii.end());
}

// Text of the output width T from a text argument of either width.
template <typename T>
std::basic_string<T> TextOf(const char* text, int precision) {
  if (!text) text = "(null)";
  size_t n = std::strlen(text);
  if (precision >= 0 && static_cast<size_t>(precision) < n) n = static_cast<size_t>(precision);
  return TextTraits<T>::From(text, n);
}

template <typename T>
std::basic_string<T> TextOf(const wchar_t* text, int precision) {
  if (!text) text = L"(null)";
  size_t n = std::wcslen(text);
  if (precision >= 0 && static_cast<size_t>(precision) < n) n = static_cast<size_t>(precision);
  return TextTraits<T>::From(text, n);
}

template <typename T>
void Pad(std::basic_string<T>& out, const std::basic_string<T>& piece, const Spec& spec) {
  size_t width = spec.width > 0 ? static_cast<size_t>(spec.width) : 0;
  bool left = spec.flags.find('-') != std::string::npos;
  if (!left && piece.size() < width) out.append(width - piece.size(), static_cast<T>(' '));
  out += piece;
  if (left && piece.size() < width) out.append(width - piece.size(), static_cast<T>(' '));
}

// Whether %s / %c of this spec takes the wide form of the argument.
template <typename T>
bool WideArgument(const Spec& spec) {
  if (spec.size == Size::kShort) return false;
  if (spec.size == Size::kLong || spec.size == Size::kWide) return true;
  bool upper = spec.conversion == 'S' || spec.conversion == 'C';
  return std::is_same<T, wchar_t>::value != upper;
}

template <typename T>
void FormatOne(std::basic_string<T>& out, const Spec& spec, va_list& args) {
  switch (spec.conversion) {
    case 'd': case 'i': case 'u': case 'o': case 'x': case 'X':
      out += Widen<T>(FormatInteger(spec, args));
      return;
    case 'f': case 'F': case 'e': case 'E': case 'g': case 'G': case 'a': case 'A':
      if (spec.size == Size::kLongDouble) out += Widen<T>(Print(NumberFormat(spec, "L"), va_arg(args, long double)));
      else out += Widen<T>(Print(NumberFormat(spec, ""), va_arg(args, double)));
      return;
    case 'p': {
      char digits[32];
      std::snprintf(digits, sizeof digits, "%0*llX", static_cast<int>(2 * sizeof(void*)),
                    static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(va_arg(args, void*))));
      Pad(out, Widen<T>(digits), spec);
      return;
    }
    case 's': case 'S':
      if (WideArgument<T>(spec)) Pad(out, TextOf<T>(va_arg(args, const wchar_t*), spec.precision), spec);
      else Pad(out, TextOf<T>(va_arg(args, const char*), spec.precision), spec);
      return;
    case 'c': case 'C': {
      int ch = va_arg(args, int);
      if (WideArgument<T>(spec)) {
        wchar_t one = static_cast<wchar_t>(ch);
        Pad(out, TextTraits<T>::From(&one, 1), spec);
      } else {
        char one = static_cast<char>(ch);
        Pad(out, TextTraits<T>::From(&one, 1), spec);
      }
      return;
    }
    case 'n':
      (void)va_arg(args, void*);  // writing through a format is never wanted
      return;
    case '%':
      out += static_cast<T>('%');
      return;
    default:
      return;  // unknown conversion: nothing
  }
}

template <typename T>
std::basic_string<T> FormatAny(const T* format, va_list args) {
  std::basic_string<T> out;
  if (!format) return out;
  va_list walk;
  va_copy(walk, args);
  while (*format) {
    if (*format != '%') {
      out += *format++;
      continue;
    }
    ++format;
    Spec spec = ReadSpec(format, walk);
    FormatOne(out, spec, walk);
  }
  va_end(walk);
  return out;
}

}  // namespace

std::string FormatTextV(const char* format, va_list args) { return FormatAny(format, args); }
std::wstring FormatTextV(const wchar_t* format, va_list args) { return FormatAny(format, args); }

}  // namespace zkframework
