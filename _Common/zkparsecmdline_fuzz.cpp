// Fuzz entry of the update wizard's clipboard parameter text, in both forms.
//
// Input: a first byte picks the road, the rest is the text.
//   even  ParseCBText on the text: it may cut the text with NULs but writes
//         nothing behind it; a tagged text that parses stores what a plain
//         reading of its elements gives.
//   odd   the whole Parse(true) with the text as the clipboard's, the
//         hand-over missing: the run string stays within its array.
#include <algorithm>
#include <cctype>
#include <map>
#include <string>
#include <vector>

#include "tests/support/fuzzsupport.h"
#include "_Common/zkparsecmdline.h"
#include "tests/support/fakerunenv.h"

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return text;
}

std::string TrimBlanks(const std::string& text, const char* blanks) {
  const size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// The tagged form read plainly: for each element, the last non-empty value
// of its name (names without their blanks, letter case ignored).
bool ReadTagged(std::string text, std::map<std::string, std::pair<std::string, std::string>>* values) {
  size_t at = text.find_first_not_of("\t\r ");
  while (at != std::string::npos && at < text.size()) {
    if (text[at] != '<') return false;
    const size_t key_end = text.find('>', at + 1);
    if (key_end == std::string::npos || key_end == at + 1) return false;
    const std::string key = text.substr(at + 1, key_end - at - 1);
    const size_t value_end = text.find("</" + key + ">", key_end + 1);
    if (value_end == std::string::npos) return false;
    const std::string value = text.substr(key_end + 1, value_end - key_end - 1);
    if (!value.empty()) (*values)[Lower(TrimBlanks(key, " "))] = {key, value};
    at = text.find_first_not_of("\t\r ", value_end + key.size() + 3);
  }
  return true;
}

void CheckParseText(const std::string& text) {
  zkfuzz::GuardedBuffer buffer(text.size() + 1);
  std::memcpy(buffer.data(), text.c_str(), text.size() + 1);
  CZKParseCmdLine parser;
  const LauncherErrorCode code = parser.ParseCBText(buffer.data());
  ZK_FUZZ_CHECK(buffer.UntouchedFrom(text.size() + 1));
  if (code != 0) return;

  const size_t first = text.find_first_not_of("\t\r ");
  if (first == std::string::npos || text[first] != '<') return;
  std::map<std::string, std::pair<std::string, std::string>> values;
  ZK_FUZZ_CHECK(ReadTagged(text, &values));
  for (const auto& value : values) {
    const char* stored = parser.GetValue(value.second.first.c_str());
    ZK_FUZZ_CHECK(stored && value.second.second == stored);
  }
}

std::string g_clipboard_text;

bool FakeClipboardRead(char* out, unsigned size, const char*, bool) {
  if (g_clipboard_text.size() >= size) return false;
  std::memcpy(out, g_clipboard_text.c_str(), g_clipboard_text.size() + 1);
  return true;
}

void CheckWholeParse(const std::string& text) {
  zktest::FakeRunEnv environment;
  environment.commandLine = "Tesselo1.exe ZKKEY1_0001";
  g_clipboard_text = text;
  {
    ScopedZKParseCmdLineCalls clipboard(ZKParseCmdLineCalls{FakeClipboardRead});
    CZKParseCmdLine parser;
    const LauncherErrorCode code = parser.Parse(true);
    const char* run_string = parser.GetRunString();
    ZK_FUZZ_CHECK(strnlen(run_string, CZKParseCmdLine::RUN_STRING_SIZE) < CZKParseCmdLine::RUN_STRING_SIZE);
    if (code != 0) ZK_FUZZ_CHECK(run_string[0] == '\0' || code == LauncherError::NOT_ENOUGH_RUNPARAM);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zkfuzz::Input input(data, size);
  const bool whole = input.Byte() & 1;
  std::string text = input.Rest();
  text = text.substr(0, text.find('\0'));
  if (whole) CheckWholeParse(text);
  else CheckParseText(text);
  return 0;
}
