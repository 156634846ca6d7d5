// The update wizard's run-parameter reader: the hand-over of the run-parameter
// library, or else the clipboard parameter text (tagged or positional form).
#pragma once

#include "_Common/errorcodes.h"
#include "framework/seam.h"
#include "zkrunparammodulelib/zkrunparam.h"

// The clipboard read under LoadCBData; tests replace it through ScopedCallsOverride.
struct ZKParseCmdLineCalls {
  // Reads and decrypts the clipboard parameter text, as ReadCBData.
  bool (*readCBData)(char* outBuf, unsigned bufSize, const char* keyText, bool clearAfterRead);
};

// The calls in use; the program never changes them.
ZKParseCmdLineCalls& ZKParseCmdLineCurrentCalls();
// The platform's own calls (the SEED clipboard reader).
ZKParseCmdLineCalls ZKParseCmdLinePlatformCalls();
using ScopedZKParseCmdLineCalls =
    ScopedCallsOverride<ZKParseCmdLineCalls, &ZKParseCmdLineCurrentCalls, &ZKParseCmdLinePlatformCalls>;

// Run parameters loaded from the hand-over or the clipboard; read them through CZKRunParam.
class CZKParseCmdLine : public CZKRunParam {
 public:
  enum {
    RUN_STRING_SIZE = 12288,  // the run string with its NUL
    CB_BUFFER_SIZE = 20480,   // the clipboard text with its NUL
  };

  // Registers the store and starts with an empty run string.
  CZKParseCmdLine();
  ~CZKParseCmdLine() override;

  // Loads the parameters (hand-over first, clipboard text when that fails);
  // with buildRunString also fills the run string. 0 or a launcher code.
  LauncherErrorCode Parse(bool buildRunString);

  // Reads and decrypts the clipboard parameter text under the command-line
  // key into buffer (size bytes, NUL included). 0, 2000, 2001 or 2300.
  LauncherErrorCode LoadCBData(char* buffer, unsigned size);

  // Parses a clipboard parameter text into the parameters, writing NULs into
  // it. 0, 2300, 2301, 2304 or 2401; what was stored before a failure stays.
  LauncherErrorCode ParseCBText(char* text);

  // The run string that Parse(true) built; empty otherwise.
  const char* GetRunString() const { return runString; }

 private:
  LauncherErrorCode ParseTaggedText(char* text);
  LauncherErrorCode ParsePositionalText(char* text);
  LauncherErrorCode BuildRunString();

  char runString[RUN_STRING_SIZE];
};
