// Speed of the patch-script parser on a script whose update blocks list
// 100,000 files (one in ten a repeat in another letter case), beside a
// reference measured in the same run: the same names lower-cased into a hash
// set, which is the least any duplicate test has to do. A parser that walks
// the list for every file takes thousands of times the reference here.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <unordered_set>
#include <vector>

#include "updatewizard/patchscript.h"

namespace {

constexpr int kItems = 100000;
constexpr int kItemsPerLine = 10;  // lines stay below the 1023-byte limit
constexpr int kRounds = 3;

// Item i names file i % 90000 (so items 90000 and later repeat earlier ones),
// every repeat written in upper case.
std::string ItemName(int i) {
  char name[64];
  std::snprintf(name, sizeof name, i < 90000 ? "data/pack%05d.pak" : "DATA/PACK%05d.PAK", i % 90000);
  return name;
}

std::string BuildScript() {
  std::string script = "[CorvaliseUpdateFile]\nProgramName Bench\nFullInstallFileURL http://127.0.0.1/full.exe\n";
  for (int i = 0; i < kItems;) {
    if (i % 10000 == 0) script += "UpdateFileList " + std::to_string(2 + i / 10000) + "\n{\n";
    std::string line;
    for (int k = 0; k < kItemsPerLine && i < kItems; ++k, ++i) {
      line += (k ? ", " : "") + ItemName(i) + ":0123456789ABCDEF0123456789ABCDEF01234567";
    }
    script += line + "\n";
    if (i % 10000 == 0) script += "}\n";
  }
  return script;
}

template <typename Run>
double BestSeconds(Run run) {
  double best = 1e30;
  for (int round = 0; round < kRounds; ++round) {
    const auto start = std::chrono::steady_clock::now();
    run();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  return best;
}

}  // namespace

int main() {
  const std::string script = BuildScript();
  int entries = 0;
  const double ours = BestSeconds([&] {
    CSentenceParse parser;
    PatchFileLists lists;
    if (!ParsePatchScriptBody(script.c_str(), "Bench", parser, &lists, 1, nullptr)) {
      std::printf("parse failed: %s\n", parser.m_strError.GetString());
      return;
    }
    entries = 0;
    for (const PatchFileEntry* e = lists.m_pFirstEntry; e; e = e->pNext) ++entries;
  });
  size_t distinct = 0;
  const double reference = BestSeconds([&] {
    std::unordered_set<std::string> names;
    for (int i = 0; i < kItems; ++i) {
      std::string name = ItemName(i);
      std::transform(name.begin(), name.end(), name.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
      });
      names.insert(name);
    }
    distinct = names.size();
  });
  if (static_cast<size_t>(entries) != distinct) {
    std::printf("MISMATCH: %d entries, %zu distinct names\n", entries, distinct);
    return 1;
  }
  // BENCH <name> <value> <unit> <reference> <reference value> <ratio> <goal>
  std::printf("BENCH patchscript-parse-100000-items %.4f s hashset-of-folded-names %.4f %.2f <=10\n", ours,
              reference, ours / reference);
  return 0;
}
