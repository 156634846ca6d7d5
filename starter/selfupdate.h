// The starter's self-update and the update wizard's download into the Windows folder.
#pragma once

#include "framework/cstring.h"

// True when folder + fileName is missing or its version text sorts below the
// required version (a file without a version block counts as 0.0.0.0).
bool IsUpdateNeeded(CString folder, CString fileName, CString requiredVersion);

// Downloads the starter of version sVersion, swaps it in for Lumora1.exe
// (the old file aside as _moveLumora1.exe) and starts the hidden batch file
// that ends this process, removes the old file and restarts the new starter
// with the same command line. True: the caller ends at once. False: message
// 57408 has been shown; the old file may lie aside as _moveLumora1.exe.
bool UpdateStarter(CString folder, CString sVersion, CString uVersion, CString publish, CString customUpdateUrl);

// Makes sure Tesselo1.exe in the folder has the required version; false after
// message 57409 when the download or the unpacking failed.
bool UpdateWizardIfNeeded(CString folder, CString uVersion, CString customUpdateUrl);

// Downloads archiveName from the download base into the folder, unpacks its
// entry entryName into folder + targetName and deletes the archive. Returns 0
// or a code of the shared error table (5002-5010).
int DownloadAndExtract(CString folder, CString archiveName, CString entryName, CString targetName,
                       CString customUpdateUrl);
