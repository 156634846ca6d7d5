// Tests of the starter's clipboard intake (real clipboard, set by cliptool)
// and of the decryption of the clipboard text.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "starter/errormessages.h"
#include "starter/intake.h"
#include "tests/support/peer.h"

namespace {

void SetClipboard(const std::string& cliptool_arguments) {
  ASSERT_EQ(0, zktest::RunPeer("cliptool.exe " + cliptool_arguments)) << cliptool_arguments;
}

TEST(ReadClipboardTextTest, ReadsTextOrReportsNone) {
  struct Case {
    const char* arguments;
    bool read;
    const wchar_t* text;
  } cases[] = {
      {"set-text 0a1b2c", true, L"0a1b2c"},
      {"set-hex b0a1b3aa41", true, L"\xac00\xb098" L"A"},  // code page 949 text
      {"set-hex \"\"", true, L""},
      {"empty", false, L"unchanged"},
      {"set-format Other_ClipFormat abc", false, L"unchanged"},
  };
  for (const Case& c : cases) {
    SetClipboard(c.arguments);
    CString text(L"unchanged");
    EXPECT_EQ(c.read, ReadClipboardText(text)) << c.arguments;
    EXPECT_EQ(c.text, text.Str()) << c.arguments;
  }
}

// Puts a CF_TEXT block of exactly these bytes on the clipboard, NUL or not.
void SetRawClipboardText(const std::string& bytes) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  ASSERT_NE(nullptr, block);
  memcpy(GlobalLock(block), bytes.data(), bytes.size());
  GlobalUnlock(block);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(CF_TEXT, block);
  CloseClipboard();
}

TEST(ReadClipboardTextTest, StopsAtTheNulOrTheEndOfTheBlock) {
  SetRawClipboardText(std::string("ab\0cd", 5));
  CString text;
  ASSERT_TRUE(ReadClipboardText(text));
  EXPECT_EQ(L"ab", text.Str());
  // A block without NUL: the copy ends with the block (the system may have
  // put a NUL into the block's last byte on its way).
  SetRawClipboardText(std::string(64, 'f'));
  ASSERT_TRUE(ReadClipboardText(text));
  EXPECT_EQ(std::wstring(static_cast<size_t>(text.GetLength()), L'f'), text.Str());
  EXPECT_GE(text.GetLength(), 63);
  EXPECT_LE(text.GetLength(), 64);
}

struct Hold {
  HANDLE opened, release;
};

// Keeps the clipboard open for a window of this thread until told to let go.
DWORD WINAPI HoldClipboard(LPVOID parameter) {
  auto* hold = static_cast<Hold*>(parameter);
  HWND window = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  OpenClipboard(window);
  SetEvent(hold->opened);
  WaitForSingleObject(hold->release, 10000);
  CloseClipboard();
  DestroyWindow(window);
  return 0;
}

// While another window holds the clipboard open, no text can be read: false.
TEST(ReadClipboardTextTest, ClipboardHeldByAnotherWindowIsNoText) {
  SetClipboard("set-text abc");
  HANDLE opened = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  Hold hold{opened, release};
  HANDLE holder = CreateThread(nullptr, 0, HoldClipboard, &hold, 0, nullptr);
  WaitForSingleObject(opened, 10000);
  CString text(L"unchanged");
  EXPECT_FALSE(ReadClipboardText(text));
  EXPECT_EQ(L"unchanged", text.Str());
  SetEvent(release);
  WaitForSingleObject(holder, 10000);
  CloseHandle(holder);
  CloseHandle(opened);
  CloseHandle(release);
  EXPECT_TRUE(ReadClipboardText(text));
  EXPECT_EQ(L"abc", text.Str());
}

TEST(ClearClipboardTest, EmptiesOnlyAClipboardWithText) {
  SetClipboard("set-text abc");
  ClearClipboard();
  EXPECT_EQ("<none>", zktest::ClipboardHex());
  // Without CF_TEXT the clipboard stays as it is.
  SetClipboard("set-format Other_ClipFormat abc");
  ClearClipboard();
  EXPECT_EQ(0, zktest::RunPeer("cliptool.exe has-format Other_ClipFormat"));
  SetClipboard("empty");
  ClearClipboard();
}

std::vector<std::wstring> g_boxes;

int RecordBox(void*, const wchar_t* text, const wchar_t* caption, unsigned) {
  g_boxes.push_back(std::wstring(caption) + L"|" + text);
  return IDOK;
}

class DecryptParameterTextTest : public ::testing::Test {
 protected:
  void SetUp() override { g_boxes.clear(); }
  ScopedStarterMessageCalls boxes_{{RecordBox}};
};

// Made with: openssl enc -des-ede3-cbc -K <"pw7" padded with blanks to 24 bytes> -iv <its first 8 bytes>
const wchar_t kPairsCipher[] =
    L"b03b0c4f4b787d05c85c629145a1bf329b63cd49d26114ed79797f42ce26c6860a07d5bb57e1088f93e81286a60cd5395a76e62640d70640afe8ac5fa4fde0a2";
const wchar_t kKoreanCipher[] = L"462762b611c04372";  // 가="나" in code page 949

TEST_F(DecryptParameterTextTest, DecryptsWhatOpensslEncrypted) {
  CString text(kPairsCipher);
  ASSERT_TRUE(DecryptParameterText(text, L"pw7"));
  EXPECT_EQ(L"WizardVersion=\"1.0.0.3\",AvatarURL=\"http://a.test/x?y=1\",Key=\"k\"", text.Str());
  CString upper(kPairsCipher);
  upper.MakeUpper();
  ASSERT_TRUE(DecryptParameterText(upper, L"pw7"));
  EXPECT_EQ(text.Str(), upper.Str());
  CString korean(kKoreanCipher);
  ASSERT_TRUE(DecryptParameterText(korean, L"pw7"));
  EXPECT_EQ(L"\xac00=\"\xb098\"", korean.Str());
  CString empty;
  EXPECT_TRUE(DecryptParameterText(empty, L"pw7"));
  EXPECT_TRUE(empty.IsEmpty());
  EXPECT_TRUE(g_boxes.empty());
}

TEST_F(DecryptParameterTextTest, FailureShowsMessage57406AndEmptiesTheText) {
  const wchar_t* bad[][2] = {
      {kPairsCipher, L"wrong"},       // padding of the last block does not check out
      {L"b03b0c4f4b787d05c8", L"pw7"},  // not whole blocks
      {L"0123456789abcdef", L"\x01\x01\x01\x01\x01\x01\x01\x01"},  // weak first key
  };
  for (const auto& c : bad) {
    g_boxes.clear();
    CString text(c[0]);
    EXPECT_FALSE(DecryptParameterText(text, c[1])) << c[0] << " " << c[1];
    EXPECT_TRUE(text.IsEmpty());
    ASSERT_EQ(1u, g_boxes.size());
    EXPECT_EQ(L"에러|코르발 스타터 실행에 실패하였습니다. 다시 한 번 시도해주세요.", g_boxes[0]);
  }
}

}  // namespace
