// Checks the test peers themselves: the clipboard tool, the box watcher and
// the wait for the processes that a test started.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/peer.h"

namespace {

TEST(ClipboardTool, SetsReadsAndEmptiesText) {
  ASSERT_EQ(zktest::RunPeer("cliptool.exe set-text hello"), 0);
  EXPECT_EQ(zktest::ClipboardHex(), "68656c6c6f");
  ASSERT_EQ(zktest::RunPeer("cliptool.exe set-hex \"\""), 0);
  EXPECT_EQ(zktest::ClipboardHex(), "");
  ASSERT_EQ(zktest::RunPeer("cliptool.exe empty"), 0);
  EXPECT_EQ(zktest::RunPeer("cliptool.exe get"), 1);
}

TEST(ClipboardTool, RegisteredFormat) {
  ASSERT_EQ(zktest::RunPeer("cliptool.exe set-format Test_ClipFormat abc"), 0);
  EXPECT_EQ(zktest::RunPeer("cliptool.exe has-format Test_ClipFormat"), 0);
  EXPECT_EQ(zktest::RunPeer("cliptool.exe get"), 1);
  ASSERT_EQ(zktest::RunPeer("cliptool.exe empty"), 0);
  EXPECT_EQ(zktest::RunPeer("cliptool.exe has-format Test_ClipFormat"), 1);
}

TEST(BoxWatcher, RecordsCaptionTextAndDismisses) {
  zktest::BoxWatch watch(1);
  // The watcher is not one of the programs that a test waits for.
  EXPECT_TRUE(zktest::WaitForChildren(10000));
  int result = MessageBoxW(nullptr, L"\xC5D0\xB7EC text", L"Caption", MB_ICONERROR | MB_SETFOREGROUND);
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(watch.Wait(), "CAPTION:Caption\nTEXT:\xEC\x97\x90\xEB\x9F\xAC text\n");
}

// A peer that starts a writer and ends at once leaves the writer running: the
// file it writes exists long before it is whole.
TEST(WaitForChildren, WaitsForAGrandchildToFinishWriting) {
  const std::string file = zktest::ProgramFolder() + "waitforchildren.txt";
  DeleteFileA(file.c_str());
  ASSERT_EQ(zktest::RunPeer("cmd.exe /c start \"\" /b cmd.exe /c \"for /l %i in (1,1,3000) do @echo line %i\" > \"" +
                            file + "\""),
            0);
  ASSERT_TRUE(zktest::WaitForChildren());
  std::string text = zktest::ReadFileBytes(file);
  EXPECT_NE(text.find("line 3000"), std::string::npos) << text.size() << " bytes";
  DeleteFileA(file.c_str());
}

// A case fails on the programs that it left running, by their names.
TEST(WaitForChildren, EndsAndNamesTheChildrenStillRunningAtTheTimeOut) {
  ASSERT_EQ(zktest::RunPeer("cmd.exe /c start \"\" /b cmd.exe /c \"for /l %i in (1,1,100000000) do @rem\""), 0);
  const ::testing::AssertionResult ended = zktest::ProgramsEnded(200);
  EXPECT_FALSE(ended);
  EXPECT_NE(std::string(ended.message()).find("cmd.exe"), std::string::npos) << ended.message();
  EXPECT_TRUE(zktest::WaitForChildren(1000));
}

}  // namespace
