// PatchFileLists: the receiver of the file lists of a patch script, and its entries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "framework/cstring.h"

// Copies text into a buffer of size bytes with its NUL, cut where it must be
// but never inside a double-byte character of the ANSI code page.
void CopyWholeCharacters(char* buffer, size_t size, const char* text);

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
