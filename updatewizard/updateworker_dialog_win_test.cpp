// The wizard dialog with the real worker behind it, under Wine against the
// worker's nginx: the dialog ends with IDOK once Quillan1.exe is installed,
// and with the worker's code (not 3008) when the zip fails its hash check.
#include "updatewizard/updateworker_dialog_win.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/httppeers.h"
#include "updatewizard/updateworker_win.h"

// The start-up's globals, which the statistics report reads.
CStringA g_strProgramName = "GAME01";
CStringA g_strStatisticsUrl;
CStringA g_strBrowserName = "IE 8.0";

namespace {

using zktest::Env;
using zktest::HostPath;

std::string Root() { return "http://127.0.0.1:" + Env("ZK_WORKER_NGINX_PORT"); }

// A dialog still open after 60 s is ended with -99.
CZKUpdateWizardDlg* g_running = nullptr;
VOID CALLBACK EndStuckDialog(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (g_running) g_running->EndDialog(-99);
}

TEST(UpdateWorkerDialogTest, DialogEndsWithTheWorkersResult) {
  struct Case {
    const char* script_case;
    INT_PTR dialog_result;
    int code;
    const char* program_after;  // stand-in variant
  } cases[] = {
      {"good", IDOK, 0, "new"},
      {"mismatch", IDCANCEL, 5011, "old"},
  };
  const std::string base = HostPath(Env("ZK_WORKER_DATA") + "/appdata/dialog");
  CreateDirectoryA(HostPath(Env("ZK_WORKER_DATA") + "/appdata").c_str(), nullptr);
  CreateDirectoryA(base.c_str(), nullptr);
  CreateDirectoryA((base + "\\corvalise").c_str(), nullptr);
  SetCurrentDirectoryA(base.c_str());
  const std::string program = base + "\\corvalise\\Quillan1.exe";

  for (const Case& c : cases) {
    ASSERT_TRUE(CopyFileA(HostPath(Env("ZK_WORKER_PROGRAMS") + "/quillan_old.exe").c_str(), program.c_str(), FALSE));
    ZKUpdateWorkerSettings& settings = UpdateWorkerSettings();
    settings.avatar_url = (Root() + "/" + c.script_case + "/CorvaliseAvatar.htm").c_str();
    settings.statistics_url = (Root() + "/stats/index_v2.asp").c_str();
    settings.test_server_root = (Root() + "/").c_str();
    settings.application_data_folder = base.c_str();

    CZKUpdateWizardDlg dialog(&RunUpdateWorker);
    g_running = &dialog;
    UINT_PTR guard = SetTimer(nullptr, 0, 60000, &EndStuckDialog);
    EXPECT_EQ(dialog.DoModal(), c.dialog_result) << c.script_case;
    KillTimer(nullptr, guard);
    g_running = nullptr;
    EXPECT_EQ(dialog.GetResultCode(), c.code) << c.script_case;
    EXPECT_STREQ(g_strWizardPath, program.c_str());
    EXPECT_EQ(zktest::ReadFileBytes(HostPath(Env("ZK_WORKER_DATA") + "/appdata/dialog/corvalise/Quillan1.exe")),
              zktest::ReadFileBytes(HostPath(Env("ZK_WORKER_PROGRAMS") + "/quillan_" + c.program_after + ".exe")))
        << c.script_case;
  }
}

}  // namespace
