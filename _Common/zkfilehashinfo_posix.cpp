// The hash check's trace off Windows: there is no debugger output to write to.
#include "_Common/zkfilehashinfo.h"

void HashInfoTrace(const char*, ...) {}
