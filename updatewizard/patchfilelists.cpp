// PatchFileLists: the file lists that a patch script names.
#include "updatewizard/patchfilelists.h"

#include <cstring>
#include <new>

#include "framework/strings.h"

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
