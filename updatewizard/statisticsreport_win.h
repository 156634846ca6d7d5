// The seam of the system line's version query, for tests that stand in for
// another Windows version than the one they run on.
#pragma once

#include <windows.h>

using GetVersionExAFunction = BOOL(WINAPI*)(LPOSVERSIONINFOA);

// Makes BuildSystemDescription ask function instead of GetVersionExA (NULL:
// GetVersionExA again). Not for the program.
void SetVersionQueryForTesting(GetVersionExAFunction function);
