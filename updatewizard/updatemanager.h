// CZKUpdateManager: the holder of the patch script that the update worker
// reads, and the one global instance of it.
#pragma once

#include "framework/cstring.h"
#include "updatewizard/patchscript.h"

// The patch script's retrying download, as DownloadPatchScriptRetry of the
// patch-script module: 1 when the script called name was read from address
// into parser and passed its checks, else 0.
using PatchScriptReader = int (*)(const char* name, CStringA& address, CSentenceParse& parser,
                                  PatchFileLists* lists, int installed_version);

// The name of the patch script that the update wizard reads.
extern const char kAvatarPatchScriptName[];

class CZKUpdateManager {
 public:
  // A manager that reads through reader (none: every read fails).
  explicit CZKUpdateManager(PatchScriptReader reader = nullptr) : m_reader(reader) {}
  virtual ~CZKUpdateManager() = default;
  CZKUpdateManager(const CZKUpdateManager&) = delete;
  CZKUpdateManager& operator=(const CZKUpdateManager&) = delete;

  // Reads the script "CorvaliseAvatar" from avatar_url into the parse result
  // (no file lists, installed version 0). TRUE without reading for an empty
  // address; FALSE when the read fails.
  int ReadPatchScript(CStringA& avatar_url);

  // The parse result: every value of the scripts read so far.
  const CSentenceParse& GetSentenceParse() const { return m_parse; }
  // The three values that the worker uses (empty before a read).
  const CStringA& WizardFile() const { return m_parse.m_strWizardFile; }
  const CStringA& WizardVersion() const { return m_parse.m_strWizardVersion; }
  // The zip's expected SHA-1 as hex text, already decrypted by the parser.
  const CStringA& WizardFileHash() const { return m_parse.m_strWizardFileHash; }

 private:
  PatchScriptReader m_reader;
  CSentenceParse m_parse;
};

// The program's one manager (reading with DownloadPatchScriptRetry), built
// before the program starts; Windows only.
extern CZKUpdateManager g_UpdateManager;
