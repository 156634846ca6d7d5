// The program's patch-script holder, reading over HTTP with the patch-script module.
#include "updatewizard/patchscript_win.h"
#include "updatewizard/updatemanager.h"

CZKUpdateManager g_UpdateManager(&DownloadPatchScriptRetry);
