// Choice of the translation whose string values a version block is read in.
#include "_Common/fileversioninfo_translation.h"

#include <cstring>

namespace {

const uint32_t kEntrySize = 4;

// The table comes straight out of a resource block; entries are read through
// memcpy because nothing promises their alignment.
VersionTranslation EntryAt(const void* table, uint32_t offset) {
  VersionTranslation entry;
  std::memcpy(&entry, static_cast<const unsigned char*>(table) + offset, kEntrySize);
  return entry;
}

uint32_t WholeEntriesSize(uint32_t tableSize) { return tableSize - tableSize % kEntrySize; }

}  // namespace

bool SelectTranslationEntry(const void* table, uint32_t tableSize, uint16_t language,
                            VersionTranslation* translation, bool allowPrimaryMatch) {
  if (!table) return false;
  const uint32_t end = WholeEntriesSize(tableSize);
  for (uint32_t offset = 0; offset < end; offset += kEntrySize) {
    VersionTranslation entry = EntryAt(table, offset);
    if ((entry & 0xFFFF) == language) {
      *translation = entry;
      return true;
    }
  }
  if (!allowPrimaryMatch) return false;
  // A second walk, so that an exact match anywhere beats a primary one.
  for (uint32_t offset = 0; offset < end; offset += kEntrySize) {
    VersionTranslation entry = EntryAt(table, offset);
    if ((entry & 0xFF) == (language & 0xFF)) {
      *translation = entry;
      return true;
    }
  }
  return false;
}

bool ChooseTranslation(const void* table, uint32_t tableSize, uint16_t userLanguage,
                       VersionTranslation* translation) {
  if (!table || WholeEntriesSize(tableSize) == 0) return false;
  const uint16_t kNeutral = 0x0000;
  const uint16_t kEnglish = 0x0009;
  if (SelectTranslationEntry(table, tableSize, userLanguage, translation, false) ||
      SelectTranslationEntry(table, tableSize, userLanguage, translation, true) ||
      SelectTranslationEntry(table, tableSize, kNeutral, translation, true) ||
      SelectTranslationEntry(table, tableSize, kEnglish, translation, true))
    return true;
  *translation = EntryAt(table, 0);
  return true;
}
