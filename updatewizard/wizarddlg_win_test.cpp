// Tests of the wizard dialog under Wine with a fake worker: the worker's
// single start, the ends by 3125 and by Cancel, keys that do nothing, the
// window's shape, place and animation.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <utility>
#include <vector>

#include "tests/support/wizard_texts.h"
#include "updatewizard/wizarddlg.h"

namespace {

// What the fake worker does: counts its starts, waits for the test's signal
// when told to, then leaves its code, posts its flag and reports.
struct FakeWorker {
  std::atomic<int> starts{0};
  std::atomic<int> code{0};
  std::atomic<int> success{1};
  std::atomic<int> posted{-1};
  std::atomic<int> finished{0};
  HANDLE go = nullptr;  // NULL: report at once
  // Workers that dialogs started, and those that have reported (of every case).
  int launched = 0;
  std::atomic<int> ended{0};
} g_worker;

void RunFakeWorker(CZKUpdateHandBack& handBack) {
  ++g_worker.starts;
  if (g_worker.go) WaitForSingleObject(g_worker.go, 10000);
  handBack.SetResultCode(g_worker.code);
  const BOOL posted = handBack.PostUpdateDone(g_worker.success);
  // The dialog may end, and the next case begin, before the worker's thread
  // goes on after posting; it reports late on purpose, so that a case that
  // reads or resets the report without waiting for the worker fails.
  Sleep(100);
  g_worker.posted = posted;
  g_worker.finished = 1;
  ++g_worker.ended;
}

// Notes the worker that the dialog started, if it started one (after DoModal).
void NoteWorker(const CZKUpdateWizardDlg& dialog) {
  if (dialog.IsUpdateThreadStarted()) ++g_worker.launched;
}

// Waits until every worker that a dialog started has reported; false after 30 s.
bool WaitForWorkers() {
  for (int i = 0; i < 3000 && g_worker.ended < g_worker.launched; ++i) Sleep(10);
  return g_worker.ended == g_worker.launched;
}

void ResetWorker(int code, int success, bool wait) {
  // A worker of the previous case would otherwise report into this one's.
  EXPECT_TRUE(WaitForWorkers()) << "the previous case's worker did not end";
  g_worker.starts = 0;
  g_worker.code = code;
  g_worker.success = success;
  g_worker.posted = -1;
  g_worker.finished = 0;
  if (g_worker.go) CloseHandle(g_worker.go);
  g_worker.go = wait ? CreateEventA(nullptr, TRUE, FALSE, nullptr) : nullptr;
}

// Steps run one after another on the dialog's thread, each after its delay.
struct Step {
  UINT delay_ms;
  std::function<void()> action;
};
std::vector<Step> g_steps;
size_t g_next_step = 0;

VOID CALLBACK RunNextStep(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (g_next_step >= g_steps.size()) return;
  g_steps[g_next_step++].action();
  if (g_next_step < g_steps.size()) SetTimer(nullptr, 0, g_steps[g_next_step].delay_ms, &RunNextStep);
}

// Runs the dialog with the steps; a dialog still open 20 s on ends with -99.
CZKUpdateWizardDlg* g_running = nullptr;
VOID CALLBACK EndStuckDialog(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (g_running) g_running->EndDialog(-99);
}

INT_PTR RunDialog(CZKUpdateWizardDlg& dialog, std::vector<Step> steps) {
  g_steps = std::move(steps);
  g_next_step = 0;
  if (!g_steps.empty()) SetTimer(nullptr, 0, g_steps[0].delay_ms, &RunNextStep);
  g_running = &dialog;
  UINT_PTR guard = SetTimer(nullptr, 0, 20000, &EndStuckDialog);
  INT_PTR result = dialog.DoModal();
  KillTimer(nullptr, guard);
  g_running = nullptr;
  NoteWorker(dialog);
  return result;
}

// Clicks the Cancel button the way the mouse does.
void ClickCancel(CZKUpdateWizardDlg& dialog) {
  HWND button = GetDlgItem(dialog.m_hWnd, IDCANCEL);
  SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
}

TEST(WizardDialogTest, WorkerResultEndsTheDialog) {
  struct Case {
    int code, success;
    INT_PTR result;
  } cases[] = {{0, 1, IDOK}, {5011, 0, IDCANCEL}, {1502, 0, IDCANCEL}};
  for (const Case& c : cases) {
    ResetWorker(c.code, c.success, false);
    CZKUpdateWizardDlg dialog(&RunFakeWorker);
    EXPECT_EQ(9000, dialog.GetResultCode());
    EXPECT_EQ(c.result, RunDialog(dialog, {})) << c.code;
    EXPECT_EQ(c.code, dialog.GetResultCode()) << "the worker's code, not 3008";
    EXPECT_EQ(1, g_worker.starts);
    ASSERT_TRUE(WaitForWorkers());
    EXPECT_EQ(TRUE, g_worker.posted);
  }
}

TEST(WizardDialogTest, SecondStartMessageStartsNoSecondWorker) {
  ResetWorker(0, 1, true);
  CZKUpdateWizardDlg dialog(&RunFakeWorker);
  INT_PTR result = RunDialog(dialog, {
      {100, [&] {
         EXPECT_EQ(1, dialog.IsUpdateThreadStarted());
         PostMessageA(dialog.m_hWnd, WM_ZK_START_UPDATE, 0, 0);
         PostMessageA(dialog.m_hWnd, WM_ZK_START_UPDATE, 0, 0);
       }},
      {300, [] { SetEvent(g_worker.go); }},
  });
  EXPECT_EQ(IDOK, result);
  EXPECT_EQ(1, g_worker.starts);
}

TEST(WizardDialogTest, CancelEndsAtOnceAndDropsTheLateResult) {
  ResetWorker(0, 1, true);
  {
    CZKUpdateWizardDlg dialog(&RunFakeWorker);
    INT_PTR result = RunDialog(dialog, {{200, [&] { ClickCancel(dialog); }}});
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ(3008, dialog.GetResultCode());
    EXPECT_EQ(0, g_worker.finished) << "the dialog does not wait for the worker";
    SetEvent(g_worker.go);
    ASSERT_TRUE(WaitForWorkers());
    EXPECT_EQ(3008, dialog.GetResultCode()) << "the late result is dropped";
    EXPECT_EQ(FALSE, g_worker.posted) << "nothing posted to the ended dialog";
  }
  MSG message;
  EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_ZK_UPDATE_DONE, WM_ZK_UPDATE_DONE, PM_NOREMOVE));
}

TEST(WizardDialogTest, WorkerOutlivingTheDialogObjectIsSafe) {
  ResetWorker(0, 1, true);
  {
    CZKUpdateWizardDlg dialog(&RunFakeWorker);
    RunDialog(dialog, {{200, [&] { ClickCancel(dialog); }}});
  }
  SetEvent(g_worker.go);
  ASSERT_TRUE(WaitForWorkers());
  EXPECT_EQ(1, g_worker.finished);
  EXPECT_EQ(FALSE, g_worker.posted);
}

TEST(WizardDialogTest, EscapeAndEnterDoNothing) {
  ResetWorker(0, 1, true);
  CZKUpdateWizardDlg dialog(&RunFakeWorker);
  HWND window = nullptr;
  INT_PTR result = RunDialog(dialog, {
      {100, [&] {
         window = dialog.m_hWnd;
         HWND button = GetDlgItem(window, IDCANCEL);
         for (HWND target : {window, button})
           for (WPARAM key : {VK_ESCAPE, VK_RETURN}) {
             PostMessageA(target, WM_KEYDOWN, key, 0);
             PostMessageA(target, WM_KEYUP, key, 0xC0000000);
           }
         PostMessageA(button, WM_CHAR, VK_RETURN, 0);
       }},
      {300, [&] {
         EXPECT_TRUE(IsWindow(window));
         EXPECT_TRUE(IsWindowVisible(window));
         EXPECT_EQ(9000, dialog.GetResultCode());
         SetEvent(g_worker.go);
       }},
  });
  EXPECT_EQ(IDOK, result);
  EXPECT_EQ(0, dialog.GetResultCode());
}

TEST(WizardDialogTest, ShapedTopmostCentredWindow) {
  ResetWorker(0, 1, true);
  CZKUpdateWizardDlg dialog(&RunFakeWorker);
  INT_PTR result = RunDialog(dialog, {
      {150, [&] {
         HWND window = dialog.m_hWnd;
         char title[64] = {};
         GetWindowTextA(window, title, sizeof(title));
         EXPECT_STREQ(wizardtexts::kTitle.cp949, title);
         LONG style = GetWindowLongA(window, GWL_STYLE);
         EXPECT_EQ(0, style & WS_CAPTION);
         EXPECT_NE(0, GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
         RECT rect, area;
         GetWindowRect(window, &rect);
         EXPECT_EQ(282, rect.right - rect.left);
         EXPECT_EQ(144, rect.bottom - rect.top);
         SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
         EXPECT_NEAR((area.left + area.right) / 2, (rect.left + rect.right) / 2, 1);
         EXPECT_NEAR((area.top + area.bottom) / 2, (rect.top + rect.bottom) / 2, 1);
         // The background's magenta corners are cut away, its middle and edges kept.
         HRGN shape = CreateRectRgn(0, 0, 0, 0);
         ASSERT_NE(ERROR, GetWindowRgn(window, shape));
         EXPECT_FALSE(PtInRegion(shape, 0, 0));
         EXPECT_FALSE(PtInRegion(shape, 281, 143));
         EXPECT_TRUE(PtInRegion(shape, 141, 72));
         EXPECT_TRUE(PtInRegion(shape, 281, 72));
         EXPECT_TRUE(PtInRegion(shape, 141, 0));
         DeleteObject(shape);
         // The Cancel button sits at 97, 80 in the size of one strip frame.
         RECT button;
         GetWindowRect(GetDlgItem(window, IDCANCEL), &button);
         MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&button), 2);
         EXPECT_EQ(97, button.left);
         EXPECT_EQ(80, button.top);
         EXPECT_EQ(88, button.right - button.left);
         EXPECT_EQ(22, button.bottom - button.top);
       }},
      {static_cast<UINT>(std::getenv("ZK_WIZARDDLG_HOLD_MS") ? std::atoi(std::getenv("ZK_WIZARDDLG_HOLD_MS")) : 10),
       [] { SetEvent(g_worker.go); }},
  });
  EXPECT_EQ(IDOK, result);
}

TEST(WizardDialogTest, AnimationRunsThroughFiveFrames) {
  ResetWorker(0, 1, true);
  CZKUpdateWizardDlg dialog(&RunFakeWorker);
  std::vector<int> seen;
  RunDialog(dialog, {
      {50, [&] { seen.push_back(dialog.GetFrameIndex()); }},
      // The real timer: a little over three periods later, three frames on.
      {650, [&] {
         seen.push_back(dialog.GetFrameIndex());
         KillTimer(dialog.m_hWnd, kWizardAnimationTimer);
         int start = dialog.GetFrameIndex();
         for (int i = 1; i <= 6; ++i) {
           SendMessageA(dialog.m_hWnd, WM_TIMER, kWizardAnimationTimer, 0);
           EXPECT_EQ((start + i) % 5, dialog.GetFrameIndex());
         }
         SendMessageA(dialog.m_hWnd, WM_TIMER, 999, 0);
         EXPECT_EQ((start + 6) % 5, dialog.GetFrameIndex()) << "other timers leave the frame";
         SetEvent(g_worker.go);
       }},
  });
  ASSERT_EQ(2u, seen.size());
  EXPECT_EQ(0, seen[0]);
  EXPECT_GE(seen[1], 2);
  EXPECT_LE(seen[1], 4);
}

TEST(WizardDialogTest, PressOnThePictureStartsADrag) {
  ResetWorker(0, 1, true);
  CZKUpdateWizardDlg dialog(&RunFakeWorker);
  RunDialog(dialog, {
      {100, [&] {
         SendMessageA(dialog.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 30));
         MSG message;
         ASSERT_TRUE(PeekMessageA(&message, dialog.m_hWnd, WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE));
         EXPECT_EQ(static_cast<WPARAM>(HTCAPTION), message.wParam);
         EXPECT_EQ(MAKELPARAM(20, 30), message.lParam);
         SetEvent(g_worker.go);
       }},
  });
}

TEST(WizardDialogTest, NoWorkerEndsAsFailure) {
  CZKUpdateWizardDlg dialog(nullptr);
  EXPECT_EQ(IDCANCEL, dialog.DoModal());
  EXPECT_EQ(9000, dialog.GetResultCode());
}

}  // namespace
