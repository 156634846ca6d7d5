// The run-parameter reader in its own process under Wine: a hand-over from a
// sender process, and the fallback to the SEED text on the real clipboard.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>

#include "tests/support/peer.h"

namespace {

using zktest::Report;
using zktest::ParseReport;

// SEED texts under the key text "passphrase", made with OpenSSL: the plain
// text NUL-filled to whole blocks, each 4-byte group of key, plain text and
// result reversed, `openssl enc -provider legacy -provider default -seed-ecb -nopad`.
// "<RunMode>1</RunMode>\t<ProgName>game</ProgName> <AvatarURL>http://a.test/x?a=<b>|c</AvatarURL>"
const char kTagged[] =
    "b25b4bebe9e473f1da5efcb043e135a2e6eada72c9de3a56ecad83af5fcb41989f69cc648d2a06d140f75d13a8967042"
    "ffe443cb9960b5cd09222a2a288cb590e11591afb0d64a32e27efa7ca4ca0983da30ea0b10beccf285cc89919f4c6d63";
// Two segments: "junk [#1]2[#2]game2[#3]" and "http://a.test/[#4]http://u.test/[#5]rs,1[#6]ip".
const char kPositional[] =
    "f70d24ffbbcd355e6a4ed211e5afc64d54a3a26e3f892b80a2bea3050a676bc7|"
    "640f4c3a4bdf5aee07743482a9e7bac64257300708156652b6ff27acb532ffa9ba32f0df4a64e8740fe6c79b25909fca";

std::string ReportPath() { return zktest::ProgramFolder() + "parsecmdline_receiver.txt"; }

void PrepareReport(bool runString) {
  DeleteFileA(ReportPath().c_str());
  SetEnvironmentVariableA("ZKTEST_PARSECMDLINE_REPORT", ReportPath().c_str());
  SetEnvironmentVariableA("ZKTEST_PARSECMDLINE_RUNSTRING", runString ? "1" : "0");
}

// Starts the receiver with the given arguments and reads its report.
Report RunReceiver(const std::string& arguments, bool runString = false) {
  PrepareReport(runString);
  EXPECT_EQ(zktest::RunPeer("parsecmdline_receiver.exe" + arguments), 0) << arguments;
  return ParseReport(zktest::ReadFileBytes(ReportPath()));
}

// Has the sender hand the scenario "one" (RunMode only) to the receiver, and waits for its report.
Report RunFromSender(bool runString) {
  PrepareReport(runString);
  std::string folder = zktest::ProgramFolder();
  std::string senderReport = folder + "parsecmdline_sender.txt";
  DeleteFileA(senderReport.c_str());
  int exit = zktest::RunPeer("runparam_sender.exe \"" + folder + "parsecmdline_receiver.exe\" one \"" + senderReport + "\"");
  EXPECT_EQ(exit, 0);
  EXPECT_EQ(ParseReport(zktest::ReadFileBytes(senderReport))["code"], "0");
  // The receiver is the sender's child: its report is whole once it has ended.
  EXPECT_TRUE(zktest::WaitForChildren()) << "the receiver did not end";
  return ParseReport(zktest::ReadFileBytes(ReportPath()));
}

void PutOnClipboard(const std::string& text) {
  if (text.empty()) {
    ASSERT_EQ(zktest::RunPeer("cliptool.exe empty"), 0);
  } else {
    ASSERT_EQ(zktest::RunPeer("cliptool.exe set-format Corvalise_ClipFormat \"" + text + "\""), 0);
  }
}

class ParseCmdLineOnWine : public ::testing::Test {
 protected:
  void TearDown() override { zktest::RunPeer("cliptool.exe empty"); }
};

TEST_F(ParseCmdLineOnWine, HandOverFromASenderWinsOverTheClipboard) {
  PutOnClipboard(kTagged);
  Report got = RunFromSender(false);
  EXPECT_EQ(got["code"], "0");
  EXPECT_EQ(got["RunMode"], "a=b;c%d <x>|y");
  EXPECT_EQ(got["ProgName"], "<none>");  // the clipboard's would be "game"
  EXPECT_EQ(got["runenv_after"], "0");
  EXPECT_EQ(got["clip_after"], "0");  // a complete load drops the format's data

  // The hand-over holds neither RunString nor cookies and server: no run string.
  got = RunFromSender(true);
  EXPECT_EQ(got["code"], "2402");
  EXPECT_EQ(got["RunMode"], "a=b;c%d <x>|y");
  EXPECT_EQ(got["runstring"], "");
}

TEST_F(ParseCmdLineOnWine, ClipboardFallback) {
  struct Case {
    const char* what;
    std::string clipboard;
    std::string arguments;
    bool runString;
    const char* code;
    Report values;  // checked names only
    const char* clipAfter;
  } cases[] = {
      {"tagged", kTagged, " passphrase", false, "0",
       {{"RunMode", "1"}, {"ProgName", "game"}, {"AvatarURL", "http://a.test/x?a=<b>|c"}, {"UpdateURL", "<none>"}},
       "0"},
      {"positional in two segments, quoted key", kPositional, " \"passphrase\"", false, "0",
       {{"RunMode", "2"},
        {"ProgName", "game2"},
        {"AvatarURL", "http://a.test/"},
        {"UpdateURL", "http://u.test/"},
        {"RunString", "rs,1"},
        {"InstallParam", "ip"}},
       "0"},
      {"run string taken from the text", kPositional, " passphrase", true, "0",
       {{"RunString", "<none>"}, {"runstring", "rs,1"}}, "0"},
      {"no argument", kTagged, "", false, "2001", {{"RunMode", "<none>"}}, "1"},
      {"wrong key: the text makes no sense", kTagged, " wrongkey", false, "2301", {{"RunMode", "<none>"}}, "0"},
      {"separator at the end: not read", std::string(kTagged) + "|", " passphrase", false, "2300",
       {{"RunMode", "<none>"}}, "1"},
      {"nothing in the format", "", " passphrase", false, "2300", {{"RunMode", "<none>"}}, "0"},
  };
  for (const Case& c : cases) {
    PutOnClipboard(c.clipboard);
    Report got = RunReceiver(c.arguments, c.runString);
    EXPECT_EQ(got["code"], c.code) << c.what;
    for (const auto& value : c.values) EXPECT_EQ(got[value.first], value.second) << c.what << ": " << value.first;
    EXPECT_EQ(got["clip_after"], c.clipAfter) << c.what;
  }
}

}  // namespace
