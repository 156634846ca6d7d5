// The program entry of a framework application (link it as objects, so that
// the C runtime's start finds WinMain).
#include "framework/appmain.h"

#include "framework/winapp.h"

int AfxWinMain() {
  CWinApp* application = AfxGetApp();
  if (!application || !application->InitInstance()) return 0;
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return AfxWinMain(); }
