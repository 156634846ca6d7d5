// Checks the test peers themselves: the clipboard tool and the box watcher.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/tools/peer.h"

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
  int result = MessageBoxW(nullptr, L"\xC5D0\xB7EC text", L"Caption", MB_ICONERROR | MB_SETFOREGROUND);
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(watch.Wait(), "CAPTION:Caption\nTEXT:\xEC\x97\x90\xEB\x9F\xAC text\n");
}

}  // namespace
