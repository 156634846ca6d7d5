// CZKUpdateManager: reads the avatar patch script through the patch-script module.
#include "updatewizard/updatemanager.h"

const char kAvatarPatchScriptName[] = "CorvaliseAvatar";

CZKUpdateManager g_UpdateManager;

int CZKUpdateManager::ReadPatchScript(CStringA& avatar_url) {
  // The start-up never lets an empty address get this far; nothing to read then.
  if (avatar_url.IsEmpty()) return 1;
  if (!m_source) return 0;
  return m_source->DownloadPatchScriptRetry(kAvatarPatchScriptName, avatar_url) == 0 ? 0 : 1;
}

CStringA CZKUpdateManager::WizardFile() const { return m_source ? m_source->GetWizardFile() : CStringA(); }

CStringA CZKUpdateManager::WizardVersion() const { return m_source ? m_source->GetWizardVersion() : CStringA(); }

CStringA CZKUpdateManager::WizardFileHash() const {
  return m_source ? m_source->GetWizardFileHash() : CStringA();
}
