// Tests of the skin controls under Wine: window shapes from bitmaps,
// transparent drawing, the strip button's frames and the dialog rescaling.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "updatewizard/skinbitmap.h"
#include "updatewizard/skinbutton.h"
#include "updatewizard/skinregion.h"
#include "updatewizard/skinreposition.h"

namespace {

const COLORREF kMagenta = RGB(255, 0, 255);
const COLORREF kGreen = RGB(0, 200, 0);
const COLORREF kInk = RGB(10, 20, 30);
const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kRed = RGB(255, 0, 0);

// Colour of one picture letter: K magenta, B blue, R red, anything else kInk.
COLORREF LetterColour(char letter) {
  switch (letter) {
    case 'K':
      return kMagenta;
    case 'B':
      return kBlue;
    case 'R':
      return kRed;
    default:
      return kInk;
  }
}

// A bitmap drawn from rows of picture letters.
void MakePicture(CBitmap& bitmap, const std::vector<std::string>& rows) {
  HDC screen = GetDC(nullptr);
  int width = static_cast<int>(rows[0].size()), height = static_cast<int>(rows.size());
  ASSERT_TRUE(bitmap.CreateCompatibleBitmap(screen, width, height));
  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(screen));
  ReleaseDC(nullptr, screen);
  HBITMAP old = dc.SelectObject(bitmap);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) SetPixel(dc, x, y, LetterColour(rows[y][x]));
  dc.SelectObject(old);
}

// A plain top-level window for shapes and as parent of buttons.
HWND MakeWindow(int width, int height) {
  return CreateWindowExA(0, "STATIC", "", WS_POPUP, 10, 10, width, height, nullptr, nullptr, nullptr,
                         nullptr);
}

// Shapes a window after the picture; the kind of its region (ERROR when it
// got none), with the region copied into shape.
int ShapeOf(const std::vector<std::string>& rows, DWORD key, HRGN shape) {
  HWND window = MakeWindow(40, 40);
  CMyBitmap bitmap;
  MakePicture(bitmap, rows);
  CHTransRegion region;
  EXPECT_TRUE(region.SetRegionFromBitmap(bitmap, window, key, bitmap));
  int kind = GetWindowRgn(window, shape);
  DestroyWindow(window);
  return kind;
}

TEST(SkinRegionTest, KeyPixelsAreCutAway) {
  struct Case {
    const char* name;
    std::vector<std::string> rows;
    DWORD key;
  } cases[] = {
      {"mixed rows", {"K..K.", "KKKKK", ".K.K.", "..KK."}, 0xFF00FF},
      {"runs reaching the right edge", {"KK...", "....."}, 0xFF00FF},
      {"two columns", {"K.", ".K"}, 0xFF00FF},
      // The key is read red-high: 0x0000FF is blue, whatever COLORREF says.
      {"red in the high byte", {"BR.B", "RBBR"}, 0x0000FF},
  };
  for (const Case& c : cases) {
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, ShapeOf(c.rows, c.key, shape)) << c.name;
    char key_letter = c.key == 0xFF00FF ? 'K' : 'B';
    for (size_t y = 0; y < c.rows.size(); ++y)
      for (size_t x = 0; x < c.rows[y].size(); ++x)
        EXPECT_EQ(c.rows[y][x] != key_letter, PtInRegion(shape, static_cast<int>(x), static_cast<int>(y)) != 0)
            << c.name << " at " << x << "," << y;
    RECT box;
    GetRgnBox(shape, &box);
    EXPECT_LE(box.right, static_cast<LONG>(c.rows[0].size())) << c.name << ": never beyond the right edge";
    EXPECT_LE(box.bottom, static_cast<LONG>(c.rows.size())) << c.name;
    DeleteObject(shape);
  }
}

TEST(SkinRegionTest, RunToTheLastColumnEndsAtTheWidth) {
  HRGN shape = CreateRectRgn(0, 0, 0, 0);
  ASSERT_EQ(SIMPLEREGION, ShapeOf({"KK...", "KKKKK"}, 0xFF00FF, shape));
  RECT box;
  GetRgnBox(shape, &box);
  EXPECT_EQ(2, box.left);
  EXPECT_EQ(5, box.right);
  EXPECT_EQ(0, box.top);
  EXPECT_EQ(1, box.bottom);
  DeleteObject(shape);
}

TEST(SkinRegionTest, AllKeyGivesAnEmptyShape) {
  HRGN shape = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(NULLREGION, ShapeOf({"KKK", "KKK"}, 0xFF00FF, shape));
  DeleteObject(shape);
}

TEST(SkinRegionTest, RefusesWhatItCannotShape) {
  HWND window = MakeWindow(40, 40);
  CMyBitmap narrow, picture, empty;
  MakePicture(narrow, {".", "."});
  MakePicture(picture, {"..", ".."});
  CHTransRegion region;
  EXPECT_FALSE(region.SetRegionFromBitmap(narrow, window, 0xFF00FF, narrow)) << "one pixel wide";
  EXPECT_FALSE(region.SetRegionFromBitmap(nullptr, window, 0xFF00FF, empty)) << "no bitmap";
  EXPECT_FALSE(region.BuildRegion(picture, nullptr, 0xFF00FF, 2, 1)) << "no window";
  EXPECT_FALSE(region.BuildRegion(picture, window, 0xFF00FF, 0, 1)) << "no rows";
  EXPECT_FALSE(region.BuildRegion(nullptr, window, 0xFF00FF, 2, 1)) << "no bitmap handle";
  HRGN shape = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(ERROR, GetWindowRgn(window, shape)) << "the window kept no region";
  DeleteObject(shape);
  DestroyWindow(window);
}

// A memory target of 8 x 4 green pixels.
struct Target {
  Target() {
    HDC screen = GetDC(nullptr);
    dc.CreateCompatibleDC(screen);
    bitmap.CreateCompatibleBitmap(screen, 8, 4);
    ReleaseDC(nullptr, screen);
    old = dc.SelectObject(bitmap);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 8; ++x) SetPixel(dc, x, y, kGreen);
  }
  ~Target() { dc.SelectObject(old); }
  CDC dc;
  CBitmap bitmap;
  HBITMAP old;
};

TEST(SkinBitmapTest, DrawsAllButTheKeyColour) {
  struct Case {
    const char* name;
    int width, height, source_x, source_y;
    std::vector<std::string> expected;  // G: green left as it was
  } cases[] = {
      {"whole bitmap for size 0", 0, 0, 0, 0, {"GGGGGGGG", "GG.G.GGG", "GGG..GGG", "GGGGGGGG"}},
      {"width 0 alone", 0, 3, 0, 0, {"GGGGGGGG", "GG.G.GGG", "GGG..GGG", "GGGGGGGG"}},
      {"part from a source offset", 2, 1, 1, 1, {"GGGGGGGG", "GG..GGGG", "GGGGGGGG", "GGGGGGGG"}},
  };
  for (const Case& c : cases) {
    CMyBitmap source;
    MakePicture(source, {".K.K", "K..K"});
    Target target;
    ASSERT_TRUE(source.DrawTransparent(target.dc, 2, 1, c.width, c.height, c.source_x, c.source_y, kMagenta));
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 8; ++x)
        EXPECT_EQ(c.expected[y][x] == 'G' ? kGreen : kInk, target.dc.GetPixel(x, y)) << c.name << " at " << x << "," << y;
    EXPECT_EQ(RGB(255, 255, 255), GetBkColor(target.dc)) << c.name;
    EXPECT_EQ(RGB(0, 0, 0), GetTextColor(target.dc)) << c.name;
  }
  CMyBitmap none;
  Target target;
  EXPECT_FALSE(none.DrawTransparent(target.dc, 0, 0, 0, 0, 0, 0, kMagenta));
}

// The strip button on a window, with the strip's own frames to compare with.
class SkinButtonTest : public ::testing::Test {
 protected:
  static const UINT kStrip = 136;
  static const int kId = 7;

  void SetUp() override {
    parent_ = MakeWindow(200, 100);
    ASSERT_TRUE(reference_.LoadBitmap(kStrip));
    BITMAP header;
    reference_.GetBitmap(&header);
    frame_height_ = header.bmHeight / 4;
    strip_width_ = header.bmWidth;
  }
  void TearDown() override { DestroyWindow(parent_); }

  void Make(DWORD style) {
    RECT rect = {10, 10, 30, 20};
    parent_wnd_.m_hWnd = parent_;
    ASSERT_TRUE(button_.Create("b", WS_CHILD | WS_VISIBLE | style, rect, &parent_wnd_, kId));
  }
  // The colour of a frame of the strip resource at (4, 4) of the frame.
  COLORREF StripColour(int frame) {
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    HBITMAP old = dc.SelectObject(reference_);
    COLORREF colour = dc.GetPixel(4, 4 + frame * frame_height_);
    dc.SelectObject(old);
    return colour;
  }
  // The frame the button draws now, found by its colour; -1 for none.
  int DrawnFrame() {
    CDC dc;
    HDC screen = GetDC(nullptr);
    dc.CreateCompatibleDC(screen);
    CBitmap canvas;
    canvas.CreateCompatibleBitmap(screen, strip_width_, frame_height_);
    ReleaseDC(nullptr, screen);
    HBITMAP old = dc.SelectObject(canvas);
    SetPixel(dc, 4, 4, kGreen);
    button_.DrawButton(dc);
    COLORREF drawn = dc.GetPixel(4, 4);
    dc.SelectObject(old);
    for (int frame = 0; frame < 4; ++frame)
      if (StripColour(frame) == drawn) return frame;
    return -1;
  }
  void Mouse(UINT message, int x, int y) { SendMessageA(button_.m_hWnd, message, 0, MAKELPARAM(x, y)); }
  // The click WM_COMMANDs posted to the parent since the last call.
  int Clicks() {
    int clicks = 0;
    MSG message;
    while (PeekMessageA(&message, parent_, WM_COMMAND, WM_COMMAND, PM_REMOVE)) {
      EXPECT_EQ(MAKEWPARAM(kId, BN_CLICKED), message.wParam);
      EXPECT_EQ(reinterpret_cast<LPARAM>(button_.m_hWnd), message.lParam);
      ++clicks;
    }
    return clicks;
  }

  HWND parent_ = nullptr;
  CWnd parent_wnd_;
  CMyButton button_;
  CBitmap reference_;
  int frame_height_ = 0;
  int strip_width_ = 0;
};

TEST_F(SkinButtonTest, StripSizesTheButtonToOneFrame) {
  Make(BS_PUSHBUTTON);
  for (int frame = 0; frame < 4; ++frame)
    for (int other = frame + 1; other < 4; ++other) ASSERT_NE(StripColour(frame), StripColour(other));
  EXPECT_TRUE(button_.SetBitmap(kStrip, 4));
  RECT rect;
  GetWindowRect(button_.m_hWnd, &rect);
  EXPECT_EQ(strip_width_, rect.right - rect.left);
  EXPECT_EQ(frame_height_, rect.bottom - rect.top);
  EXPECT_EQ(frame_height_ * 3, button_.GetFrame(3).y);
  EXPECT_FALSE(button_.IsCheckStyle());
  button_.SetBitmapAndMove(50, 40, kStrip, 4);
  GetWindowRect(button_.m_hWnd, &rect);
  MapWindowPoints(HWND_DESKTOP, parent_, reinterpret_cast<POINT*>(&rect), 2);
  EXPECT_EQ(50, rect.left);
  EXPECT_EQ(40, rect.top);
  EXPECT_EQ(strip_width_, rect.right - rect.left);
}

TEST_F(SkinButtonTest, FramesFollowTheMouse) {
  Make(BS_PUSHBUTTON);
  button_.SetBitmap(kStrip, 4);
  struct Step {
    const char* what;
    UINT message;
    int x, y;
    int state, frame, clicks;
  } steps[] = {
      {"enter", WM_MOUSEMOVE, 5, 5, CMyButton::kStateHover, 1, 0},
      {"press", WM_LBUTTONDOWN, 5, 5, CMyButton::kStatePressed, 2, 0},
      {"leave pressed", WM_MOUSEMOVE, 500, 5, CMyButton::kStateHover, 1, 0},
      {"come back pressed", WM_MOUSEMOVE, 6, 6, CMyButton::kStatePressed, 2, 0},
      {"release inside", WM_LBUTTONUP, 6, 6, CMyButton::kStateNormal, 0, 1},
      {"enter again", WM_MOUSEMOVE, 5, 5, CMyButton::kStateHover, 1, 0},
      {"press again", WM_LBUTTONDOWN, 5, 5, CMyButton::kStatePressed, 2, 0},
      {"drag out", WM_MOUSEMOVE, -3, 5, CMyButton::kStateHover, 1, 0},
      {"release outside", WM_LBUTTONUP, -3, 5, CMyButton::kStateNormal, 0, 0},
      {"hover", WM_MOUSEMOVE, 5, 5, CMyButton::kStateHover, 1, 0},
      {"leave unpressed", WM_MOUSEMOVE, 5, 500, CMyButton::kStateNormal, 0, 0},
      {"right button ignored", WM_RBUTTONDOWN, 5, 5, CMyButton::kStateNormal, 0, 0},
      {"double click ignored", WM_LBUTTONDBLCLK, 5, 5, CMyButton::kStateNormal, 0, 0},
  };
  EXPECT_EQ(0, DrawnFrame());
  for (const Step& s : steps) {
    Mouse(s.message, s.x, s.y);
    EXPECT_EQ(s.state, button_.GetState()) << s.what;
    EXPECT_EQ(s.frame, DrawnFrame()) << s.what;
    EXPECT_EQ(s.clicks, Clicks()) << s.what;
  }
  EXPECT_EQ(nullptr, GetCapture()) << "the capture is let go when the mouse leaves";
}

TEST_F(SkinButtonTest, DisabledShowsItsFrameAndIgnoresTheMouse) {
  Make(BS_PUSHBUTTON);
  button_.SetBitmap(kStrip, 4);
  Mouse(WM_MOUSEMOVE, 5, 5);
  Mouse(WM_LBUTTONDOWN, 5, 5);
  EXPECT_TRUE(button_.EnableButton(FALSE));
  EXPECT_EQ(CMyButton::kStateNormal, button_.GetState());
  EXPECT_EQ(3, DrawnFrame());
  Mouse(WM_LBUTTONUP, 5, 5);
  EXPECT_EQ(0, Clicks());
  EXPECT_FALSE(button_.SetBitmap(kStrip, 4)) << "the result is the enabled state";
  button_.EnableButton(TRUE);
  EXPECT_EQ(0, DrawnFrame());
}

TEST_F(SkinButtonTest, CheckBoxFlipsOnClick) {
  Make(BS_AUTOCHECKBOX);
  button_.SetBitmap(kStrip, 4);
  EXPECT_TRUE(button_.IsCheckStyle());
  EXPECT_EQ(0, DrawnFrame());
  Mouse(WM_MOUSEMOVE, 5, 5);
  Mouse(WM_LBUTTONDOWN, 5, 5);
  Mouse(WM_LBUTTONUP, 5, 5);
  EXPECT_EQ(1, Clicks());
  EXPECT_EQ(1, button_.GetCheck());
  EXPECT_EQ(1, DrawnFrame());
  button_.EnableButton(FALSE);
  EXPECT_EQ(3, DrawnFrame());
}

TEST_F(SkinButtonTest, BadFrameCountsOrResourcesDrawNothing) {
  Make(BS_PUSHBUTTON);
  for (int count : {0, 5, -1}) {
    button_.SetBitmap(kStrip, count);
    EXPECT_EQ(-1, DrawnFrame()) << count;
  }
  button_.SetBitmap(4242, 4);
  EXPECT_EQ(-1, DrawnFrame());
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

TEST(SkinRepositionWinTest, DialogKeepsItsDesignedPixelSize) {
  HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(102), nullptr, &PlainDialogProc, 0);
  ASSERT_NE(nullptr, dialog);
  CDialogCtrlReposition().RepositionDialog(dialog, TRUE);
  RECT client, button;
  GetClientRect(dialog, &client);
  GetWindowRect(GetDlgItem(dialog, IDCANCEL), &button);
  MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&button), 2);
  // 161 x 96 units at 1.75 x 1.5 pixels each; the button at 106, 73, 50 x 14.
  EXPECT_NEAR(161 * 1.75, client.right, 2.5);
  EXPECT_NEAR(96 * 1.5, client.bottom, 2.5);
  EXPECT_NEAR(106 * 1.75, button.left, 2.5);
  EXPECT_NEAR(73 * 1.5, button.top, 2.5);
  EXPECT_NEAR(50 * 1.75, button.right - button.left, 2.5);
  DestroyWindow(dialog);
}

}  // namespace
