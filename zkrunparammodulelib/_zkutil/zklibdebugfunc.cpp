// The run-parameter library's debug trace: format with the library's own formatter, then output.
#include "zkrunparammodulelib/_zkutil/zklibdebugfunc.h"

#include <cstdarg>

#include "zkrunparammodulelib/zkstring.h"

void RunParamDebugTrace(const char* format, ...) {
  if (!format) return;
  NS_ZKRunParamModuleLib::_CZKString text;
  va_list args;
  va_start(args, format);
  bool formatted = text.FormatV(format, args);
  va_end(args);
  if (formatted && text.GetText()) RunParamDebugOutput(text.GetText());
}
