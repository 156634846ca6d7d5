// The update worker: reads the avatar patch script, compares the installed
// Quillan1.exe with the script's WizardVersion and, when they differ or the
// program is missing, downloads, checks, unpacks and replaces it.
#pragma once

#include <windows.h>

#include <cstdint>

#include "framework/cstring.h"
#include "framework/seam.h"
#include "updatewizard/updatemanager.h"
#include "updatewizard/updateworker.h"

class CFileHashInfo;

// Sends the statistics report for the files that failed their hash check
// (the hash list's report); its result is not looked at.
using ZKHashFailureReport = bool (*)(CFileHashInfo& hashes, const char* address, int launcher_error,
                                     int avatar_version);

// The worker's folder lookup; tests replace it through ScopedCallsOverride to
// produce a failure that Wine does not give.
struct UpdateWorkerCalls {
  // Fills path with a special folder's path, as SHGetSpecialFolderPathA.
  BOOL(WINAPI* getSpecialFolderPath)(HWND owner, LPSTR path, int folder, BOOL create);
};

// The calls in use; the program never changes them.
UpdateWorkerCalls& UpdateWorkerCurrentCalls();
// The platform's own calls.
UpdateWorkerCalls UpdateWorkerPlatformCalls();
using ScopedUpdateWorkerCalls =
    ScopedCallsOverride<UpdateWorkerCalls, &UpdateWorkerCurrentCalls, &UpdateWorkerPlatformCalls>;

// The build's limit of the wizard zip's size and of the Quillan1.exe in it, in bytes.
extern const int64_t kMaxProgramArchiveBytes;

// What the worker takes from the start-up.
struct ZKUpdateWorkerSettings {
  // The "AvatarURL" run parameter: the patch script's address.
  CStringA avatar_url;
  // The "StatisticsURL" run parameter (may be empty).
  CStringA statistics_url;
  // The two roots that a WizardFile address must begin with.
  CStringA test_server_root;
  CStringA download_folder;
  // The folder under which "corvalise" lies; empty: the user's application-data folder.
  CStringA application_data_folder;
  // The report of a failed hash check (the statistics report by default); null sends none.
  ZKHashFailureReport report = nullptr;
  // The patch-script holder; null: the program's global one.
  CZKUpdateManager* manager = nullptr;
  // The largest wizard zip, and the largest program in it, that is accepted.
  // The programs keep the build's limit; tests shorten it.
  int64_t max_program_archive_bytes = kMaxProgramArchiveBytes;
};

// TRUE when the two normalised version texts are equal ignoring case (the
// runtime's collation); older and newer count alike as different.
bool SameWizardVersion(const char* wanted, const char* installed);

// The settings with the built-in roots and the statistics report, and nothing else set.
ZKUpdateWorkerSettings DefaultUpdateWorkerSettings();

// The program's settings of the worker: the start-up sets the addresses from
// the run parameters before the dialog starts the worker, which only reads them.
ZKUpdateWorkerSettings& UpdateWorkerSettings();

// The wizard folder ("...\corvalise") and the wizard path
// ("...\corvalise\Quillan1.exe"): written by the worker, read by the start-up
// for the final launch after the dialog has ended.
extern CStringA g_strWizardFolder;
extern CStringA g_strWizardPath;

// One run of the worker's job.
class CZKUpdateWorker {
 public:
  explicit CZKUpdateWorker(const ZKUpdateWorkerSettings& settings);

  // The whole job: version check and, when needed, the update; the result
  // goes to the dialog through sink (when given), which is then told that
  // the worker is done, and is returned.
  int RunUpdate(IZKUpdateResultSink* sink);
  // Reads the patch script and decides in need_update (1) whether the
  // installed program must be replaced; 0, 1502, 2002, or 5003 when the
  // application-data folder cannot be found.
  int CheckWizardVersion(int& need_update);
  // Sets the wizard folder and path, creates a missing folder (FALSE then)
  // and tells whether the program file exists. When the application-data
  // folder cannot be found (or is no whole path), both are left empty and
  // nothing is created: FALSE.
  BOOL LocateWizardProgram();
  // 0 or 2002: the prefix test of WizardFile.
  int CheckWizardFileUrl() const;
  // Download, hash check, unpacking and replacement; 0 or 5002 .. 5011
  // (5003 without a wizard path).
  int UpdateWizardFile();

 private:
  int DownloadZip(const CStringA& zip_path);
  int UnpackAndInstall(const CStringA& zip_path);

  ZKUpdateWorkerSettings m_settings;
  CZKUpdateManager& m_manager;
};
