// Names of the launcher's result codes.
#include "_Common/errorcodes.h"

const char* ErrorCodeName(LauncherErrorCode code) {
  // An exact lookup: a family has no default name for the codes it lacks.
  switch (code) {
#define ZK_LAUNCHER_ERROR_CASE(value, name) \
  case value:                               \
    return #name;
    ZK_LAUNCHER_ERROR_CODES(ZK_LAUNCHER_ERROR_CASE)
#undef ZK_LAUNCHER_ERROR_CASE
  }
  return nullptr;
}
