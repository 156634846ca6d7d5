// The wizard dialog: skin, animation, the worker's start and its hand-back.
#include "updatewizard/wizarddlg.h"

#include <mutex>

#include "_Common/errorcodes.h"
#include "_Common/zkcommonfunc_win.h"
#include "framework/thread.h"
#include "updatewizard/resource_ids.h"
#include "updatewizard/skinreposition.h"

namespace {

const COLORREF kKeyColour = 0xFF00FF;

// What the worker thread is started with.
struct UpdateStartRecord {
  ZKUpdateWorkerProc worker;
  std::shared_ptr<CZKUpdateHandBackState> state;
};

}  // namespace

// The result code and window shared by the dialog and its worker. The dialog
// marks it ended before it ends, under the lock, so a late worker can
// neither change the result the start-up reads nor post to a dead window.
class CZKUpdateHandBackState {
 public:
  mutable std::mutex lock;
  int result_code = LauncherError::UNKNOWNERROR;
  HWND window = nullptr;
  bool ended = false;
};

int CZKUpdateHandBack::GetResultCode() const {
  std::lock_guard<std::mutex> hold(state_->lock);
  return state_->result_code;
}

void CZKUpdateHandBack::SetResultCode(int code) {
  std::lock_guard<std::mutex> hold(state_->lock);
  if (!state_->ended) state_->result_code = code;
}

BOOL CZKUpdateHandBack::PostUpdateDone(BOOL success) {
  std::lock_guard<std::mutex> hold(state_->lock);
  if (state_->ended || !state_->window) return FALSE;
  return ::PostMessageA(state_->window, WM_ZK_UPDATE_DONE, success ? 1 : 0, 0);
}

UINT UpdateThreadProc(LPVOID parameter) {
  UpdateStartRecord* record = static_cast<UpdateStartRecord*>(parameter);
  if (record) {
    CZKUpdateHandBack handBack(record->state);
    record->worker(handBack);
    delete record;
  }
  return 0;
}

CZKUpdateWizardDlg::CZKUpdateWizardDlg(ZKUpdateWorkerProc worker, CWnd* parent)
    : CDialog(IDD_WIZARD, parent),
      m_hIcon(::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDI_WIZARD))),
      m_worker(worker),
      m_handback(std::make_shared<CZKUpdateHandBackState>()) {}

CZKUpdateWizardDlg::~CZKUpdateWizardDlg() {
  std::lock_guard<std::mutex> hold(m_handback->lock);
  m_handback->ended = true;
  m_handback->window = nullptr;
}

int CZKUpdateWizardDlg::GetResultCode() const {
  std::lock_guard<std::mutex> hold(m_handback->lock);
  return m_handback->result_code;
}

int CZKUpdateWizardDlg::StartUpdateThread() {
  int was_started = m_bThreadStarted;
  m_bThreadStarted = 1;
  if (was_started) return 1;
  UpdateStartRecord* record = new UpdateStartRecord{m_worker, m_handback};
  if (!m_worker || !AfxBeginThread(&UpdateThreadProc, record)) {
    // No worker will ever report: end as a failure rather than wait forever.
    delete record;
    ::PostMessageA(m_hWnd, WM_ZK_UPDATE_DONE, 0, 0);
  }
  return 1;
}

void CZKUpdateWizardDlg::DoDataExchange(CDataExchange* exchange) {
  CDialog::DoDataExchange(exchange);
  DDX_Control(exchange, IDCANCEL, m_btnCancel);
}

BOOL CZKUpdateWizardDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  CStringA title;
  if (LoadResString(title, IDS_WIZARD_CAPTION)) ::SetWindowTextA(m_hWnd, title.GetString());
  ::SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  ::SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
  CDialogCtrlReposition().RepositionDialog(m_hWnd, TRUE);

  m_bmpBackground.LoadBitmap(IDB_BACKGROUND);
  for (int i = 0; i < 5; ++i) m_bmpFrames[i].LoadBitmap(IDB_FIRST_FRAME + i);
  m_btnCancel.SetBitmapAndMove(97, 80, IDB_CANCEL_STRIP, 4, nullptr);

  BITMAP background = {};
  bool has_background = m_bmpBackground.GetBitmap(&background) != 0;
  ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, background.bmWidth, background.bmHeight,
                 SWP_NOOWNERZORDER | (has_background ? 0 : SWP_NOSIZE));
  m_region.SetRegionFromBitmap(m_bmpBackground, m_hWnd, kKeyColour, m_bmpBackground);
  if (has_background) {
    RECT rect;
    ::GetWindowRect(m_hWnd, &rect);
    ::MoveWindow(m_hWnd, rect.left, rect.top, background.bmWidth, background.bmHeight, TRUE);
  }
  CenterWindow();
  ::ShowWindow(m_hWnd, SW_SHOW);
  ::SetTimer(m_hWnd, kWizardAnimationTimer, kWizardAnimationPeriod, nullptr);

  {
    std::lock_guard<std::mutex> hold(m_handback->lock);
    m_handback->result_code = LauncherError::UNKNOWNERROR;
    m_handback->window = m_hWnd;
  }
  ::PostMessageA(m_hWnd, WM_ZK_START_UPDATE, 0, 0);
  return TRUE;
}

void CZKUpdateWizardDlg::CenterWindow() {
  RECT window, area;
  ::GetWindowRect(m_hWnd, &window);
  HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
  if (!owner || !::IsWindowVisible(owner) || !::GetWindowRect(owner, &area))
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  int width = window.right - window.left;
  int height = window.bottom - window.top;
  int x = area.left + ((area.right - area.left) - width) / 2;
  int y = area.top + ((area.bottom - area.top) - height) / 2;
  ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CZKUpdateWizardDlg::EndHandBack(bool userStop) {
  std::lock_guard<std::mutex> hold(m_handback->lock);
  if (userStop && !m_handback->ended) m_handback->result_code = LauncherError::WIZARDTHREAD_USER_STOP;
  m_handback->ended = true;
  m_handback->window = nullptr;
}

void CZKUpdateWizardDlg::OnCancel() {
  EndHandBack(true);
  CDialog::OnCancel();
}

BOOL CZKUpdateWizardDlg::PreTranslateMessage(MSG* message) {
  if (message->message == WM_KEYDOWN && (message->wParam == VK_ESCAPE || message->wParam == VK_RETURN)) return TRUE;
  return CDialog::PreTranslateMessage(message);
}

LRESULT CZKUpdateWizardDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ZK_START_UPDATE:
      StartUpdateThread();
      return CDialog::WindowProc(message, wParam, lParam);
    case WM_ZK_UPDATE_DONE:
      EndHandBack(false);
      if (wParam)
        CDialog::OnOK();
      else
        CDialog::OnCancel();
      return 0;
    case WM_SYSCOMMAND:
      OnSysCommand(static_cast<UINT>(wParam));
      return 0;
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_QUERYDRAGICON:
      return reinterpret_cast<LRESULT>(m_hIcon);
    case WM_TIMER:
      OnTimer(wParam);
      return 0;
    case WM_ERASEBKGND:
      DrawSkin(reinterpret_cast<HDC>(wParam));
      return TRUE;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case WM_LBUTTONDOWN:
      OnLButtonDown(lParam);
      return 0;
    default:
      return CDialog::WindowProc(message, wParam, lParam);
  }
}

void CZKUpdateWizardDlg::DrawSkin(HDC target) {
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  CDC memory;
  if (!target || !memory.CreateCompatibleDC(target)) return;
  if (m_bmpBackground.GetSafeHandle()) {
    HBITMAP old = memory.SelectObject(m_bmpBackground);
    memory.SetBkMode(TRANSPARENT);
    ::BitBlt(target, 0, 0, client.right - client.left, client.bottom - client.top, memory, 0, 0, SRCCOPY);
    memory.SelectObject(old);
  }
  CMyBitmap& frame = m_bmpFrames[m_nFrameIndex];
  BITMAP header;
  if (frame.GetBitmap(&header))
    frame.DrawTransparent(target, 75, 51, header.bmWidth, header.bmHeight, 0, 0, kKeyColour);
}

void CZKUpdateWizardDlg::OnPaint() {
  CPaintDC dc(m_hWnd);
  DrawSkin(dc);
}

void CZKUpdateWizardDlg::OnTimer(UINT_PTR id) {
  if (id == kWizardAnimationTimer) {
    if (++m_nFrameIndex >= 5) m_nFrameIndex = 0;
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
  }
  Default();
}

void CZKUpdateWizardDlg::OnSysCommand(UINT id) {
  if ((id & 0xFFF0) == 0x10) {
    CAboutDlg about;
    about.DoModal();
    return;
  }
  Default();
}

void CZKUpdateWizardDlg::OnLButtonDown(LPARAM point) {
  // A press anywhere on the picture drags the window, as on a caption.
  ::PostMessageA(m_hWnd, WM_NCLBUTTONDOWN, HTCAPTION, point);
  Default();
}

void CZKUpdateWizardDlg::OnDestroy() {
  Default();
  EndHandBack(false);
  ::KillTimer(m_hWnd, kWizardAnimationTimer);
}
