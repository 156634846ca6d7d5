// The patch script's parser: CSentenceParse with every value of the script,
// the optional file-list receiver PatchFileLists, the process-wide values the
// script sets, and the pure halves of the download (attempt plan, address
// rebuild, line splitting and final checks). Texts are in the ANSI code page.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "framework/cstring.h"

// 0x00BBGGRR, as the platform defines it (an identical typedef may follow).
typedef unsigned long COLORREF;

// String ids of the patch script's messages (update wizard string table).
enum PatchScriptTextId : unsigned {
  kPatchTextUnknownSyntax = 1,
  kPatchTextBadGroupOpen = 2,
  kPatchTextBadGroupClose = 3,
  kPatchTextNoVersion = 4,
  kPatchTextNoHeader = 5,
  kPatchTextNullString = 6,
  kPatchTextDownloadError = 7,
  kPatchTextErrorCaption = 8,
  kPatchTextParseCaption = 9,
  kPatchTextNoScript = 10,
  kPatchTextNoProgramName = 11,
  kPatchTextWrongProgramName = 12,
  kPatchTextNoInstallUrl = 13,
  kPatchTextInternetException = 57381,
};

// Longest line, without its line feed, that the parser takes.
constexpr int kMaxPatchScriptLineLength = 1023;

// Longest script body that the download takes, declared or received: a
// script is a small text (the avatar script a few hundred bytes, a full
// installer's file lists some ten thousand lines), and the whole body is held
// in memory.
constexpr unsigned long kMaxPatchScriptBytes = 4ul << 20;

// Sets out to string id of the update wizard's string table (empty when it is
// missing). Windows: the module of GetResourceInstance; natively "#<id>".
void LoadPatchScriptText(unsigned id, CStringA& out);

// One file of an update block (140 bytes in the 32-bit program).
struct PatchFileEntry {
  int32_t nBlockVersion;
  char szName[64];
  int32_t nFlag;
  char szHash[64];
  PatchFileEntry* pNext;
};
static_assert(sizeof(void*) != 4 || sizeof(PatchFileEntry) == 140, "PatchFileEntry is 140 bytes");

// Receiver of the script's file lists; owned by the caller.
class PatchFileLists {
 public:
  PatchFileLists() = default;
  ~PatchFileLists();
  PatchFileLists(const PatchFileLists&) = delete;
  PatchFileLists& operator=(const PatchFileLists&) = delete;

  // Sets the entry count to 0 (the entries stay).
  void ResetEntryCount();
  // Appends an entry (name and hash cut to 63 bytes) unless one with the same
  // name, ignoring case, is already listed; then adds 1 to the entry count.
  void AddFileEntry(const char* name, const char* hash, int block_version, int flag);
  // Sets the full-install address.
  void SetInstallUrl(const char* text);
  // Sets the hash of the first install pair; nothing when there is none.
  void SetFirstInstallHash(const char* text);
  // Appends an install pair; returns the new number of pairs.
  int AppendInstallFile(const char* name, const char* hash);
  // Appends a name to the delete list; returns the new number of names.
  int AppendDeleteFile(const char* name);

  CStringA m_strInstallUrl;
  int m_nEntryCount = 0;
  PatchFileEntry* m_pFirstEntry = nullptr;
  std::vector<std::pair<CStringA, CStringA>> m_installFiles;
  std::vector<CStringA> m_deleteFiles;

 private:
  // The last entry of the list and the lower-cased names of all entries.
  PatchFileEntry* m_pLastEntry = nullptr;
  std::unordered_set<std::string> m_entryNames;
};

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
  int ApplyKey(int key_id, const CStringA& value, int installed_version, PatchFileLists* lists, unsigned& message);
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

// The patch-server list: roots ("http://host:port/") joined by ";". Set by
// the wizard's start-up, read by the retrying download.
extern CStringA g_strPatchServerList;

// The test-server prefix: addresses beginning with it get a single attempt.
extern const char kPatchTestServerPrefix[];

// Number of attempts for a script: 1 for an address beginning with the
// test-server prefix or a name containing "Avatar" (any case), else 3.
int PatchScriptAttemptCount(const char* name, const char* address);

// The address of fallback attempt root_index: root root_index of server_list
// followed by address's path after its host.
CStringA RebuildPatchScriptAddress(const char* address, const char* server_list, int root_index);

// One attempt: (address, quiet) -> 1 or 0.
using PatchScriptAttempt = std::function<int(const char* address, int quiet)>;

// Runs the attempts of a retrying download through attempt: every one but the
// last quiet, the address rebuilt (and stored into address) before each
// fallback. Returns 1 at the first success, else 0.
int RunPatchScriptAttempts(const char* name, CStringA& address, const char* server_list,
                           const PatchScriptAttempt& attempt);

// Feeds body (up to its first NUL) line by line to parser and runs the final
// checks. Returns 1 when all passed; else 0 and *failure_text the message to
// show: 0 for the parser's error text (caption 9), 10 to 13 (caption 8).
int ParsePatchScriptBody(const char* body, const char* name, CSentenceParse& parser, PatchFileLists* lists,
                         int installed_version, unsigned* failure_text);
