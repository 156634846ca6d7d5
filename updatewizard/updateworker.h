// The update worker's pure parts: the version texts it compares, the prefix
// test of the wizard zip's address, and what it needs of the wizard dialog.
#pragma once

#include "framework/cstring.h"

// The dialog's private messages: start the worker (posted by the dialog to
// itself), and the worker is done (wParam 1 success, 0 failure; lParam 0).
enum : unsigned { kStartUpdateMessage = 3124, kUpdateDoneMessage = 3125 };

// The wanted version as compared: every space removed, every "." made ",".
CStringA NormalizeWantedVersion(const char* version);
// The installed program's FileVersion as compared: every space removed; its
// points stay points.
CStringA NormalizeInstalledVersion(const char* version);

// TRUE when the first strlen(root) bytes of text equal root, letters compared
// ignoring case except inside double-byte characters of the Korean code page;
// a shorter text never matches.
bool MatchesRootIgnoringCase(const char* text, const char* root);

// The prefix test of the wizard zip's address: 0 when wizard_file begins with
// the test-server root or the download folder and the rest is plain URL text
// without a query (IsPlainUrlText), else 2002 ("INVALID_URL").
int CheckWizardFileUrl(const char* wizard_file, const char* test_server_root, const char* download_folder);

// The dialog as the worker reaches it: the dialog's result code and its done
// message. The dialog's side drops both once the dialog has ended.
class IZKUpdateResultSink {
 public:
  virtual ~IZKUpdateResultSink() = default;
  // Stores code as the dialog's result code.
  virtual void SetResultCode(int code) = 0;
  // Posts the done message with wParam success (1 or 0).
  virtual void PostUpdateDone(int success) = 0;
};
