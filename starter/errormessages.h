// The starter's error boxes: a Korean text from its string table under the caption of string 8.
#pragma once

#include <type_traits>

#include "framework/cstring.h"
#include "framework/seam.h"
#include "starter/resource_ids.h"

static_assert(std::is_same<CString, CStringW>::value, "the starter works on wide strings (ZK_UNICODE_CSTRING)");

// Shows the error box of string message_id (an empty text when the table
// lacks it) under the caption of string 8; returns the box's result.
int ShowErrorMessage(unsigned message_id);

// Shows one modal error box, owned by the framework's main window when there
// is one, brought to the foreground; "ZKStarter" stands for a missing or
// empty caption. Returns the box's result.
int ShowErrorText(const wchar_t* caption, const wchar_t* text);

// Loads string id of the starter's string table (found through the
// framework's resource handle) into text; false, and text unchanged, when
// the table has no such string.
bool LoadMessageText(CString& text, unsigned id);

// The system call of ShowErrorText, which tests replace to check the owner and the style.
struct StarterMessageCalls {
  // Shows a message box and returns its result, as MessageBoxW.
  int (*messageBox)(void* owner, const wchar_t* text, const wchar_t* caption, unsigned style);
};
// The calls in use; the program never changes them.
StarterMessageCalls& StarterMessageCurrentCalls();
// The platform's own calls: MessageBoxW.
StarterMessageCalls StarterMessagePlatformCalls();
using ScopedStarterMessageCalls =
    ScopedCallsOverride<StarterMessageCalls, &StarterMessageCurrentCalls, &StarterMessagePlatformCalls>;
