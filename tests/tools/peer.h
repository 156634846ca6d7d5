// Helpers for tests that run the test peers (clipboard tool, box watcher) and programs.
#pragma once

#include <map>
#include <string>

namespace zktest {

// Folder of the running test program, with a trailing backslash.
std::string ProgramFolder();

// Runs a command line (program names are looked up in the test program's
// folder first), waits for it and returns its exit code, or -1 when it
// cannot be started. The optional time-out is in milliseconds.
int RunPeer(const std::string& command_line, unsigned timeout_ms = 60000);

// The clipboard's CF_TEXT bytes as lower-case hex, or "<none>" without text.
std::string ClipboardHex();

// Reads a whole file; empty when it is missing.
std::string ReadFileBytes(const std::string& path);

// A test peer's report: one "key=value" line per item.
using Report = std::map<std::string, std::string>;
// Splits a report text at each line's first "="; lines without one are skipped.
Report ParseReport(const std::string& text);

// A box watcher running in the background from construction until Wait().
class BoxWatch {
 public:
  explicit BoxWatch(int boxes, unsigned timeout_ms = 20000);
  ~BoxWatch();
  BoxWatch(const BoxWatch&) = delete;
  BoxWatch& operator=(const BoxWatch&) = delete;
  // Waits for the watcher to end and returns its records without the STYLE lines.
  std::string Wait();
  // The full records, STYLE lines included (valid after Wait).
  const std::string& Raw() const { return raw_; }

 private:
  void* process_ = nullptr;
  std::string output_;
  std::string raw_;
};

}  // namespace zktest
