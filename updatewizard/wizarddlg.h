// The update wizard's dialog: a frameless window shaped by its background
// picture, with an animation and a bitmap Cancel button, that runs the update
// worker once and ends with the worker's result or the user's cancel.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/dialog.h"
#include "framework/gdi.h"
#include "updatewizard/skinbitmap.h"
#include "updatewizard/skinbutton.h"
#include "updatewizard/skinregion.h"

// Posted by the dialog to itself at the end of its initialisation: start the worker.
const UINT WM_ZK_START_UPDATE = 3124;
// Posted by the worker when it is done: wParam 1 success, 0 failure; lParam 0.
const UINT WM_ZK_UPDATE_DONE = 3125;
// The animation's timer and its period.
const UINT_PTR kWizardAnimationTimer = 101;
const UINT kWizardAnimationPeriod = 200;

class CZKUpdateHandBackState;

// What the worker holds of the dialog: the result code and the window to tell.
// It stays valid on the worker thread after the dialog has ended and even
// after the dialog object is gone; from the dialog's end on, writes and the
// posted message are dropped.
class CZKUpdateHandBack {
 public:
  explicit CZKUpdateHandBack(std::shared_ptr<CZKUpdateHandBackState> state) : state_(std::move(state)) {}

  // The dialog's result code: 9000 until the worker (or Cancel) sets another.
  int GetResultCode() const;
  // Stores the worker's result code in the dialog; dropped once it has ended.
  void SetResultCode(int code);
  // Posts message 3125 to the dialog with wParam 1 (success) or 0, lParam 0;
  // FALSE, and nothing posted, once the dialog has ended.
  BOOL PostUpdateDone(BOOL success);

 private:
  std::shared_ptr<CZKUpdateHandBackState> state_;
};

// The update worker: runs once on the worker thread; it ends by storing its
// result code and posting 3125, both through the hand-back.
typedef void (*ZKUpdateWorkerProc)(CZKUpdateHandBack& handBack);

// The thread procedure of the worker (parameter: the start record made by
// StartUpdateThread); runs the worker and ends with exit code 0.
UINT UpdateThreadProc(LPVOID parameter);

// About box (template 100): nothing of its own.
class CAboutDlg : public CDialog {
 public:
  CAboutDlg() : CDialog(100) {}
};

// The wizard dialog (template 102).
class CZKUpdateWizardDlg : public CDialog {
 public:
  // worker: the update worker that message 3124 starts; parent: owner or NULL.
  explicit CZKUpdateWizardDlg(ZKUpdateWorkerProc worker, CWnd* parent = nullptr);
  ~CZKUpdateWizardDlg() override;

  // The result code: 9000 "UNKNOWNERROR" until the worker leaves one, 3008
  // after the user's cancel. Read it after DoModal has returned.
  int GetResultCode() const;
  // Handler of 3124: starts the worker on the first call only; returns 1.
  int StartUpdateThread();
  // Whether the worker has been started.
  int IsUpdateThreadStarted() const { return m_bThreadStarted; }
  // The animation frame shown now (0 to 4).
  int GetFrameIndex() const { return m_nFrameIndex; }

  BOOL PreTranslateMessage(MSG* message) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  void DoDataExchange(CDataExchange* exchange) override;
  BOOL OnInitDialog() override;
  void OnCancel() override;

 private:
  void DrawSkin(HDC target);
  void OnPaint();
  void OnTimer(UINT_PTR id);
  void OnSysCommand(UINT id);
  void OnLButtonDown(LPARAM point);
  void OnDestroy();
  void CenterWindow();
  // Marks the dialog ended for the worker; a user stop leaves 3008 as result.
  void EndHandBack(bool userStop);

  CMyButton m_btnCancel;
  HICON m_hIcon;
  CHTransRegion m_region;
  CMyBitmap m_bmpBackground;
  CMyBitmap m_bmpFrames[5];
  int m_nFrameIndex = 0;
  // The result code lives in the hand-back state, shared with the worker.
  int m_bThreadStarted = 0;
  ZKUpdateWorkerProc m_worker;
  std::shared_ptr<CZKUpdateHandBackState> m_handback;
};
