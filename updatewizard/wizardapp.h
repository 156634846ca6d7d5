// The update wizard's start-up checks and texts that need no system: the
// avatar-root test, the trusted-host test of the update address, the portal
// cookie value test and text, and the browser name of a parent program.
#pragma once

#include "framework/cstring.h"

// Tells whether a byte starts a double-byte character of the ANSI code page.
using ZKLeadByteTest = bool (*)(unsigned char byte);

// The offset of the first occurrence of part in text, stepping over whole
// double-byte characters (an occurrence never starts on a trail byte), or -1.
int FindFirstOccurrence(const char* text, const char* part, ZKLeadByteTest is_lead);

// 0 when address begins with root, compared over root's length ignoring
// ASCII letter case, and the rest is plain URL text in which a query may
// stand (IsPlainUrlText); 2002 (INVALID_URL) otherwise, a shorter or missing
// address included.
int CheckAvatarUrl(const char* address, const char* root);

// 0 when address parses and its host ends in one of the ';'-separated
// suffixes, tested in order at their first occurrence only (case-sensitive);
// 2002 otherwise.
int CheckUpdateUrlHost(const char* address, const char* suffixes, ZKLeadByteTest is_lead);

// TRUE when value can stand in a cookie text as it is: it holds no ";",
// which would end the value and begin attributes of the sender's choosing
// (an expiry, say), and no control character (below 0x20, or 0x7F).
bool IsPlainCookieValue(const char* value);

// The cookie text "name=value; path=/; domain=.<domain>" (no escaping, no expiry).
CStringA FormatPortalCookie(const char* name, const char* value, const char* domain);

// "<file name without folder and extension> <version>" of a lower-cased program path.
CStringA BrowserNameFromPath(const char* lowered_path, const char* version);
