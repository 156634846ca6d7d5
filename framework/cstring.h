// Framework text strings: CStringA (8-bit ANSI), CStringW (UTF-16) and CString.
//
// CString is the wide form when ZK_UNICODE_CSTRING is defined (the starter),
// else the ANSI form (the update wizard). The class is a value type over
// std::basic_string; positions and counts are ints, as callers expect.
// This header is pure: the code-page conversions, case mapping and the
// resource lookup sit behind the functions of namespace zkframework, which
// the Windows build implements on Win32 and the native build on the C library.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cwctype>
#include <string>
#include <type_traits>

// The Windows compiler knows the formats of the Windows C library (I64, %S)
// and warns about arguments that do not fit them.
#if defined(_WIN32) && defined(__GNUC__)
#define ZK_FORMAT_CHECK(format_index, first_argument) __attribute__((format(ms_printf, format_index, first_argument)))
#else
#define ZK_FORMAT_CHECK(format_index, first_argument)
#endif

namespace zkframework {

// Converts ANSI text to UTF-16 with the calling thread's ANSI code page.
std::wstring AnsiToWide(const char* text, size_t length);
// Converts UTF-16 text to ANSI with the process's ANSI code page.
std::string WideToAnsiText(const wchar_t* text, size_t length);

// True when the byte starts a double-byte character in the ANSI code page.
bool IsAnsiLeadByte(unsigned char byte);

// Formats printf-style with the framework's conventions: %s is a text of the
// format's own width, %S, %hs and %ls select the other width explicitly, a
// NULL text prints "(null)", and the sizes h, l, ll, I64, I32, I, z, j, t
// are understood. %n writes nothing.
std::string FormatTextV(const char* format, va_list args);
std::wstring FormatTextV(const wchar_t* format, va_list args);

// Loads string resource id from the framework's resource handle into out;
// false, and out unchanged, when the module holds no such string.
bool LoadResourceText(unsigned id, std::string& out);
bool LoadResourceText(unsigned id, std::wstring& out);

// Character rules of the two string widths.
template <typename T>
struct TextTraits;

template <>
struct TextTraits<char> {
  static bool IsSpace(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return u == ' ' || (u >= '\t' && u <= '\r');
  }
  // ASCII-only case mapping: the bytes of a double-byte character stay as
  // they are (callers skip trail bytes with IsAnsiLeadByte).
  static char ToLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
  static char ToUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
  static bool IsLead(char c) { return IsAnsiLeadByte(static_cast<unsigned char>(c)); }
  static std::string From(const char* text, size_t length) { return std::string(text, length); }
  static std::string From(const wchar_t* text, size_t length) { return WideToAnsiText(text, length); }
};

template <>
struct TextTraits<wchar_t> {
  static bool IsSpace(wchar_t c) { return std::iswspace(static_cast<std::wint_t>(c)) != 0; }
  static wchar_t ToLower(wchar_t c) { return static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c))); }
  static wchar_t ToUpper(wchar_t c) { return static_cast<wchar_t>(std::towupper(static_cast<std::wint_t>(c))); }
  static bool IsLead(wchar_t) { return false; }
  static std::wstring From(const char* text, size_t length) { return AnsiToWide(text, length); }
  static std::wstring From(const wchar_t* text, size_t length) { return std::wstring(text, length); }
};

}  // namespace zkframework

template <typename T>
class CStringT {
 public:
  using XCHAR = T;
  using Traits = zkframework::TextTraits<T>;
  using Storage = std::basic_string<T>;

  CStringT() = default;
  CStringT(const CStringT&) = default;
  CStringT(CStringT&&) noexcept = default;
  CStringT& operator=(const CStringT&) = default;
  CStringT& operator=(CStringT&&) noexcept = default;

  // From text of either width; a NULL text gives an empty string.
  CStringT(const char* text) { Assign(text); }
  CStringT(const wchar_t* text) { Assign(text); }
  // From the first length units of text (either width).
  CStringT(const char* text, int length) : text_(text && length > 0 ? Traits::From(text, length) : Storage()) {}
  CStringT(const wchar_t* text, int length) : text_(text && length > 0 ? Traits::From(text, length) : Storage()) {}
  // count copies of one character.
  CStringT(T ch, int count = 1) : text_(count > 0 ? static_cast<size_t>(count) : 0, ch) {}
  // From the other width, converted.
  template <typename U, typename = typename std::enable_if<!std::is_same<U, T>::value>::type>
  CStringT(const CStringT<U>& other) : text_(Traits::From(other.GetString(), other.GetLength())) {}
  explicit CStringT(const Storage& text) : text_(text) {}

  CStringT& operator=(const char* text) { Assign(text); return *this; }
  CStringT& operator=(const wchar_t* text) { Assign(text); return *this; }
  CStringT& operator=(T ch) { text_.assign(1, ch); return *this; }
  template <typename U, typename = typename std::enable_if<!std::is_same<U, T>::value>::type>
  CStringT& operator=(const CStringT<U>& other) {
    text_ = Traits::From(other.GetString(), other.GetLength());
    return *this;
  }

  // Number of characters (code units), without the terminating NUL.
  int GetLength() const { return static_cast<int>(text_.size()); }
  bool IsEmpty() const { return text_.empty(); }
  void Empty() { text_.clear(); }

  // The NUL-terminated text; valid until the string changes.
  const T* GetString() const { return text_.c_str(); }
  operator const T*() const { return text_.c_str(); }
  // The underlying standard string.
  const Storage& Str() const { return text_; }

  // Character at index (0 <= index < GetLength()).
  T GetAt(int index) const { return text_[static_cast<size_t>(index)]; }
  T operator[](int index) const { return GetAt(index); }
  void SetAt(int index, T ch) { text_[static_cast<size_t>(index)] = ch; }

  CStringT& operator+=(const CStringT& other) { text_ += other.text_; return *this; }
  CStringT& operator+=(const T* text) { if (text) text_ += text; return *this; }
  CStringT& operator+=(T ch) { text_ += ch; return *this; }
  void Append(const T* text, int length) { if (text && length > 0) text_.append(text, static_cast<size_t>(length)); }

  // Removes white space (or the given character, or any of the given set) at the ends.
  CStringT& TrimLeft() { return TrimLeftIf([](T c) { return Traits::IsSpace(c); }); }
  CStringT& TrimLeft(T target) { return TrimLeftIf([target](T c) { return c == target; }); }
  CStringT& TrimLeft(const T* targets) { return TrimLeftIf([targets](T c) { return InSet(targets, c); }); }
  CStringT& TrimRight() { return TrimRightIf([](T c) { return Traits::IsSpace(c); }); }
  CStringT& TrimRight(T target) { return TrimRightIf([target](T c) { return c == target; }); }
  CStringT& TrimRight(const T* targets) { return TrimRightIf([targets](T c) { return InSet(targets, c); }); }
  CStringT& Trim() { TrimRight(); return TrimLeft(); }
  CStringT& Trim(T target) { TrimRight(target); return TrimLeft(target); }
  CStringT& Trim(const T* targets) { TrimRight(targets); return TrimLeft(targets); }

  // Index of the first occurrence at or after start, or -1.
  int Find(T ch, int start = 0) const { return ToIndex(start < 0 ? Storage::npos : text_.find(ch, static_cast<size_t>(start))); }
  int Find(const T* sub, int start = 0) const {
    if (!sub || start < 0 || start > GetLength()) return -1;
    return ToIndex(text_.find(sub, static_cast<size_t>(start)));
  }
  // Index of the last occurrence of ch, or -1.
  int ReverseFind(T ch) const { return ToIndex(text_.rfind(ch)); }
  // Index of the first character that is one of the set, or -1.
  int FindOneOf(const T* set) const { return set ? ToIndex(text_.find_first_of(set)) : -1; }

  // The first count characters (all when fewer).
  CStringT Left(int count) const { return CStringT(text_.substr(0, Clamp(count))); }
  // The last count characters (all when fewer).
  CStringT Right(int count) const {
    size_t n = Clamp(count);
    return CStringT(text_.substr(text_.size() - n));
  }
  // From first to the end, or count characters from first.
  CStringT Mid(int first) const { return Mid(first, GetLength()); }
  CStringT Mid(int first, int count) const {
    size_t from = Clamp(first);
    if (count < 0) count = 0;
    return CStringT(text_.substr(from, static_cast<size_t>(count)));
  }

  CStringT& MakeLower() { MapCase(&Traits::ToLower); return *this; }
  CStringT& MakeUpper() { MapCase(&Traits::ToUpper); return *this; }

  // Code-unit comparison: negative, 0 or positive.
  int Compare(const T* other) const { return CompareUnits(GetString(), other ? other : EmptyText(), false); }
  // Comparison ignoring the case of letters.
  int CompareNoCase(const T* other) const { return CompareUnits(GetString(), other ? other : EmptyText(), true); }

  // Replaces every occurrence of old_text by new_text; returns the count.
  int Replace(const T* old_text, const T* new_text) {
    if (!old_text || !*old_text) return 0;
    Storage from(old_text), to(new_text ? new_text : EmptyText());
    int count = 0;
    for (size_t at = text_.find(from); at != Storage::npos; at = text_.find(from, at + to.size())) {
      text_.replace(at, from.size(), to);
      ++count;
    }
    return count;
  }
  int Replace(T old_ch, T new_ch) {
    int count = 0;
    for (T& c : text_) {
      if (c == old_ch) { c = new_ch; ++count; }
    }
    return count;
  }
  // Removes every occurrence of ch; returns the count.
  int Remove(T ch) {
    size_t before = text_.size();
    Storage kept;
    for (T c : text_) if (c != ch) kept += c;
    text_.swap(kept);
    return static_cast<int>(before - text_.size());
  }
  // Inserts at index (clamped to the ends); returns the new length.
  int Insert(int index, T ch) { text_.insert(Clamp(index), 1, ch); return GetLength(); }
  int Insert(int index, const T* text) { if (text) text_.insert(Clamp(index), text); return GetLength(); }
  // Deletes count characters from index; returns the new length.
  int Delete(int index, int count = 1) {
    if (index < 0) index = 0;
    if (count > 0 && index < GetLength()) text_.erase(static_cast<size_t>(index), static_cast<size_t>(count));
    return GetLength();
  }

  // printf-style formatting (see zkframework::FormatTextV); replaces the text.
  // Pass texts as GetString(), never a CString object itself: the compiler
  // checks the narrow form's arguments in the Windows build.
  template <typename U = T, typename std::enable_if<std::is_same<U, char>::value, int>::type = 0>
  ZK_FORMAT_CHECK(2, 3) void Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
  }
  template <typename U = T, typename std::enable_if<std::is_same<U, wchar_t>::value, int>::type = 0>
  void Format(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
  }
  void FormatV(const T* format, va_list args) { text_ = zkframework::FormatTextV(format, args); }
  // printf-style formatting appended to the text.
  template <typename U = T, typename std::enable_if<std::is_same<U, char>::value, int>::type = 0>
  ZK_FORMAT_CHECK(2, 3) void AppendFormat(const char* format, ...) {
    va_list args;
    va_start(args, format);
    text_ += zkframework::FormatTextV(format, args);
    va_end(args);
  }
  template <typename U = T, typename std::enable_if<std::is_same<U, wchar_t>::value, int>::type = 0>
  void AppendFormat(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    text_ += zkframework::FormatTextV(format, args);
    va_end(args);
  }

  // <windows.h> turns LoadString into LoadStringA or LoadStringW wherever it
  // is included, so the class answers to all three names.
#pragma push_macro("LoadString")
#undef LoadString
  int LoadString(unsigned id) { return zkframework::LoadResourceText(id, text_) ? 1 : 0; }
  int LoadStringA(unsigned id) { return LoadString(id); }
  int LoadStringW(unsigned id) { return LoadString(id); }
#pragma pop_macro("LoadString")

  // A writable buffer of at least min_length characters plus a NUL, holding
  // the current text; call ReleaseBuffer when done writing.
  T* GetBuffer(int min_length = 0) {
    if (min_length > GetLength()) text_.resize(static_cast<size_t>(min_length));
    return &text_[0];
  }
  T* GetBufferSetLength(int length) {
    text_.resize(length > 0 ? static_cast<size_t>(length) : 0);
    return &text_[0];
  }
  // Ends buffer access; the length becomes new_length, or the length up to
  // the first NUL when it is -1.
  void ReleaseBuffer(int new_length = -1) {
    size_t length = new_length < 0 ? std::char_traits<T>::length(text_.c_str()) : static_cast<size_t>(new_length);
    if (length > text_.size()) length = text_.size();
    text_.resize(length);
  }

  friend CStringT operator+(const CStringT& a, const CStringT& b) { CStringT r(a); r += b; return r; }
  friend CStringT operator+(const CStringT& a, const T* b) { CStringT r(a); r += b; return r; }
  friend CStringT operator+(const T* a, const CStringT& b) { CStringT r(a); r += b; return r; }
  friend CStringT operator+(const CStringT& a, T b) { CStringT r(a); r += b; return r; }
  friend CStringT operator+(T a, const CStringT& b) { CStringT r(a); r += b; return r; }

  friend bool operator==(const CStringT& a, const CStringT& b) { return a.text_ == b.text_; }
  friend bool operator==(const CStringT& a, const T* b) { return a.Compare(b) == 0; }
  friend bool operator==(const T* a, const CStringT& b) { return b.Compare(a) == 0; }
  friend bool operator!=(const CStringT& a, const CStringT& b) { return !(a == b); }
  friend bool operator!=(const CStringT& a, const T* b) { return !(a == b); }
  friend bool operator!=(const T* a, const CStringT& b) { return !(a == b); }
  // Code units compared as unsigned numbers (the order of ordered maps).
  friend bool operator<(const CStringT& a, const CStringT& b) { return a.text_ < b.text_; }
  friend bool operator>(const CStringT& a, const CStringT& b) { return b < a; }

 private:
  using Unsigned = typename std::make_unsigned<T>::type;

  static const T* EmptyText() {
    static const T empty[1] = {0};
    return empty;
  }
  static bool InSet(const T* set, T c) {
    if (!set) return false;
    for (; *set; ++set) if (*set == c) return true;
    return false;
  }
  static int ToIndex(size_t at) { return at == Storage::npos ? -1 : static_cast<int>(at); }
  size_t Clamp(int n) const {
    if (n < 0) return 0;
    return static_cast<size_t>(n) > text_.size() ? text_.size() : static_cast<size_t>(n);
  }
  template <typename U>
  void Assign(const U* text) {
    if (!text) { text_.clear(); return; }
    text_ = Traits::From(text, std::char_traits<U>::length(text));
  }
  template <typename Pred>
  CStringT& TrimLeftIf(Pred pred) {
    size_t n = 0;
    while (n < text_.size() && pred(text_[n])) ++n;
    text_.erase(0, n);
    return *this;
  }
  template <typename Pred>
  CStringT& TrimRightIf(Pred pred) {
    size_t n = text_.size();
    while (n > 0 && pred(text_[n - 1])) --n;
    text_.resize(n);
    return *this;
  }
  void MapCase(T (*map)(T)) {
    for (size_t i = 0; i < text_.size(); ++i) {
      if (Traits::IsLead(text_[i])) { ++i; continue; }  // keep both bytes of a double-byte character
      text_[i] = map(text_[i]);
    }
  }
  // Compares up to the first NUL, as the C library's string comparisons do.
  static int CompareUnits(const T* a, const T* b, bool fold) {
    for (;;) {
      bool lead = Traits::IsLead(*a);
      int order = CompareUnit(*a, *b, fold);
      if (order != 0 || *a == 0) return order;
      ++a;
      ++b;
      if (lead) {  // the trail byte of a double-byte character has no case
        if ((order = CompareUnit(*a, *b, false)) != 0 || *a == 0) return order;
        ++a;
        ++b;
      }
    }
  }
  static int CompareUnit(T a, T b, bool fold) {
    if (fold) { a = Traits::ToLower(a); b = Traits::ToLower(b); }
    if (a == b) return 0;
    return static_cast<Unsigned>(a) < static_cast<Unsigned>(b) ? -1 : 1;
  }

  Storage text_;
};

using CStringA = CStringT<char>;
using CStringW = CStringT<wchar_t>;

#ifdef ZK_UNICODE_CSTRING
using CString = CStringW;
#else
using CString = CStringA;
#endif
