// CZKUpdateManager: reads the avatar patch script into its parse result.
#include "updatewizard/updatemanager.h"

const char kAvatarPatchScriptName[] = "CorvaliseAvatar";

int CZKUpdateManager::ReadPatchScript(CStringA& avatar_url) {
  // The start-up never lets an empty address get this far; nothing to read then.
  if (avatar_url.IsEmpty()) return 1;
  if (!m_reader) return 0;
  return m_reader(kAvatarPatchScriptName, avatar_url, m_parse, nullptr, 0) == 0 ? 0 : 1;
}
