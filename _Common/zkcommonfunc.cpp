// Text helpers of the toolkit that need no platform.
#include "_Common/zkcommonfunc.h"

#include <cctype>
#include <cstring>

int HexDigitValue(char character) {
  if (character >= '1' && character <= '9') return character - '0';
  if (character >= 'A' && character <= 'F') return character - 'A' + 10;
  if (character >= 'a' && character <= 'f') return character - 'a' + 10;
  return 0;
}

int IsTrimSpace(char character) { return character == '\t' || character == '\r' || character == ' '; }

char* SkipLeadingSpaces(char* text) {
  if (!text) return nullptr;
  while (IsTrimSpace(*text)) ++text;
  return text;
}

void TrimTrailingSpaces(char* start, char* end) {
  if (!start) return;
  if (!end) end = start + std::strlen(start);
  while (end > start && IsTrimSpace(end[-1])) *--end = '\0';
}

char* TrimSpaces(char* text) {
  text = SkipLeadingSpaces(text);
  TrimTrailingSpaces(text);
  return text;
}

namespace {

// isspace takes an unsigned char value: the lead and trail bytes of Korean
// characters are negative chars and must not reach it as such.
bool IsCSpace(char character) { return std::isspace(static_cast<unsigned char>(character)) != 0; }

}  // namespace

void TrimLeftSpaces(std::string& text) {
  size_t first = 0;
  while (first < text.size() && IsCSpace(text[first])) ++first;
  text.erase(0, first);
}

void TrimRightSpaces(std::string& text) {
  size_t length = text.size();
  while (length > 0 && IsCSpace(text[length - 1])) --length;
  text.erase(length);
}

void DirectoryOfPath(CStringA& out, const char* path) {
  if (!path) {
    out.Empty();
    return;
  }
  // As the C runtime splits a path: a drive is a letter-and-colon pair at
  // the start, the directory runs to the last separator of either kind. No
  // trail byte of code page 949 equals a separator, so bytes can be scanned.
  size_t drive = (path[0] != '\0' && path[1] == ':') ? 2 : 0;
  const char* directory_end = path + drive;
  for (const char* at = directory_end; *at; ++at) {
    if (*at == '\\' || *at == '/') directory_end = at + 1;
  }
  out = CStringA(path, static_cast<int>(directory_end - path));
}
