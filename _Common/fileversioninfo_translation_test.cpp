// Tests of the choice of a version block's translation.
#include "_Common/fileversioninfo_translation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace {

VersionTranslation Entry(uint16_t language, uint16_t codePage) {
  return static_cast<VersionTranslation>(codePage) << 16 | language;
}

// The table in a heap block of exactly its size, so that the sanitizer sees
// any read past its end.
std::unique_ptr<unsigned char[]> HeapTable(const std::vector<VersionTranslation>& entries,
                                           uint32_t size) {
  std::unique_ptr<unsigned char[]> block(new unsigned char[size]);
  std::memset(block.get(), 0, size);
  std::memcpy(block.get(), entries.data(), std::min<size_t>(size, entries.size() * 4));
  return block;
}

struct ChoiceCase {
  const char* what;
  std::vector<VersionTranslation> table;
  uint16_t userLanguage;
  VersionTranslation chosen;
};

TEST(ChooseTranslation, FollowsTheRulesInOrder) {
  const ChoiceCase cases[] = {
      {"no rule matches: the first entry", {Entry(0x0412, 949)}, 0x0409, 0x03B50412},
      {"exact match beats an earlier primary match",
       {Entry(0x0809, 1252), Entry(0x0409, 1252)}, 0x0409, Entry(0x0409, 1252)},
      {"primary-language match", {Entry(0x0809, 1252)}, 0x0409, Entry(0x0809, 1252)},
      {"exact match after a neutral entry", {Entry(0x0000, 1200), Entry(0x0412, 949)}, 0x0412,
       Entry(0x0412, 949)},
      {"neutral language", {Entry(0x0407, 1252), Entry(0x0000, 1200)}, 0x0412,
       Entry(0x0000, 1200)},
      {"neutral by its primary language", {Entry(0x0407, 1252), Entry(0x0400, 1200)}, 0x0412,
       Entry(0x0400, 1200)},
      {"neutral beats English", {Entry(0x0409, 1252), Entry(0x0000, 1200)}, 0x0412,
       Entry(0x0000, 1200)},
      {"English by its primary language", {Entry(0x0407, 1252), Entry(0x0C09, 1252)}, 0x0412,
       Entry(0x0C09, 1252)},
      {"exact English beats primary English", {Entry(0x0C09, 1252), Entry(0x0009, 1252)},
       0x0412, Entry(0x0009, 1252)},
      {"user's primary match beats neutral", {Entry(0x0000, 1200), Entry(0x0812, 949)}, 0x0412,
       Entry(0x0812, 949)},
  };
  for (const ChoiceCase& c : cases) {
    uint32_t size = static_cast<uint32_t>(c.table.size() * 4);
    auto table = HeapTable(c.table, size);
    VersionTranslation chosen = 0xDEADBEEF;
    EXPECT_TRUE(ChooseTranslation(table.get(), size, c.userLanguage, &chosen)) << c.what;
    EXPECT_EQ(chosen, c.chosen) << c.what;
  }
}

TEST(ChooseTranslation, EmptyTableHasNoChoice) {
  VersionTranslation chosen = 7;
  unsigned char bytes[3] = {0x12, 0x04, 0xB5};
  EXPECT_FALSE(ChooseTranslation(bytes, 0, 0x0412, &chosen));
  EXPECT_FALSE(ChooseTranslation(bytes, 3, 0x0412, &chosen));
  EXPECT_FALSE(ChooseTranslation(nullptr, 8, 0x0412, &chosen));
  EXPECT_EQ(chosen, 7u);
}

TEST(ChooseTranslation, IgnoresTrailingPartialEntry) {
  // Six bytes: one entry and half of a second that would match the user.
  auto table = HeapTable({Entry(0x0407, 1252), Entry(0x0412, 949)}, 6);
  VersionTranslation chosen = 0;
  EXPECT_TRUE(ChooseTranslation(table.get(), 6, 0x0412, &chosen));
  EXPECT_EQ(chosen, Entry(0x0407, 1252));
}

TEST(SelectTranslationEntry, PrimaryMatchOnlyWhenAllowed) {
  auto table = HeapTable({Entry(0x0809, 1252)}, 4);
  VersionTranslation chosen = 5;
  EXPECT_FALSE(SelectTranslationEntry(table.get(), 4, 0x0409, &chosen, false));
  EXPECT_EQ(chosen, 5u);
  EXPECT_TRUE(SelectTranslationEntry(table.get(), 4, 0x0409, &chosen, true));
  EXPECT_EQ(chosen, Entry(0x0809, 1252));
  EXPECT_FALSE(SelectTranslationEntry(table.get(), 4, 0x0412, &chosen, true));
}

}  // namespace
