// Starting the programs under test and the peers from a test or a test program.
#pragma once

#include <windows.h>

#include <string>

namespace zktest {

// Folder of the running program, with a trailing backslash.
std::string ProgramFolder();

// Starts a command line with the creation flags; a bare program name that
// stands in the running program's folder is started from there. The process
// handle (the caller closes it), or NULL when it cannot be started.
HANDLE StartProcess(const std::string& command_line, DWORD flags = 0);

}  // namespace zktest
