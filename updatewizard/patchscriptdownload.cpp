// The pure halves of the patch script's download: attempt plan, address rebuild, body feeding.
#include "updatewizard/patchscriptdownload.h"

#include <cstring>

#include "framework/strings.h"
#include "zksettings.h"

CStringA g_strPatchServerList;
const char kPatchTestServerPrefix[] = ZK_PATCH_TEST_SERVER_PREFIX;

int PatchScriptAttemptCount(const char* name, const char* address) {
  size_t prefix = std::strlen(kPatchTestServerPrefix);
  if (address && std::strncmp(address, kPatchTestServerPrefix, prefix) == 0) return 1;
  CStringA lower(name ? name : "");
  lower.MakeLower();
  if (lower.Find("avatar") >= 0) return 1;
  return 3;
}

CStringA RebuildPatchScriptAddress(const char* address, const char* server_list, int root_index) {
  CStringA path(address ? address : "");
  for (int cut = 0; cut < 3; ++cut) {
    int slash = path.Find('/');
    if (slash >= 0) path = path.Mid(slash + 1);
  }
  CStringA root;
  AfxExtractSubString(root, server_list ? server_list : "", root_index, ';');
  return root + path;
}

int RunPatchScriptAttempts(const char* name, CStringA& address, const char* server_list,
                           const PatchScriptAttempt& attempt) {
  int attempts = PatchScriptAttemptCount(name, address.GetString());
  for (int i = 0; i < attempts; ++i) {
    int last = i == attempts - 1;
    if (attempt(address.GetString(), last ? 0 : 1) == 1) return 1;
    if (!last) address = RebuildPatchScriptAddress(address.GetString(), server_list, i);
  }
  return 0;
}

int ParsePatchScriptBody(const char* body, const char* name, CSentenceParse& parser, PatchFileLists* lists,
                         int installed_version, unsigned* failure_text) {
  unsigned ignored = 0;
  if (!failure_text) failure_text = &ignored;
  *failure_text = 0;
  const char* line = body ? body : "";
  while (*line) {
    const char* end = std::strchr(line, '\n');
    size_t length = end ? static_cast<size_t>(end - line) + 1 : std::strlen(line);
    CStringA text(line, static_cast<int>(length));
    if (!parser.ParseLine(text.GetString(), installed_version, lists)) return 0;
    line += length;
  }
  if (!parser.m_nHeaderSeen) *failure_text = kPatchTextNoScript;
  else if (parser.m_strProgramName.IsEmpty()) *failure_text = kPatchTextNoProgramName;
  else if (parser.m_strProgramName.CompareNoCase(name ? name : "") != 0) *failure_text = kPatchTextWrongProgramName;
  else if (parser.m_strFullInstallFileURL.IsEmpty()) *failure_text = kPatchTextNoInstallUrl;
  return *failure_text == 0 ? 1 : 0;
}
