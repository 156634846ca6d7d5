// Tests of the starter's error boxes: real boxes read by the box watcher, and
// the owner and style through the message-box seam.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "framework/winapp.h"
#include "starter/errormessages.h"
#include "starter/resource_ids.h"
#include "tests/support/peer.h"
#include "tests/support/starter_texts.h"

namespace {

// The string table's texts, byte for byte (UTF-8), and the boxes' records.
struct MessageCase {
  unsigned id;
  const char* text;
};

const MessageCase kMessages[] = {
    {IDS_ERROR_CAPTION, startertexts::kCaption},
    {IDS_ALREADY_RUNNING, startertexts::kAlreadyRunning},
    {IDS_NO_CLIPBOARD_TEXT, startertexts::kStartFailed},
    {IDS_MISSING_COMMAND_LINE_VALUE, startertexts::kNotFromTheHomePage},
    {IDS_RESTORE_FAILED, startertexts::kRestoreFailed},
    {IDS_DECRYPT_FAILED, startertexts::kStartFailed},
    {IDS_STARTER_UPDATE_FAILED, startertexts::kUpdateFailed},
    {IDS_WIZARD_UPDATE_FAILED, startertexts::kWizardUpdateFailed},
};

std::string Utf8(const CString& text) {
  int n = WideCharToMultiByte(CP_UTF8, 0, text.GetString(), text.GetLength(), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.GetString(), text.GetLength(), &out[0], n, nullptr, nullptr);
  return out;
}

TEST(LoadMessageTextTest, StringTableHoldsTheTexts) {
  AfxSetResourceHandle(GetModuleHandleW(nullptr));
  for (const MessageCase& c : kMessages) {
    CString text;
    EXPECT_TRUE(LoadMessageText(text, c.id)) << c.id;
    EXPECT_EQ(c.text, Utf8(text)) << c.id;
  }
  CString kept(L"kept");
  EXPECT_FALSE(LoadMessageText(kept, 57407));
  EXPECT_EQ(L"kept", kept.Str());
}

TEST(ShowErrorMessageTest, BoxShowsCaptionAndText) {
  AfxSetResourceHandle(GetModuleHandleW(nullptr));
  zktest::BoxWatch watch(3);
  ShowErrorMessage(IDS_WIZARD_UPDATE_FAILED);
  ShowErrorMessage(IDS_ALREADY_RUNNING);
  ShowErrorMessage(57407);  // no such string: empty text
  EXPECT_EQ(std::string("CAPTION:에러\nTEXT:") + kMessages[7].text + "\n" +
                "CAPTION:에러\nTEXT:" + kMessages[1].text + "\n" +
                "CAPTION:에러\nTEXT:\n",
            watch.Wait());
}

TEST(ShowErrorMessageTest, MissingCaptionStringGivesZKStarter) {
  HMODULE module = LoadLibraryA((zktest::ProgramFolder() + "starter_messages_nocaption.dll").c_str());
  ASSERT_NE(nullptr, module);
  AfxSetResourceHandle(module);
  zktest::BoxWatch watch(1);
  ShowErrorMessage(IDS_DECRYPT_FAILED);
  EXPECT_EQ(std::string("CAPTION:ZKStarter\nTEXT:") + kMessages[5].text + "\n", watch.Wait());
  AfxSetResourceHandle(GetModuleHandleW(nullptr));
  FreeLibrary(module);
}

struct SeenBox {
  void* owner;
  std::wstring text, caption;
  unsigned style;
  int calls;
} g_seen;

int RecordBox(void* owner, const wchar_t* text, const wchar_t* caption, unsigned style) {
  g_seen = {owner, text, caption, style, g_seen.calls + 1};
  return IDCANCEL;
}

TEST(ShowErrorTextTest, StyleOwnerAndDefaultCaption) {
  ScopedStarterMessageCalls boxes({RecordBox});
  g_seen = {};
  EXPECT_EQ(IDCANCEL, ShowErrorText(L"", L"t"));
  EXPECT_EQ(0x10010u, g_seen.style);
  EXPECT_EQ(nullptr, g_seen.owner);
  EXPECT_EQ(L"ZKStarter", g_seen.caption);
  ShowErrorText(nullptr, nullptr);
  EXPECT_EQ(L"ZKStarter", g_seen.caption);
  EXPECT_EQ(L"", g_seen.text);
  {
    // With a framework main window, the box belongs to it.
    CWinApp app;
    CWnd window(reinterpret_cast<HWND>(0x1234));  // borrowed, never used as a window
    app.m_pMainWnd = &window;
    ShowErrorText(L"c", L"t");
    EXPECT_EQ(reinterpret_cast<void*>(0x1234), g_seen.owner);
    EXPECT_EQ(L"c", g_seen.caption);
    app.m_pMainWnd = nullptr;
  }
  EXPECT_EQ(3, g_seen.calls);
}

}  // namespace
