// The program entry of a framework application: the one CWinApp object's
// InitInstance decides whether a message loop follows.
#pragma once

#include <windows.h>

// Runs the application object's start and, when it returns TRUE, the thread's
// message loop until WM_QUIT; returns the program's exit code (0 without
// application object or after a FALSE start).
int AfxWinMain();
