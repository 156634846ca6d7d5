// The update wizard's run-parameter reader: hand-over, clipboard fallback and
// the two forms of the clipboard parameter text.
#include "_Common/zkparsecmdline.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "_Common/zkcommonfunc.h"
#include "zkrunparammodulelib/zkcbdata.h"
#include "zkrunparammodulelib/zkrunenv.h"

namespace {

// The positional form's values by marker number 1 to 6.
const char* const kPositionalNames[] = {"RunMode", "ProgName", "AvatarURL", "UpdateURL", "RunString", "InstallParam"};
const int kPositionalCount = 6;

const char* ValueOrEmpty(const char* value) { return value ? value : ""; }

}  // namespace

ZKParseCmdLineCalls ZKParseCmdLinePlatformCalls() { return ZKParseCmdLineCalls{ReadCBData}; }

ZKParseCmdLineCalls& ZKParseCmdLineCurrentCalls() {
  static ZKParseCmdLineCalls calls = ZKParseCmdLinePlatformCalls();
  return calls;
}

CZKParseCmdLine::CZKParseCmdLine() { memset(runString, 0, sizeof runString); }

CZKParseCmdLine::~CZKParseCmdLine() = default;

LauncherErrorCode CZKParseCmdLine::Parse(bool buildRunString) {
  // The hand-over's own code is dropped: without it the clipboard decides.
  LauncherErrorCode code = Load(nullptr, true);
  if (code != 0) {
    char buffer[CB_BUFFER_SIZE] = {};
    // One byte short of the buffer, so that the text always ends in a NUL.
    code = LoadCBData(buffer, CB_BUFFER_SIZE - 1);
    if (code == 0) code = ParseCBText(buffer);
  }
  if (!buildRunString || code != 0) return code;
  return BuildRunString();
}

LauncherErrorCode CZKParseCmdLine::BuildRunString() {
  const char* given = GetValue("RunString");
  if (given) {
    size_t length = strlen(given);
    // A text that does not fit is refused rather than cut.
    if (length >= sizeof runString) return LauncherError::FAIL_BUILD_PARAMSTRING;
    memcpy(runString, given, length + 1);
  }
  if (runString[0] != '\0') {
    RemoveValue("RunString");
    return 0;
  }
  bool cookie = HasValue("AuthCookie") || HasValue("DataCookie") || HasValue("CpCookie");
  if (!cookie || !HasValue("ServIP") || !HasValue("ServPort")) return LauncherError::NOT_ENOUGH_RUNPARAM;
  int written = snprintf(runString, sizeof runString, "%s,%s,%s,%s,%s,%s", ValueOrEmpty(GetValue("ServIP")),
                         ValueOrEmpty(GetValue("ServPort")), ValueOrEmpty(GetValue("AuthCookie")),
                         ValueOrEmpty(GetValue("DataCookie")), ValueOrEmpty(GetValue("CpCookie")),
                         ValueOrEmpty(GetValue("SpareParam")));
  if (written < 0 || static_cast<size_t>(written) >= sizeof runString) {
    memset(runString, 0, sizeof runString);
    return LauncherError::FAIL_BUILD_PARAMSTRING;
  }
  return 0;
}

LauncherErrorCode CZKParseCmdLine::LoadCBData(char* buffer, unsigned size) {
  if (!buffer || size == 0) return LauncherError::INVALID_PARAM;
  const char* key = GetCommandLineKey();
  if (!key || key[0] == '\0') return LauncherError::INVALID_KEY;
  return ZKParseCmdLineCurrentCalls().readCBData(buffer, size, key, true) ? 0 : LauncherError::FAIL_LOAD_CBDATA;
}

LauncherErrorCode CZKParseCmdLine::ParseCBText(char* text) {
  if (!text || text[0] == '\0') return LauncherError::FAIL_LOAD_CBDATA;
  text = SkipLeadingSpaces(text);
  if (*text == '<') return ParseTaggedText(text);
  return ParsePositionalText(text);
}

// Elements '<' key '>' value "</key>", blanks (tab, CR, space) between them.
LauncherErrorCode CZKParseCmdLine::ParseTaggedText(char* text) {
  char* at = text;
  while (*at != '\0') {
    if (*at != '<') return LauncherError::INVALID_CB_FORMAT;
    char* key = at + 1;
    char* keyEnd = strchr(key, '>');
    if (!keyEnd || keyEnd == key) return LauncherError::INVALID_CB_FORMAT;
    std::string closing = "</" + std::string(key, keyEnd) + ">";
    char* value = keyEnd + 1;
    char* valueEnd = strstr(value, closing.c_str());
    if (!valueEnd) return LauncherError::INVALID_CB_FORMAT;
    char* next = valueEnd + closing.size();
    *keyEnd = '\0';
    *valueEnd = '\0';
    bool stored = value[0] == '\0' || SetValue(key, value) == 0;
    at = SkipLeadingSpaces(next);
    if (!stored) return LauncherError::FAIL_SET_PARAM;
  }
  return 0;
}

// Values after the markers [#1] to [#6], each up to the next marker.
LauncherErrorCode CZKParseCmdLine::ParsePositionalText(char* text) {
  char marker[16];
  snprintf(marker, sizeof marker, "[#%d]", 1);
  char* current = strstr(text, marker);
  if (!current) return LauncherError::NOT_EXIST_CBDATA;
  for (int number = 1; number <= kPositionalCount; ++number) {
    char* value = current + strlen(marker);
    snprintf(marker, sizeof marker, "[#%d]", number + 1);
    char* next = strstr(value, marker);
    if (next) *next = '\0';
    // A failed store is not reported in this form.
    SetValue(kPositionalNames[number - 1], TrimSpaces(value));
    if (!next) return number < kPositionalCount ? LauncherError::NOT_EXIST_CBDATA : 0;
    current = next;
  }
  return 0;
}
