// The patch script's parser and file lists, and the pure parts of its download.
#include "updatewizard/patchscript.h"

#include <climits>
#include <cstring>
#include <new>

#include "_Common/zkcommonfunc.h"
#include "_Common/zkfilehashinfo.h"
#include "framework/strings.h"

#ifndef ZK_PATCH_TEST_SERVER_PREFIX
#define ZK_PATCH_TEST_SERVER_PREFIX "http://192.168.0."
#endif

char g_szInstallRootFolder[96] = "Corvalise\\";
char g_szUninstallDisplayName[96] = "\xc4\xda\xb8\xa3\xb9\xdf";
CStringA IconFileName;
CStringA IconName;
CStringA IconTarget;
CStringA IconDesc;
int g_nIsURLShortCut = 0;
int g_nInstallParameter = 0;
int g_nShowDefStartPageSet = 1;
CStringA g_strPatchServerList;
const char kPatchTestServerPrefix[] = ZK_PATCH_TEST_SERVER_PREFIX;

namespace {

enum KeyId {
  kKeyNone = 0,
  kKeyHeader = 1,
  kKeyExtraFileList = 9,
  kKeyUpdateFileList = 10,
  kKeyWizardFileHash = 18,
  kKeyInstallFileList = 34,
  kKeyDeleteFileList = 35,
  kKeyMinUpdateVersion = -1,  // keeps the current key id
  kKeyGroupOpen = -2,
  kKeyGroupClose = -3,
};

struct KeyName {
  const char* text;
  int id;
};

const KeyName kKeys[] = {
    {"[CorvaliseUpdateFile]", 1}, {"ProgramName", 2}, {"BaseClientFolder", 3}, {"DisplayName", 4},
    {"FullInstallFileURL", 5}, {"FullInstallFileHash", 6}, {"UpdateBaseURL", 7}, {"ExtraBaseURL", 8},
    {"ExtraFileList", 9}, {"UpdateFileList", 10}, {"WizardBackColor", 11}, {"WizardText", 12},
    {"WizardLineColor", 13}, {"WizardDisableTextColor", 14}, {"WizardBackImageURL", 15}, {"WizardFile", 16},
    {"WizardVersion", 17}, {"WizardFileHash", 18}, {"EXEZipFile", 19}, {"RootProgFolder", 20},
    {"UninstDisplayName", 21}, {"IconFileName", 22}, {"IconName", 23}, {"IconTarget", 24}, {"IconDesc", 25},
    {"ShowDefStartPageSet", 26}, {"IsURLShortCut", 27}, {"ExtraIconFileURL", 28}, {"ExtraIconFileName", 29},
    {"ExtraIconURL", 30}, {"ExtraIconDesc", 31}, {"ExtraIconVersion", 32}, {"InstallParameter", 33},
    {"InstallParam", 33}, {"InstallFileList", 34}, {"DeleteFileList", 35}, {"MinUpdateVersion", kKeyMinUpdateVersion},
    {"{", kKeyGroupOpen}, {"}", kKeyGroupClose},
};

bool IsScriptSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

CStringA TrimScript(const CStringA& text) {
  CStringA copy(text);
  copy.Trim(" \t\r\n\v\f");
  return copy;
}

int FindKey(const CStringA& key) {
  for (const KeyName& entry : kKeys)
    if (key.CompareNoCase(entry.text) == 0) return entry.id;
  return kKeyNone;
}

bool IsListKey(int id) {
  return id == kKeyExtraFileList || id == kKeyUpdateFileList || id == kKeyInstallFileList || id == kKeyDeleteFileList;
}

bool IsYesOrOne(const CStringA& value) { return value.CompareNoCase("yes") == 0 || value.Compare("1") == 0; }

// The value's leading decimal digits (0 when none), held at INT_MAX.
int LeadingNumber(const CStringA& value) {
  long long number = 0;
  for (const char* p = value.GetString(); *p >= '0' && *p <= '9'; ++p) {
    number = number * 10 + (*p - '0');
    if (number > INT_MAX) return INT_MAX;
  }
  return static_cast<int>(number);
}

bool StartsWithDigit(const CStringA& value) { return !value.IsEmpty() && value[0] >= '0' && value[0] <= '9'; }

// Copies text into a buffer of size bytes with its NUL, never splitting a
// double-byte character.
void CopyWholeCharacters(char* buffer, size_t size, const char* text) {
  size_t length = 0;
  while (text[length]) {
    size_t step = zkframework::IsAnsiLeadByte(static_cast<unsigned char>(text[length])) && text[length + 1] ? 2 : 1;
    if (length + step > size - 1) break;
    length += step;
  }
  std::memcpy(buffer, text, length);
  buffer[length] = '\0';
}

}  // namespace

// ---- PatchFileLists ----

PatchFileLists::~PatchFileLists() {
  while (m_pFirstEntry) {
    PatchFileEntry* next = m_pFirstEntry->pNext;
    delete m_pFirstEntry;
    m_pFirstEntry = next;
  }
}

void PatchFileLists::ResetEntryCount() { m_nEntryCount = 0; }

void PatchFileLists::AddFileEntry(const char* name, const char* hash, int block_version, int flag) {
  PatchFileEntry* entry = new (std::nothrow) PatchFileEntry();
  if (!entry) return;
  entry->nBlockVersion = block_version;
  CopyWholeCharacters(entry->szName, sizeof(entry->szName), name ? name : "");
  entry->nFlag = flag;
  CopyWholeCharacters(entry->szHash, sizeof(entry->szHash), hash ? hash : "");
  // The names seen so far, lower-cased as CompareNoCase folds them, so that a
  // list of many thousand files is not walked once per file.
  try {
    if (!m_entryNames.insert(CStringA(entry->szName).MakeLower().GetString()).second) {
      delete entry;
      return;
    }
  } catch (const std::bad_alloc&) {
    delete entry;
    return;
  }
  *(m_pLastEntry ? &m_pLastEntry->pNext : &m_pFirstEntry) = entry;
  m_pLastEntry = entry;
  ++m_nEntryCount;
}

void PatchFileLists::SetInstallUrl(const char* text) { m_strInstallUrl = text; }

void PatchFileLists::SetFirstInstallHash(const char* text) {
  if (!m_installFiles.empty()) m_installFiles.front().second = text;
}

int PatchFileLists::AppendInstallFile(const char* name, const char* hash) {
  m_installFiles.emplace_back(CStringA(name), CStringA(hash));
  return static_cast<int>(m_installFiles.size());
}

int PatchFileLists::AppendDeleteFile(const char* name) {
  m_deleteFiles.emplace_back(name);
  return static_cast<int>(m_deleteFiles.size());
}

// ---- CSentenceParse ----

COLORREF CSentenceParse::ParseColour(const char* text) {
  CStringA value = TrimScript(CStringA(text));
  if (value.GetLength() < 5) return kInvalidColour;
  // The sixth character of a five-character value is the terminating NUL.
  const char* digits = value.GetString();
  auto pair = [digits](int at) {
    return static_cast<COLORREF>(HexDigitValue(digits[at]) * 16 + HexDigitValue(digits[at + 1]));
  };
  return pair(0) + pair(2) * 256 + pair(4) * 65536;
}

int CSentenceParse::Fail(unsigned message) {
  CStringA text;
  LoadPatchScriptText(message, text);
  m_strError.Format("Line %d : %s", m_nLineCount, text.GetString());
  return 0;
}

int CSentenceParse::ParseLine(const char* line, int installed_version, PatchFileLists* lists) {
  ++m_nLineCount;
  unsigned message = kPatchTextNullString;
  if (!line) return Fail(message);
  if (lists) lists->ResetEntryCount();

  // A line longer than the design's 1023 bytes is refused rather than cut.
  size_t length = std::strlen(line);
  if (length > 0 && line[length - 1] == '\n') --length;
  if (length > 0 && line[length - 1] == '\r') --length;
  if (length > static_cast<size_t>(kMaxPatchScriptLineLength)) return Fail(kPatchTextUnknownSyntax);

  CStringA text(line);
  int comment = text.Find(';');
  if (comment >= 0) text = text.Left(comment);
  text = TrimScript(text);
  if (text.IsEmpty()) return 1;

  int split = text.FindOneOf(" \t\n");
  CStringA key = split < 0 ? text : text.Left(split);
  CStringA value = split < 0 ? text : TrimScript(text.Mid(split));

  int id = FindKey(key);
  if (id == kKeyHeader) {
    m_nHeaderSeen = 1;
    m_nKeyId = kKeyHeader;
    return 1;
  }
  if (!m_nHeaderSeen) return Fail(kPatchTextNoHeader);
  if (id != kKeyNone) return ApplyKey(id, value, installed_version, lists, message) ? 1 : Fail(message);
  if (!m_nListOpen) return Fail(kPatchTextUnknownSyntax);
  TakeListItems(text, installed_version, lists);
  return 1;
}

int CSentenceParse::ApplyKey(int id, const CStringA& value, int installed_version, PatchFileLists* lists,
                             unsigned& message) {
  switch (id) {
    case kKeyMinUpdateVersion:
      message = kPatchTextNoVersion;
      if (!StartsWithDigit(value)) return 0;
      m_nMinUpdateVersion = LeadingNumber(value);
      return 1;
    case kKeyGroupOpen:
      if (!IsListKey(m_nKeyId)) {
        message = kPatchTextBadGroupOpen;
        return 0;
      }
      m_nListOpen = 1;
      return 1;
    case kKeyGroupClose:
      if (!IsListKey(m_nKeyId)) {
        message = kPatchTextBadGroupClose;
        return 0;
      }
      m_nListOpen = 0;
      m_nKeyId = kKeyNone;
      return 1;
    default:
      break;
  }

  m_nKeyId = id;
  const char* text = value.GetString();
  switch (id) {
    case 2:
      m_strProgramName = value;
      if (m_strBaseClientFolder.IsEmpty()) m_strBaseClientFolder = value;
      if (m_strDisplayName.IsEmpty()) m_strDisplayName = value;
      break;
    case 3: m_strBaseClientFolder = value; break;
    case 4: m_strDisplayName = value; break;
    case 5:
      m_strFullInstallFileURL = value;
      if (lists) {
        lists->AppendInstallFile(text, "");
        lists->SetInstallUrl(text);
      }
      break;
    case 6:
      m_strFullInstallFileHash = value;
      if (lists) lists->SetFirstInstallHash(text);
      break;
    case 7: m_strUpdateBaseURL = value; break;
    case 8: m_strExtraBaseURL = value; break;
    case kKeyExtraFileList:
    case kKeyUpdateFileList: {
      message = kPatchTextNoVersion;
      if (!StartsWithDigit(value)) return 0;
      int number = LeadingNumber(value);
      if (id == kKeyExtraFileList) {
        m_nExtraFileListNumber = number;
        break;
      }
      m_nUpdateBlockVersion = number;
      if (number > m_nHighestUpdateVersion) m_nHighestUpdateVersion = number;
      if (number == installed_version) m_nInstalledVersionListed = 1;
      break;
    }
    case 11:
    case 12:
    case 13:
    case 14: {
      // A value too short to be a colour leaves the colour as it was.
      COLORREF colour = ParseColour(text);
      if (colour == kInvalidColour) break;
      COLORREF* fields[] = {&m_clrWizardBackColor, &m_clrWizardText, &m_clrWizardLineColor,
                            &m_clrWizardDisableTextColor};
      *fields[id - 11] = colour;
      break;
    }
    case 15: m_strWizardBackImageURL = value; break;
    case 16: m_strWizardFile = value; break;
    case 17: m_strWizardVersion = value; break;
    case kKeyWizardFileHash: {
      // Stored whatever the decryption gives, also when it fails.
      CStringA hex;
      DecryptHashValue(text, hex, nullptr, nullptr);
      m_strWizardFileHash = hex;
      break;
    }
    case 19:
      if (IsYesOrOne(value)) m_nEXEZipFile = 1;
      break;
    case 20:
      m_strRootProgFolder = value + "\\";
      if (m_strRootProgFolder.GetLength() > 1)
        CopyWholeCharacters(g_szInstallRootFolder, sizeof(g_szInstallRootFolder), m_strRootProgFolder.GetString());
      break;
    case 21:
      m_strUninstDisplayName = value;
      if (value.GetLength() > 1) CopyWholeCharacters(g_szUninstallDisplayName, sizeof(g_szUninstallDisplayName), text);
      break;
    case 22: IconFileName = value; break;
    case 23: IconName = value; break;
    case 24: IconTarget = value; break;
    case 25: IconDesc = value; break;
    case 26: g_nShowDefStartPageSet = LeadingNumber(value); break;
    case 27:
      if (IsYesOrOne(value)) g_nIsURLShortCut = 1;
      break;
    case 28: m_strExtraIconFileURL = value; break;
    case 29: m_strExtraIconFileName = value; break;
    case 30: m_strExtraIconURL = value; break;
    case 31: m_strExtraIconDesc = value; break;
    case 32: m_strExtraIconVersion = value; break;
    case 33:
      if (IsYesOrOne(value)) {
        m_nInstallParameter = 1;
        g_nInstallParameter = 1;
      }
      break;
    default:  // InstallFileList, DeleteFileList: the key id alone
      break;
  }
  return 1;
}

void CSentenceParse::TakeListItems(const CStringA& line, int installed_version, PatchFileLists* lists) const {
  if (!lists) return;
  CStringA item;
  for (int index = 0; AfxExtractSubString(item, line.GetString(), index, ','); ++index) {
    item = TrimScript(item);
    if (item.IsEmpty()) continue;
    if (m_nKeyId == kKeyDeleteFileList) {
      lists->AppendDeleteFile(item.GetString());
      continue;
    }
    int colon = item.Find(':');
    CStringA name = colon < 0 ? item : item.Left(colon);
    CStringA hash = colon < 0 ? CStringA() : item.Mid(colon + 1);
    if (m_nKeyId == kKeyUpdateFileList) {
      if (installed_version < m_nUpdateBlockVersion)
        lists->AddFileEntry(name.GetString(), hash.GetString(), m_nUpdateBlockVersion, 1);
    } else if (m_nKeyId == kKeyInstallFileList) {
      lists->AppendInstallFile(name.GetString(), hash.GetString());
    }
  }
}

// ---- the download's pure parts ----

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
