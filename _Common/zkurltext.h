// Which texts may follow a trusted root in an address that the programs
// fetch: shared by the starter's download base and the update wizard's
// address checks. Pure code.
#pragma once

#include <string>

// Whether a "?" (and the query it begins) may stand in the text.
enum class ZKUrlQuery { kRefused, kAllowed };

// True when text holds nothing that could carry the request off the trusted
// root's server or folder, or make it fetch another file than the one it
// spells: no "..", "\", "%" or "@", no control character (below 0x20, or
// 0x7F), no character above 0x7E (a best-fit conversion to ANSI, WinINet's
// or a server's, turns full-width look-alikes such as U+FF0E and U+FF0F into
// "." and "/"), no "#" (the URL splitter drops everything from it, so that a
// name appended after it no longer counts), and no "?" unless query allows
// one. The narrow form takes bytes of the ANSI code page: every byte of a
// double-byte character lies above 0x7E or is refused with it.
bool IsPlainUrlText(const std::wstring& text, ZKUrlQuery query);
bool IsPlainUrlText(const char* text, ZKUrlQuery query);
