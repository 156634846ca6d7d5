// The hand-over for real: a sender process hands its store to a receiver process it starts.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>

#include "tests/support/clipboard.h"
#include "tests/support/peer.h"
#include "zkrunparammodulelib/zkrunenv.h"
#include "zkrunparammodulelib/zkrunparam.h"

namespace {

using zktest::Report;
using zktest::ParseReport;

struct HandOver {
  int senderExit = -1;
  Report sender, receiver, wire;
};

// Runs the sender on program with a scenario and waits for the receiver's report.
HandOver RunHandOver(const std::string& program, const std::string& scenario) {
  std::string folder = zktest::ProgramFolder();
  std::string senderReport = folder + "runparam_sender_" + scenario + ".txt";
  std::string receiverReport = folder + "runparam_receiver_" + scenario + ".txt";
  DeleteFileA(senderReport.c_str());
  DeleteFileA(receiverReport.c_str());
  DeleteFileA((receiverReport + ".wire").c_str());
  SetEnvironmentVariableA("ZKTEST_RUNPARAM_REPORT", receiverReport.c_str());

  HandOver run;
  run.senderExit = zktest::RunPeer("runparam_sender.exe \"" + program + "\" " + scenario + " \"" + senderReport + "\"");
  run.sender = ParseReport(zktest::ReadFileBytes(senderReport));
  // The receiver is the sender's child: its reports are whole once it has ended.
  EXPECT_TRUE(zktest::WaitForChildren()) << "the receiver did not end";
  run.receiver = ParseReport(zktest::ReadFileBytes(receiverReport));
  run.wire = ParseReport(zktest::ReadFileBytes(receiverReport + ".wire"));
  return run;
}

std::string Receiver() { return zktest::ProgramFolder() + "runparam_receiver.exe"; }

std::string Lower(std::string text) {
  for (char& ch : text) ch = static_cast<char>(tolower(static_cast<unsigned char>(ch)));
  return text;
}

TEST(RunParamHandOver, OneEntryAndTheVariablesGo) {
  HandOver run = RunHandOver(Receiver(), "one");
  ASSERT_EQ(run.senderExit, 0);
  EXPECT_EQ(run.sender["code"], "0");
  EXPECT_EQ(run.sender["launched"], "1");
  EXPECT_EQ(run.sender["runenv_after"], "0");
  EXPECT_EQ(run.receiver["code"], "0");
  EXPECT_EQ(run.receiver["payload"], "<<__defAult_sectIonNAMEbyBrumel=>>;RunMode=a%3db%3bc%25d <x>|y;");
  EXPECT_EQ(run.receiver["runenv_after"], "0");
  EXPECT_EQ(run.wire["list"], "ZKRunEnv_DATA_1");
  EXPECT_EQ(run.wire["key"], run.receiver["key"]);
  std::string folder = zktest::ProgramFolder();
  EXPECT_EQ(Lower(run.receiver["directory"] + "\\"), Lower(folder));
  // The wire dump for the check with OpenSSL that runs after this test.
  CopyFileA((folder + "runparam_receiver_one.txt.wire").c_str(), (folder + "runparam_wire_one.txt").c_str(), FALSE);
}

TEST(RunParamHandOver, TwoEntriesInKeyOrder) {
  HandOver run = RunHandOver(Receiver(), "pair");
  EXPECT_EQ(run.sender["code"], "0");
  EXPECT_EQ(run.receiver["code"], "0");
  EXPECT_EQ(run.receiver["payload"], "<<__defAult_sectIonNAMEbyBrumel=>>;a=x%3by;B=2;");
  // The wire dump for the check with OpenSSL that runs after this test.
  std::string folder = zktest::ProgramFolder();
  CopyFileA((folder + "runparam_receiver_pair.txt.wire").c_str(), (folder + "runparam_wire_pair.txt").c_str(), FALSE);
}

TEST(RunParamHandOver, SeveralGroups) {
  HandOver run = RunHandOver(Receiver(), "groups");
  EXPECT_EQ(run.sender["code"], "0");
  EXPECT_EQ(run.receiver["code"], "0");
  EXPECT_EQ(run.receiver["payload"],
            "<<__defAult_sectIonNAMEbyBrumel=>>;First=1;<<Beta=>>;Fourth=4;Second=2%3b;<<gamma=>>;Third=%3d3;");
}

TEST(RunParamHandOver, PiecesAtTheLimit) {
  struct Case {
    const char* scenario;
    const char* list;
    size_t hexLength;
    size_t valueLength;
  } cases[] = {
      {"hex15360", "ZKRunEnv_DATA_1", 15360, 7672 - 38},
      {"hex15376", "ZKRunEnv_DATA_1|ZKRunEnv_DATA_2", 15376, 7680 - 38},
  };
  for (const Case& c : cases) {
    HandOver run = RunHandOver(Receiver(), c.scenario);
    EXPECT_EQ(run.sender["code"], "0") << c.scenario;
    EXPECT_EQ(run.wire["list"], c.list) << c.scenario;
    EXPECT_EQ(run.wire["hex"].size(), c.hexLength) << c.scenario;
    EXPECT_EQ(run.receiver["code"], "0") << c.scenario;
    EXPECT_EQ(run.receiver["payload"], "<<__defAult_sectIonNAMEbyBrumel=>>;v=" + std::string(c.valueLength, 'x') + ";")
        << c.scenario;
  }
}

TEST(RunParamHandOver, EmptyStoreGives3101) {
  HandOver run = RunHandOver(Receiver(), "empty");
  EXPECT_EQ(run.sender["code"], "0");
  EXPECT_EQ(run.wire["list"], "");
  EXPECT_EQ(run.receiver["code"], "3101");
}

TEST(RunParamHandOver, ProgramPathWithoutBackslash) {
  HandOver run = RunHandOver("runparam_receiver.exe", "one");
  EXPECT_EQ(run.sender["code"], "0");
  EXPECT_EQ(run.receiver["code"], "0");
  EXPECT_EQ(run.receiver["payload"], "<<__defAult_sectIonNAMEbyBrumel=>>;RunMode=a%3db%3bc%25d <x>|y;");
}

TEST(RunParamHandOver, QuotedProgramPathStartsOrReports5110) {
  HandOver run = RunHandOver("\"" + Receiver() + "\"", "one");
  if (run.sender["code"] == "5110") {
    EXPECT_TRUE(run.receiver.empty());
  } else {
    EXPECT_EQ(run.sender["code"], "0");
    EXPECT_EQ(run.receiver["code"], "0");
    EXPECT_EQ(Lower(run.receiver["directory"] + "\\"), Lower(zktest::ProgramFolder()));
  }
  EXPECT_EQ(run.sender["runenv_after"], "0");
}

TEST(RunParamHandOver, OlderSystemsLaunch) {
  HandOver run = RunHandOver(Receiver(), "winexec");
  EXPECT_EQ(run.sender["code"], "0");
  EXPECT_EQ(run.receiver["code"], "0");
  EXPECT_EQ(run.receiver["payload"], "<<__defAult_sectIonNAMEbyBrumel=>>;RunMode=a%3db%3bc%25d <x>|y;");
  EXPECT_EQ(Lower(run.receiver["directory"] + "\\"), Lower(zktest::ProgramFolder()));
}

TEST(RunParamHandOver, OlderSystemsLaunchGivesTheSenderItsFolderBack) {
  // WinExec starts the program in the sender's current folder, so the sender
  // enters the program's folder for the launch and must come back afterwards.
  char before[MAX_PATH] = {}, windows[MAX_PATH] = {}, after[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, before);
  GetWindowsDirectoryA(windows, MAX_PATH);
  ASSERT_TRUE(SetCurrentDirectoryA(windows));
  std::string report = zktest::ProgramFolder() + "runparam_receiver_sender_folder.txt";
  DeleteFileA(report.c_str());
  SetEnvironmentVariableA("ZKTEST_RUNPARAM_REPORT", report.c_str());

  int code = -1, launchResult = -1;
  {
    ScopedZKRunEnvCalls winExec;
    winExec.calls().launch = LaunchProgramWithWinExec;
    CZKRunParam param;
    param.SetValue("RunMode", "folder");
    code = param.Execute(Receiver().c_str(), &launchResult, nullptr);
  }
  GetCurrentDirectoryA(MAX_PATH, after);
  SetCurrentDirectoryA(before);

  ASSERT_EQ(code, 0);
  EXPECT_GT(launchResult, 31);
  EXPECT_EQ(Lower(after), Lower(windows));
  EXPECT_TRUE(zktest::WaitForChildren()) << "the receiver did not end";
  Report receiver = ParseReport(zktest::ReadFileBytes(report));
  EXPECT_EQ(receiver["code"], "0");
  EXPECT_EQ(Lower(receiver["directory"] + "\\"), Lower(zktest::ProgramFolder()));
}

TEST(RunParamHandOver, MissingProgramReports5110) {
  HandOver run = RunHandOver(zktest::ProgramFolder() + "no_such_program.exe", "one");
  EXPECT_EQ(run.sender["code"], "5110");
  EXPECT_EQ(run.sender["runenv_after"], "0");
}

TEST(RunParamHandOver, CompleteLoadClearsTheClipboardFormat) {
  ASSERT_EQ(zktest::RunPeer("cliptool.exe set-format Corvalise_ClipFormat 0011|2233"), 0);
  ASSERT_EQ(zktest::RunPeer("cliptool.exe has-format Corvalise_ClipFormat"), 0);
  ASSERT_EQ(zktest::RunPeer("cliptool.exe set-format Corvalise_ClipFormat 0011|2233"), 0);
  HandOver run = RunHandOver(Receiver(), "one");
  EXPECT_EQ(run.receiver["code"], "0");
  // The format's data is dropped; the system may go on listing the format itself.
  EXPECT_FALSE(zktest::ClipFormatHasData());

  // A load that fails leaves it.
  ASSERT_EQ(zktest::RunPeer("cliptool.exe set-format Corvalise_ClipFormat 0011|2233"), 0);
  run = RunHandOver(Receiver(), "empty");
  EXPECT_EQ(run.receiver["code"], "3101");
  EXPECT_EQ(zktest::RunPeer("cliptool.exe has-format Corvalise_ClipFormat"), 0);
  EXPECT_TRUE(zktest::ClipFormatHasData());
  zktest::RunPeer("cliptool.exe empty");
}

}  // namespace
