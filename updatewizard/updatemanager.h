// CZKUpdateManager: the holder of the patch script that the update worker
// reads, and the one global instance of it.
#pragma once

#include "framework/cstring.h"

// The patch-script module as the manager uses it: its retrying download into
// its parse result, and the three values of that result that the worker needs.
// The patch-script parser's holder implements it.
class IZKPatchScriptSource {
 public:
  virtual ~IZKPatchScriptSource() = default;
  // Reads the script called name from address (which a fallback may change)
  // with no file lists and installed version 0; 1 when it was read and passed
  // its checks, else 0.
  virtual int DownloadPatchScriptRetry(const char* name, CStringA& address) = 0;
  // The address of the wizard zip ("WizardFile").
  virtual CStringA GetWizardFile() const = 0;
  // The version text of the wanted wizard program ("WizardVersion").
  virtual CStringA GetWizardVersion() const = 0;
  // The zip's expected SHA-1 as hex text, already decrypted ("WizardFileHash").
  virtual CStringA GetWizardFileHash() const = 0;
};

// The name of the patch script that the update wizard reads.
extern const char kAvatarPatchScriptName[];

class CZKUpdateManager {
 public:
  // A manager that reads through source (none: every read fails).
  explicit CZKUpdateManager(IZKPatchScriptSource* source = nullptr) : m_source(source) {}
  virtual ~CZKUpdateManager() = default;
  CZKUpdateManager(const CZKUpdateManager&) = delete;
  CZKUpdateManager& operator=(const CZKUpdateManager&) = delete;

  // Sets the patch-script module that reads into this manager; the source
  // stays the caller's and must outlive the reads.
  void SetScriptSource(IZKPatchScriptSource* source) { m_source = source; }

  // Reads the script "CorvaliseAvatar" from avatar_url. TRUE without reading
  // for an empty address; FALSE when the read fails or no module is set.
  int ReadPatchScript(CStringA& avatar_url);

  // The values of the last read (empty before one).
  CStringA WizardFile() const;
  CStringA WizardVersion() const;
  CStringA WizardFileHash() const;

 private:
  IZKPatchScriptSource* m_source;
};

// The program's one manager, built before the program starts.
extern CZKUpdateManager g_UpdateManager;
