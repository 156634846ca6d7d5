// Choice of the translation (language and code page) whose string values a
// version block is read in.
#pragma once

#include <cstdint>

// A translation-table entry: the language id in the low 16 bits, the code
// page in the high 16 bits.
typedef uint32_t VersionTranslation;

// Walks the table (tableSize bytes, 4 bytes an entry; a trailing partial
// entry is ignored) and stores the first entry whose language id equals
// `language`. When none does and allowPrimaryMatch is set, stores the first
// entry whose primary language (low 8 bits) equals that of `language`.
// Returns false, leaving *translation alone, when nothing matched.
bool SelectTranslationEntry(const void* table, uint32_t tableSize, uint16_t language,
                            VersionTranslation* translation, bool allowPrimaryMatch);

// Chooses the translation to read for a user of `userLanguage`: an exact
// match, then a primary-language match, then the neutral language 0, then
// English (9), then the table's first entry. Returns false only when the
// table holds no whole entry.
bool ChooseTranslation(const void* table, uint32_t tableSize, uint16_t userLanguage,
                       VersionTranslation* translation);
