// The run-parameter library's own growable 8-bit string and its printf-style formatter.
#pragma once

#include <cstdarg>

namespace NS_ZKRunParamModuleLib {

// Formats into out (may be NULL) and stores at most count characters (-1 = no
// bound); the result is the full output length + 1. Never calls printf.
int VFormatText(va_list args, const char* format, char* out, int count);

// VFormatText into out with at most count characters.
int FormatTextTo(char* out, int count, const char* format, va_list args);

// The length + 1 that formatting format with args needs.
int MeasureFormattedText(const char* format, va_list args);

// A heap text (malloc / realloc / free) with a lazily measured length. Never
// copied implicitly; TakeOver moves a buffer from one string to another.
class _CZKString {
 public:
  explicit _CZKString(const char* text = nullptr);
  ~_CZKString();
  _CZKString(const _CZKString&) = delete;
  _CZKString& operator=(const _CZKString&) = delete;

  // Forgets the buffer without freeing it.
  void Reset();
  // Frees the buffer, then Reset; the cached length stays as it is.
  void FreeBuffer();
  // Frees the buffer and forgets the length.
  void Empty();
  // Takes the buffer of source over (a NULL source only empties this one); returns 1.
  int TakeOver(_CZKString* source);
  // Room for n bytes from the start of the text; NULL when memory runs out (the text stays).
  char* Grow(int n);
  // Room for n characters and a NUL; the caller writes and terminates.
  char* GetBuffer(int n);
  // Does nothing: the caller's text is taken as it stands.
  void ReleaseBuffer() {}
  // Pointer to text character index, or NULL when it lies outside the buffer.
  char* GetAt(int index) const;
  // The text, or NULL when the string has none.
  const char* GetText() const { return GetAt(0); }
  // True without text or with an empty text.
  bool IsEmpty() const;
  // The text's length, measured once and cached.
  int GetLength();
  // Declares n the length of the current text.
  void SetCachedLength(int n);
  // Cuts the text at n when that position lies in the buffer.
  void SetLength(int n);
  // Moves the start of the text by n, never past the buffer's last byte; true when it moved.
  bool AdvanceStart(int n);
  // Appends text; the string stays unchanged when memory runs out.
  void Append(const char* text);
  _CZKString& operator+=(const char* text) {
    Append(text);
    return *this;
  }
  // Removes leading, trailing or both kinds of characters ch.
  void TrimLeft(char ch);
  void TrimRight(char ch);
  void Trim(char ch);
  // Replaces the text by the formatted one; false (text unchanged) for a NULL format or no memory.
  bool FormatV(const char* format, va_list args);
  bool Format(const char* format, ...);
  // Replaces the text by a copy of text (NULL leaves no text).
  void Assign(const char* text);
  _CZKString& operator=(const char* text) {
    Assign(text);
    return *this;
  }

 private:
  char* buffer = nullptr;
  int capacity = 0;
  int startOffset = 0;
  int cachedLength = 0;
  int lengthValid = 0;
};

}  // namespace NS_ZKRunParamModuleLib
