// The patch script's parser: CSentenceParse with every value of the script and
// the process-wide values the script sets. Texts are in the ANSI code page.
#pragma once

#include "framework/cstring.h"
#include "updatewizard/patchfilelists.h"
#include "updatewizard/resource_ids.h"

// 0x00BBGGRR, as the platform defines it (an identical typedef may follow).
typedef unsigned long COLORREF;

// String ids of the patch script's messages (update wizard string table).
enum PatchScriptTextId : unsigned {
  kPatchTextUnknownSyntax = IDS_PATCH_UNKNOWN_SYNTAX,
  kPatchTextBadGroupOpen = IDS_PATCH_BAD_GROUP_OPEN,
  kPatchTextBadGroupClose = IDS_PATCH_BAD_GROUP_CLOSE,
  kPatchTextNoVersion = IDS_PATCH_NO_VERSION,
  kPatchTextNoHeader = IDS_PATCH_NO_HEADER,
  kPatchTextNullString = IDS_PATCH_NULL_STRING,
  kPatchTextDownloadError = IDS_PATCH_DOWNLOAD_ERROR,
  kPatchTextErrorCaption = IDS_PATCH_ERROR_CAPTION,
  kPatchTextParseCaption = IDS_PATCH_PARSE_CAPTION,
  kPatchTextNoScript = IDS_PATCH_NO_SCRIPT,
  kPatchTextNoProgramName = IDS_PATCH_NO_PROGRAM_NAME,
  kPatchTextWrongProgramName = IDS_PATCH_WRONG_PROGRAM_NAME,
  kPatchTextNoInstallUrl = IDS_PATCH_NO_INSTALL_URL,
  kPatchTextInternetException = IDS_PATCH_INTERNET_EXCEPTION,
};

// Longest line, without its line feed, that the parser takes.
constexpr int kMaxPatchScriptLineLength = 1023;

// Sets out to string id of the update wizard's string table (empty when it is
// missing). Windows: the module of GetResourceInstance; natively "#<id>".
void LoadPatchScriptText(unsigned id, CStringA& out);

// Holder of every value of a patch script; fed one line at a time.
class CSentenceParse {
 public:
  CSentenceParse() = default;
  virtual ~CSentenceParse() = default;

  // Parses one line (NULL: no line). Returns 1 when the line was taken, 0 on
  // a syntax error, leaving "Line %d : %s" in m_strError.
  int ParseLine(const char* line, int installed_version, PatchFileLists* lists);
  // Colour of an "RRGGBB" text (trimmed; a missing sixth digit counts as 0).
  // kInvalidColour for a text of fewer than 5 characters.
  static COLORREF ParseColour(const char* text);
  static constexpr COLORREF kInvalidColour = 0xFFFFFFFFul;

  int m_nHeaderSeen = 0;
  int m_nKeyId = 0;
  int m_nListOpen = 0;
  int m_nUpdateBlockVersion = 0;
  int m_nExtraFileListNumber = 0;
  int m_nMinUpdateVersion = 0;
  int m_nHighestUpdateVersion = 0;
  int m_nInstalledVersionListed = 0;
  int m_nEXEZipFile = 0;
  int m_nInstallParameter = 0;
  int m_nLineCount = 0;
  CStringA m_strError;
  CStringA m_strProgramName;
  CStringA m_strFullInstallFileURL;
  CStringA m_strFullInstallFileHash;
  CStringA m_strUpdateBaseURL;
  CStringA m_strExtraBaseURL;
  CStringA m_strBaseClientFolder;
  CStringA m_strDisplayName;
  CStringA m_strRootProgFolder;
  CStringA m_strUninstDisplayName;
  CStringA m_strWizardFile;
  CStringA m_strWizardVersion;
  CStringA m_strWizardFileHash;
  COLORREF m_clrWizardBackColor = 0xEAEAEB;
  COLORREF m_clrWizardText = 0;
  COLORREF m_clrWizardLineColor = 0xD4CFD0;
  COLORREF m_clrWizardDisableTextColor = 0xC4C4C4;
  CStringA m_strWizardBackImageURL;
  CStringA m_strExtraIconFileURL;
  CStringA m_strExtraIconFileName;
  CStringA m_strExtraIconURL;
  CStringA m_strExtraIconDesc;
  CStringA m_strExtraIconVersion;

 private:
  void TakeListItems(const CStringA& line, int installed_version, PatchFileLists* lists) const;
  int Fail(unsigned message);
};

// Process-wide values that the parser writes (nothing else reads them).
extern char g_szInstallRootFolder[96];     // initially "Corvalise\"
extern char g_szUninstallDisplayName[96];  // initially the product's Korean name
extern CStringA IconFileName;
extern CStringA IconName;
extern CStringA IconTarget;
extern CStringA IconDesc;
extern int g_nIsURLShortCut;        // 0
extern int g_nInstallParameter;     // 0
extern int g_nShowDefStartPageSet;  // 1
