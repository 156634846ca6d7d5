// The starter's debug trace of the run-parameter library.
#pragma once

// Formats a text with the library's formatter and hands it to the debugger output.
void RunParamDebugTrace(const char* format, ...);

// Where the formatted trace texts go: the debugger output on Windows.
void RunParamDebugOutput(const char* text);
