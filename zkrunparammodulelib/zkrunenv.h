// The hand-over's environment variables, the command-line key and the program launch.
#pragma once

#include "framework/seam.h"
#include "zkrunparammodulelib/zkstring.h"

// Names and sizes of the hand-over in the environment.
#define ZK_RUNENV_DATA "ZKRunEnv_DATA"
#define ZK_RUNENV_ENUM "ZKRunEnv_ENUM"
#define ZK_RUNENV_VER "ZKRunEnv_VER"
enum { ZK_RUNENV_PIECE = 15360 };

// The system calls under the hand-over; tests replace entries through ScopedCallsOverride.
struct ZKRunEnvCalls {
  // As GetEnvironmentVariableA: the length copied, the size needed (NUL
  // included) when size is too small, 0 when the variable is missing.
  unsigned (*getVariable)(const char* name, char* buffer, unsigned size);
  // Sets a variable, or deletes it when value is NULL; false on failure.
  bool (*setVariable)(const char* name, const char* value);
  // The process's command line.
  const char* (*commandLine)();
  // Starts program with parameters in directory; *result receives the launch value.
  bool (*launch)(const char* program, const char* parameters, const char* directory, int* result);
  // Drops the registered clipboard format that the update wizard's caller may have left.
  void (*clearClipboardFormat)();
};

// The calls in use; the program never changes them.
ZKRunEnvCalls& ZKRunEnvCurrentCalls();
// The platform's own calls.
ZKRunEnvCalls ZKRunEnvPlatformCalls();
using ScopedZKRunEnvCalls = ScopedCallsOverride<ZKRunEnvCalls, &ZKRunEnvCurrentCalls, &ZKRunEnvPlatformCalls>;

// Writes the hex text into ZKRunEnv_DATA_1, _2 ... (pieces of 15360 characters), ZKRunEnv_ENUM and ZKRunEnv_VER.
bool StoreRunEnv(const char* hexText);
// Deletes every variable named in ZKRunEnv_ENUM, then ZKRunEnv_VER and ZKRunEnv_ENUM; true when the last two went.
bool ClearRunEnv();
// The sizes, NULs included, of the variables named in ZKRunEnv_ENUM; 0 without a usable list.
int GetRunEnvSize();
// Joins the values of the variables named in ZKRunEnv_ENUM into buffer (NUL-terminated).
bool ReadRunEnv(char* buffer, int size, int* outLength);

// Copies argument index of a command line (blank-separated, double quotes
// honoured) into out; 0, or 3205 when there is no such argument.
int FindCommandLineArgument(const char* commandLine, int index, NS_ZKRunParamModuleLib::_CZKString* out);
// Argument 1 of the process's command line, or NULL; valid until the next call.
const char* GetCommandLineKey();

// The working folder of a launch: the path's first 259 characters up to and
// including the last backslash (empty without one), without a leading double quote.
void ProgramDirectory(const char* programPath, NS_ZKRunParamModuleLib::_CZKString* out);

// Starts a program the platform's way; true when it started.
bool LaunchProgram(const char* program, const char* parameters, const char* directory, int* result);
// True when the system's major version is above 5.
bool IsVistaOrLater();
#if defined(_WIN32)
// The launch of systems up to major version 5 (WinExec in the given folder), whatever this one is.
bool LaunchProgramWithWinExec(const char* program, const char* parameters, const char* directory, int* result);
#endif
