// Debugger output of the run-parameter library's trace.
#include <windows.h>

#include "zkrunparammodulelib/_zkutil/zklibdebugfunc.h"

void RunParamDebugOutput(const char* text) { OutputDebugStringA(text); }
