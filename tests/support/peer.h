// Helpers for tests that run the test peers (clipboard tool, box watcher) and programs.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "tests/support/process.h"
#include "tests/support/testenv.h"

namespace zktest {

// Runs a command line (program names are looked up in the test program's
// folder first), waits for it and returns its exit code, or -1 when it
// cannot be started. The optional time-out is in milliseconds.
int RunPeer(const std::string& command_line, unsigned timeout_ms = 60000);

// The clipboard's CF_TEXT bytes as lower-case hex, or "<none>" without text.
std::string ClipboardHex();

// Every process that this test program starts, and every process those
// start in turn, belongs to one job of the test program's: a test can wait
// for all of them to end, and the ones still running when the test program
// ends are ended with it.
//
// Waits until every process started by this test program, directly or not,
// has ended: a report or record that such a process writes is then whole.
// At the time-out (milliseconds) ends the ones still running and returns
// false; *still_running, when given, then names them.
bool WaitForChildren(unsigned timeout_ms = 60000, std::string* still_running = nullptr);

// WaitForChildren as a test's expectation: at the deadline, a failure that
// names the programs still running (which are then ended, so that the next
// case starts clean).
::testing::AssertionResult ProgramsEnded(unsigned timeout_ms = 60000);

// Has the nginx on the loopback port answer a request of its own and waits
// until its access log (log_path) holds that request's line. nginx writes a
// request's line as soon as it has answered it, so every request that it
// answered before is in the log then. False when there is no line at the
// time-out (milliseconds).
bool SyncAccessLog(int port, const std::string& log_path, unsigned timeout_ms = 30000);

// An access log's text without the lines of SyncAccessLog's own requests.
std::string WithoutSyncLines(const std::string& log);

// A test peer's report: one "key=value" line per item.
using Report = std::map<std::string, std::string>;
// Splits a report text at each line's first "="; lines without one are skipped.
Report ParseReport(const std::string& text);

// A box watcher running in the background from construction until Wait().
// It starts once every program that this test program started before has
// ended, so that it never takes a box of theirs for a new one; programs
// still running after a minute fail the test and are ended.
class BoxWatch {
 public:
  explicit BoxWatch(int boxes, unsigned timeout_ms = 60000);
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
