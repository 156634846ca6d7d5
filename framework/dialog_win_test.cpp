// Tests of the framework's dialog, message hook and drawing classes under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "framework/dialog.h"
#include "framework/gdi.h"

namespace {

const UINT kTemplate = 200;
const int kEditId = 300;

// Runs one action on the dialog's thread once the modal loop is running.
std::function<void()> g_action;
VOID CALLBACK RunAction(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (g_action) std::exchange(g_action, nullptr)();
}

// Records what reached it and which control the exchange bound.
class TestDialog : public CDialog {
 public:
  TestDialog() : CDialog(kTemplate) {}
  CMsgWnd edit;
  int inits = 0;
  int oks = 0;

 protected:
  void DoDataExchange(CDataExchange* exchange) override { DDX_Control(exchange, kEditId, edit); }
  BOOL OnInitDialog() override {
    ++inits;
    CDialog::OnInitDialog();
    ::SetFocus(::GetDlgItem(m_hWnd, kEditId));
    return FALSE;
  }
  void OnOK() override {
    ++oks;
    CDialog::OnOK();
  }
};

INT_PTR RunWith(TestDialog& dialog, std::function<void(TestDialog&)> action) {
  g_action = [&dialog, action] { action(dialog); };
  SetTimer(nullptr, 0, 50, &RunAction);
  return dialog.DoModal();
}

TEST(FrameworkDialogTest, KeysEndThePlainDialog) {
  struct Case {
    WPARAM key;
    INT_PTR result;
    int oks;
  } cases[] = {{VK_ESCAPE, IDCANCEL, 0}, {VK_RETURN, IDOK, 1}};
  for (const Case& c : cases) {
    TestDialog dialog;
    INT_PTR result = RunWith(dialog, [&](TestDialog& d) {
      EXPECT_EQ(::GetDlgItem(d.m_hWnd, kEditId), d.edit.m_hWnd);
      ::PostMessageA(::GetDlgItem(d.m_hWnd, kEditId), WM_KEYDOWN, c.key, 0);
    });
    EXPECT_EQ(c.result, result) << c.key;
    EXPECT_EQ(1, dialog.inits);
    EXPECT_EQ(c.oks, dialog.oks);
    // The window and its controls are gone; the objects let go of them.
    EXPECT_EQ(nullptr, dialog.m_hWnd);
    EXPECT_EQ(nullptr, dialog.edit.m_hWnd);
  }
}

TEST(FrameworkDialogTest, EndDialogGivesItsCode) {
  TestDialog dialog;
  EXPECT_EQ(42, RunWith(dialog, [](TestDialog& d) { d.EndDialog(42); }));
  // A second run makes a new window from the template.
  EXPECT_EQ(7, RunWith(dialog, [](TestDialog& d) { d.EndDialog(7); }));
  EXPECT_EQ(2, dialog.inits);
}

TEST(FrameworkDialogTest, MissingTemplateGivesMinusOne) {
  CDialog dialog(4242);
  EXPECT_EQ(-1, dialog.DoModal());
}

// A subclassed window sees its messages first and can leave them to the old procedure.
class CountingWnd : public CMsgWnd {
 public:
  int texts = 0;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_SETTEXT) ++texts;
    if (message == WM_GETTEXTLENGTH) return 99;
    return CMsgWnd::WindowProc(message, wParam, lParam);
  }
};

TEST(FrameworkDialogTest, SubclassRoutesAndRestores) {
  HWND window = CreateWindowExA(0, "STATIC", "a", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(nullptr, window);
  {
    CountingWnd hooked;
    ASSERT_TRUE(hooked.SubclassWindow(window));
    EXPECT_FALSE(hooked.SubclassWindow(window));
    SetWindowTextA(window, "bc");
    EXPECT_EQ(1, hooked.texts);
    EXPECT_EQ(99, GetWindowTextLengthA(window));
    char text[8] = {};
    GetWindowTextA(window, text, sizeof(text));
    EXPECT_STREQ("bc", text);  // the old procedure still keeps the text
  }
  // The object is gone; the window has its own procedure back.
  EXPECT_EQ(2, GetWindowTextLengthA(window));
  DestroyWindow(window);
}

TEST(FrameworkGdiTest, BitmapOwnershipAndMemoryContext) {
  CDC screen_compatible;
  ASSERT_TRUE(screen_compatible.CreateCompatibleDC(nullptr));
  CBitmap bitmap;
  ASSERT_TRUE(bitmap.CreateBitmap(3, 2, 1, 32, nullptr));
  EXPECT_FALSE(bitmap.CreateBitmap(3, 2, 1, 32, nullptr));  // holds one already
  BITMAP header;
  ASSERT_NE(0, bitmap.GetBitmap(&header));
  EXPECT_EQ(3, header.bmWidth);
  CBitmap moved(std::move(bitmap));
  EXPECT_EQ(nullptr, bitmap.GetSafeHandle());
  EXPECT_EQ(0, bitmap.GetBitmap(&header));
  HBITMAP handle = moved;
  HBITMAP old = screen_compatible.SelectObject(moved);
  EXPECT_NE(nullptr, old);
  ::SetPixel(screen_compatible, 1, 1, RGB(1, 2, 3));
  EXPECT_EQ(RGB(1, 2, 3), screen_compatible.GetPixel(1, 1));
  screen_compatible.SelectObject(old);
  EXPECT_TRUE(moved.DeleteObject());
  EXPECT_EQ(0, GetObjectA(handle, sizeof(header), &header));  // really deleted
  EXPECT_FALSE(moved.LoadBitmap(4242));
}

}  // namespace
