// Fuzz entry of the version block's translation table.
//
// Input: two bytes of user language, then the table (exactly the input's
// size, so a read past it shows). Checks: the choice is an entry of the
// table and the best one by a plain ranking of the preference order; a
// refusal (no whole entry) leaves the output alone, as a failed lookup does.
#include <vector>

#include "_Common/fileversioninfo_translation.h"
#include "tests/support/fuzzsupport.h"

namespace {

// Lower is better: exact user language, its primary language, neutral
// (exact, then primary), English (exact, then primary), anything else.
int Rank(uint32_t entry, uint16_t user) {
  const uint16_t language = entry & 0xFFFF;
  const struct {
    uint16_t language;
    bool primary;
  } order[] = {{user, false}, {user, true}, {0, false}, {0, true}, {9, false}, {9, true}};
  for (int rank = 0; rank < 6; ++rank) {
    if (order[rank].primary ? (language & 0xFF) == (order[rank].language & 0xFF) : language == order[rank].language) {
      return rank;
    }
  }
  return 6;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zkfuzz::Input input(data, size);
  const uint16_t user = input.Word();
  const std::string rest = input.Rest();
  std::vector<unsigned char> table(rest.begin(), rest.end());
  const uint32_t table_size = static_cast<uint32_t>(table.size());
  std::vector<uint32_t> entries;
  for (size_t at = 0; at + 4 <= table.size(); at += 4) {
    entries.push_back(table[at] | table[at + 1] << 8 | table[at + 2] << 16 | uint32_t(table[at + 3]) << 24);
  }

  VersionTranslation chosen = 0xDEADBEEF;
  const bool found = ChooseTranslation(table.data(), table_size, user, &chosen);
  ZK_FUZZ_CHECK(found == !entries.empty());
  if (!found) {
    ZK_FUZZ_CHECK(chosen == 0xDEADBEEF);
  } else {
    size_t best = 0;
    for (size_t i = 1; i < entries.size(); ++i) {
      if (Rank(entries[i], user) < Rank(entries[best], user)) best = i;
    }
    ZK_FUZZ_CHECK(chosen == entries[best]);
  }

  VersionTranslation selected = 0xDEADBEEF;
  const bool exact = SelectTranslationEntry(table.data(), table_size, user, &selected, false);
  bool any_exact = false;
  for (uint32_t entry : entries) any_exact = any_exact || (entry & 0xFFFF) == user;
  ZK_FUZZ_CHECK(exact == any_exact);
  if (!exact) ZK_FUZZ_CHECK(selected == 0xDEADBEEF);
  else ZK_FUZZ_CHECK((selected & 0xFFFF) == user);
  return 0;
}
