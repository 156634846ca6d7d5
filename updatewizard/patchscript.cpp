// The patch script's parser: its keys, their values and the file lists they open.
#include "updatewizard/patchscript.h"

#include <climits>
#include <cstring>
#include <new>

#include "_Common/zkcommonfunc.h"
#include "_Common/zkfilehashinfo.h"
#include "framework/strings.h"

char g_szInstallRootFolder[96] = "Corvalise\\";
char g_szUninstallDisplayName[96] = "\xc4\xda\xb8\xa3\xb9\xdf";
CStringA IconFileName;
CStringA IconName;
CStringA IconTarget;
CStringA IconDesc;
int g_nIsURLShortCut = 0;
int g_nInstallParameter = 0;
int g_nShowDefStartPageSet = 1;

namespace {

// The id that a key leaves in m_nKeyId; the three structural keys leave it
// as it was (the group marks close a list).
enum KeyId {
  kKeyNone = 0,
  kKeyHeader = 1,
  kKeyProgramName = 2,
  kKeyBaseClientFolder = 3,
  kKeyDisplayName = 4,
  kKeyFullInstallFileUrl = 5,
  kKeyFullInstallFileHash = 6,
  kKeyUpdateBaseUrl = 7,
  kKeyExtraBaseUrl = 8,
  kKeyExtraFileList = 9,
  kKeyUpdateFileList = 10,
  kKeyWizardBackColor = 11,
  kKeyWizardText = 12,
  kKeyWizardLineColor = 13,
  kKeyWizardDisableTextColor = 14,
  kKeyWizardBackImageUrl = 15,
  kKeyWizardFile = 16,
  kKeyWizardVersion = 17,
  kKeyWizardFileHash = 18,
  kKeyExeZipFile = 19,
  kKeyRootProgFolder = 20,
  kKeyUninstDisplayName = 21,
  kKeyIconFileName = 22,
  kKeyIconName = 23,
  kKeyIconTarget = 24,
  kKeyIconDesc = 25,
  kKeyShowDefStartPageSet = 26,
  kKeyIsUrlShortCut = 27,
  kKeyExtraIconFileUrl = 28,
  kKeyExtraIconFileName = 29,
  kKeyExtraIconUrl = 30,
  kKeyExtraIconDesc = 31,
  kKeyExtraIconVersion = 32,
  kKeyInstallParameter = 33,
  kKeyInstallFileList = 34,
  kKeyDeleteFileList = 35,
  kKeyMinUpdateVersion = -1,
  kKeyGroupOpen = -2,
  kKeyGroupClose = -3,
};

CStringA TrimScript(const CStringA& text) {
  CStringA copy(text);
  copy.Trim(" \t\r\n\v\f");
  return copy;
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

// What a key's setter works on: the script's values, the key's value, and
// the text to report when the value is refused.
struct KeyLine {
  CSentenceParse& script;
  const CStringA& value;
  int installed_version;
  PatchFileLists* lists;
  unsigned& message;
};

// Takes a key's value; false (with line.message set) when it is refused.
using KeySetter = bool (*)(KeyLine& line);

template <CStringA CSentenceParse::*field>
bool SetText(KeyLine& line) {
  line.script.*field = line.value;
  return true;
}

template <CStringA* global>
bool SetGlobalText(KeyLine& line) {
  *global = line.value;
  return true;
}

// A value too short to be a colour leaves the colour as it was.
template <COLORREF CSentenceParse::*field>
bool SetColour(KeyLine& line) {
  COLORREF colour = CSentenceParse::ParseColour(line.value.GetString());
  if (colour != CSentenceParse::kInvalidColour) line.script.*field = colour;
  return true;
}

// The value's leading number; false when it starts with no digit.
bool TakeVersion(KeyLine& line, int* number) {
  line.message = kPatchTextNoVersion;
  if (!StartsWithDigit(line.value)) return false;
  *number = LeadingNumber(line.value);
  return true;
}

bool SetProgramName(KeyLine& line) {
  CSentenceParse& s = line.script;
  s.m_strProgramName = line.value;
  if (s.m_strBaseClientFolder.IsEmpty()) s.m_strBaseClientFolder = line.value;
  if (s.m_strDisplayName.IsEmpty()) s.m_strDisplayName = line.value;
  return true;
}

bool SetFullInstallFileUrl(KeyLine& line) {
  line.script.m_strFullInstallFileURL = line.value;
  if (line.lists) {
    line.lists->AppendInstallFile(line.value.GetString(), "");
    line.lists->SetInstallUrl(line.value.GetString());
  }
  return true;
}

bool SetFullInstallFileHash(KeyLine& line) {
  line.script.m_strFullInstallFileHash = line.value;
  if (line.lists) line.lists->SetFirstInstallHash(line.value.GetString());
  return true;
}

bool SetExtraFileList(KeyLine& line) { return TakeVersion(line, &line.script.m_nExtraFileListNumber); }

bool SetUpdateFileList(KeyLine& line) {
  CSentenceParse& s = line.script;
  if (!TakeVersion(line, &s.m_nUpdateBlockVersion)) return false;
  if (s.m_nUpdateBlockVersion > s.m_nHighestUpdateVersion) s.m_nHighestUpdateVersion = s.m_nUpdateBlockVersion;
  if (s.m_nUpdateBlockVersion == line.installed_version) s.m_nInstalledVersionListed = 1;
  return true;
}

// Stored whatever the decryption gives, also when it fails.
bool SetWizardFileHash(KeyLine& line) {
  CStringA hex;
  DecryptHashValue(line.value.GetString(), hex, nullptr, nullptr);
  line.script.m_strWizardFileHash = hex;
  return true;
}

bool SetExeZipFile(KeyLine& line) {
  if (IsYesOrOne(line.value)) line.script.m_nEXEZipFile = 1;
  return true;
}

bool SetRootProgFolder(KeyLine& line) {
  CStringA& folder = line.script.m_strRootProgFolder;
  folder = line.value + "\\";
  if (folder.GetLength() > 1) CopyWholeCharacters(g_szInstallRootFolder, sizeof(g_szInstallRootFolder), folder.GetString());
  return true;
}

bool SetUninstDisplayName(KeyLine& line) {
  line.script.m_strUninstDisplayName = line.value;
  if (line.value.GetLength() > 1)
    CopyWholeCharacters(g_szUninstallDisplayName, sizeof(g_szUninstallDisplayName), line.value.GetString());
  return true;
}

bool SetShowDefStartPageSet(KeyLine& line) {
  g_nShowDefStartPageSet = LeadingNumber(line.value);
  return true;
}

bool SetIsUrlShortCut(KeyLine& line) {
  if (IsYesOrOne(line.value)) g_nIsURLShortCut = 1;
  return true;
}

bool SetInstallParameter(KeyLine& line) {
  if (IsYesOrOne(line.value)) {
    line.script.m_nInstallParameter = 1;
    g_nInstallParameter = 1;
  }
  return true;
}

bool SetMinUpdateVersion(KeyLine& line) { return TakeVersion(line, &line.script.m_nMinUpdateVersion); }

// "{" opens the list of the key before it, which must be a list key.
bool OpenGroup(KeyLine& line) {
  line.message = kPatchTextBadGroupOpen;
  if (!IsListKey(line.script.m_nKeyId)) return false;
  line.script.m_nListOpen = 1;
  return true;
}

bool CloseGroup(KeyLine& line) {
  line.message = kPatchTextBadGroupClose;
  if (!IsListKey(line.script.m_nKeyId)) return false;
  line.script.m_nListOpen = 0;
  line.script.m_nKeyId = kKeyNone;
  return true;
}

struct ScriptKey {
  const char* text;
  int id;
  KeySetter set;  // null: the key's id alone counts
};

// Every key of the script, compared ignoring case; the first match wins.
const ScriptKey kKeys[] = {
    {"[CorvaliseUpdateFile]", kKeyHeader, nullptr},
    {"ProgramName", kKeyProgramName, SetProgramName},
    {"BaseClientFolder", kKeyBaseClientFolder, SetText<&CSentenceParse::m_strBaseClientFolder>},
    {"DisplayName", kKeyDisplayName, SetText<&CSentenceParse::m_strDisplayName>},
    {"FullInstallFileURL", kKeyFullInstallFileUrl, SetFullInstallFileUrl},
    {"FullInstallFileHash", kKeyFullInstallFileHash, SetFullInstallFileHash},
    {"UpdateBaseURL", kKeyUpdateBaseUrl, SetText<&CSentenceParse::m_strUpdateBaseURL>},
    {"ExtraBaseURL", kKeyExtraBaseUrl, SetText<&CSentenceParse::m_strExtraBaseURL>},
    {"ExtraFileList", kKeyExtraFileList, SetExtraFileList},
    {"UpdateFileList", kKeyUpdateFileList, SetUpdateFileList},
    {"WizardBackColor", kKeyWizardBackColor, SetColour<&CSentenceParse::m_clrWizardBackColor>},
    {"WizardText", kKeyWizardText, SetColour<&CSentenceParse::m_clrWizardText>},
    {"WizardLineColor", kKeyWizardLineColor, SetColour<&CSentenceParse::m_clrWizardLineColor>},
    {"WizardDisableTextColor", kKeyWizardDisableTextColor, SetColour<&CSentenceParse::m_clrWizardDisableTextColor>},
    {"WizardBackImageURL", kKeyWizardBackImageUrl, SetText<&CSentenceParse::m_strWizardBackImageURL>},
    {"WizardFile", kKeyWizardFile, SetText<&CSentenceParse::m_strWizardFile>},
    {"WizardVersion", kKeyWizardVersion, SetText<&CSentenceParse::m_strWizardVersion>},
    {"WizardFileHash", kKeyWizardFileHash, SetWizardFileHash},
    {"EXEZipFile", kKeyExeZipFile, SetExeZipFile},
    {"RootProgFolder", kKeyRootProgFolder, SetRootProgFolder},
    {"UninstDisplayName", kKeyUninstDisplayName, SetUninstDisplayName},
    {"IconFileName", kKeyIconFileName, SetGlobalText<&IconFileName>},
    {"IconName", kKeyIconName, SetGlobalText<&IconName>},
    {"IconTarget", kKeyIconTarget, SetGlobalText<&IconTarget>},
    {"IconDesc", kKeyIconDesc, SetGlobalText<&IconDesc>},
    {"ShowDefStartPageSet", kKeyShowDefStartPageSet, SetShowDefStartPageSet},
    {"IsURLShortCut", kKeyIsUrlShortCut, SetIsUrlShortCut},
    {"ExtraIconFileURL", kKeyExtraIconFileUrl, SetText<&CSentenceParse::m_strExtraIconFileURL>},
    {"ExtraIconFileName", kKeyExtraIconFileName, SetText<&CSentenceParse::m_strExtraIconFileName>},
    {"ExtraIconURL", kKeyExtraIconUrl, SetText<&CSentenceParse::m_strExtraIconURL>},
    {"ExtraIconDesc", kKeyExtraIconDesc, SetText<&CSentenceParse::m_strExtraIconDesc>},
    {"ExtraIconVersion", kKeyExtraIconVersion, SetText<&CSentenceParse::m_strExtraIconVersion>},
    {"InstallParameter", kKeyInstallParameter, SetInstallParameter},
    {"InstallParam", kKeyInstallParameter, SetInstallParameter},
    {"InstallFileList", kKeyInstallFileList, nullptr},
    {"DeleteFileList", kKeyDeleteFileList, nullptr},
    {"MinUpdateVersion", kKeyMinUpdateVersion, SetMinUpdateVersion},
    {"{", kKeyGroupOpen, OpenGroup},
    {"}", kKeyGroupClose, CloseGroup},
};

const ScriptKey* FindKey(const CStringA& key) {
  for (const ScriptKey& entry : kKeys)
    if (key.CompareNoCase(entry.text) == 0) return &entry;
  return nullptr;
}

// A key of the script's own (not a structural mark) becomes the current key
// before its value is looked at, also when the value is then refused.
bool ApplyKey(const ScriptKey& key, KeyLine& line) {
  if (key.id > 0) line.script.m_nKeyId = key.id;
  return key.set ? key.set(line) : true;
}

}  // namespace

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

  const ScriptKey* found = FindKey(key);
  int id = found ? found->id : kKeyNone;
  if (id == kKeyHeader) {
    m_nHeaderSeen = 1;
    m_nKeyId = kKeyHeader;
    return 1;
  }
  if (!m_nHeaderSeen) return Fail(kPatchTextNoHeader);
  if (found) {
    KeyLine keyLine{*this, value, installed_version, lists, message};
    return ApplyKey(*found, keyLine) ? 1 : Fail(message);
  }
  if (!m_nListOpen) return Fail(kPatchTextUnknownSyntax);
  TakeListItems(text, installed_version, lists);
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
