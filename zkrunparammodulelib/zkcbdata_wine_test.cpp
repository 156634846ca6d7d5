// The clipboard reader on the real clipboard, filled by another process (the clipboard tool).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/support/peer.h"
#include "zkrunparammodulelib/zkcbdata.h"

namespace {

// "trailing   " and "GameID=7|Server=alpha" under the key text "passphrase"
// (made with OpenSSL as told in zkcbdata_test.cpp).
const char kText[] = "9ee5086901fa826449c3d95472a9e666|"
                     "2214bc563fcc5347f288ef6675f97a315d4c5a12c44ef80b46a99910059f8ece";
const char kPlain[] = "trailingGameID=7|Server=alpha";

int PutOnClipboard(const std::string& text) {
  return zktest::RunPeer("cliptool.exe set-format Corvalise_ClipFormat \"" + text + "\"");
}

// Whether a reader would still get data in the format (the system may go on listing the format itself).
bool FormatHasData() {
  for (int attempt = 0; attempt < 100 && !OpenClipboard(nullptr); ++attempt) Sleep(20);
  HANDLE data = GetClipboardData(RegisterClipboardFormatA(ZK_CBDATA_CLIP_FORMAT));
  CloseClipboard();
  return data != nullptr;
}

class ReadCBDataOnWine : public ::testing::Test {
 protected:
  void TearDown() override { zktest::RunPeer("cliptool.exe empty"); }
};

TEST_F(ReadCBDataOnWine, KeepsTheDataUnlessAskedToClear) {
  ASSERT_EQ(PutOnClipboard(kText), 0);
  char out[64] = {};
  ASSERT_TRUE(ReadCBData(out, sizeof out, "passphrase", false));
  EXPECT_STREQ(out, kPlain);
  EXPECT_TRUE(FormatHasData());

  char again[64] = {};
  ASSERT_EQ(ReadCBDataEx(again, sizeof again, "passphrase", true), 0);
  EXPECT_STREQ(again, kPlain);
  EXPECT_FALSE(FormatHasData());
  EXPECT_EQ(ReadCBDataEx(again, sizeof again, "passphrase", true), 2006);
}

TEST_F(ReadCBDataOnWine, FailedReadLeavesTheClipboardAndOpensAgain) {
  std::string bad = std::string(kText) + "|";
  ASSERT_EQ(PutOnClipboard(bad), 0);
  char out[64] = "untouched";
  EXPECT_EQ(ReadCBDataEx(out, sizeof out, "passphrase", true), 2);
  EXPECT_STREQ(out, "untouched");
  EXPECT_TRUE(FormatHasData());

  ASSERT_EQ(PutOnClipboard(kText), 0);
  EXPECT_EQ(ReadCBDataEx(out, 8, "passphrase", true), 4);  // 29 characters do not fit 8 bytes
  EXPECT_STREQ(out, "untouched");
  EXPECT_TRUE(FormatHasData());
  // The reader closed the clipboard on its failing paths: another process can still write.
  EXPECT_EQ(zktest::RunPeer("cliptool.exe has-format Corvalise_ClipFormat"), 0);
  EXPECT_EQ(PutOnClipboard(kText), 0);
}

TEST_F(ReadCBDataOnWine, NothingInTheFormat) {
  ASSERT_EQ(zktest::RunPeer("cliptool.exe empty"), 0);
  char out[16];
  EXPECT_EQ(ReadCBDataEx(out, sizeof out, "passphrase", false), 2006);
  EXPECT_FALSE(ReadCBData(out, sizeof out, "passphrase", false));
}

}  // namespace
