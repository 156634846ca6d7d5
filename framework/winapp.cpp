// Application object, main window and resource handle of the framework.
#include "framework/winapp.h"

namespace {

CWinApp* g_application = nullptr;
HINSTANCE g_resource_module = nullptr;

}  // namespace

CWinApp::CWinApp() { g_application = this; }

CWinApp::~CWinApp() {
  if (g_application == this) g_application = nullptr;
}

CWinApp* AfxGetApp() { return g_application; }

CWnd* AfxGetMainWnd() {
  if (!g_application || g_application->m_nThreadID != GetCurrentThreadId()) return nullptr;
  return g_application->m_pMainWnd;
}

HINSTANCE AfxGetResourceHandle() { return g_resource_module ? g_resource_module : AfxGetInstanceHandle(); }

void AfxSetResourceHandle(HINSTANCE module) { g_resource_module = module; }

HINSTANCE AfxGetInstanceHandle() { return GetModuleHandleW(nullptr); }
