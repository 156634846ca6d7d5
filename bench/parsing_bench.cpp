// Growth of the two list parsers with the size of their input: the starter's
// name/value pairs and the patch script's update file list, each at 2 MB /
// 100,000 items beside ten times the same parser's time at a tenth of the
// input, in the same run. A parser that is linear in its input keeps the
// ratio near 1 (up to 2: at the full size its 100,000 entries no longer fit
// the caches); one that copies or rescans the rest of its input per item
// shows about 10. Prints BENCH lines (format in bench/CMakeLists.txt).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <thread>

#include "starter/intake.h"
#include "updatewizard/patchscript.h"
#include "updatewizard/patchscriptdownload.h"

namespace {

constexpr int kItems = 100000;
constexpr int kLimitSeconds = 60;

double Seconds(const std::function<void()>& run) {
  const auto start = std::chrono::steady_clock::now();
  run();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Best of three runs of the parser over the input for `items` items.
double BestSeconds(int items, const std::function<void(int)>& parse) {
  double best = 1e30;
  for (int round = 0; round < 3; ++round) best = std::min(best, Seconds([&] { parse(items); }));
  return best;
}

// One run at the full size on a thread of its own, waited for at most
// kLimitSeconds: a quadratic parser takes many minutes there. Negative when
// the run did not end in time (the thread is left to the process's end).
double LimitedSeconds(int items, const std::function<void(int)>& parse) {
  auto result = std::make_shared<std::promise<double>>();
  std::future<double> done = result->get_future();
  std::thread([=] { result->set_value(Seconds([&] { parse(items); })); }).detach();
  if (done.wait_for(std::chrono::seconds(kLimitSeconds)) != std::future_status::ready) return -1;
  return done.get();
}

void Report(const char* name, const std::function<void(int)>& parse) {
  const double tenth = BestSeconds(kItems / 10, parse);
  const double full = LimitedSeconds(kItems, parse);
  if (full < 0) {
    std::printf("BENCH %s >%d s ten-times-a-tenth %.4f >%.1f <=2\n", name, kLimitSeconds, 10 * tenth,
                kLimitSeconds / (10 * tenth));
    return;
  }
  // The tenth is the best of three runs: so is the full size, once a first
  // run has shown that it ends in time.
  const double best = std::min(full, BestSeconds(kItems, parse));
  std::printf("BENCH %s %.4f s ten-times-a-tenth %.4f %.3f <=2\n", name, best, 10 * tenth, best / (10 * tenth));
}

// key00001="value-00001", ... : about 21 characters an item.
CString PairText(int items) {
  std::wstring text;
  wchar_t item[40];
  for (int i = 0; i < items; ++i) {
    std::swprintf(item, 40, L"k%05d=\"value-%05d\", ", i, i);
    text += item;
  }
  return CString(text.c_str());
}

// A patch script whose one update block lists `items` files, about 20 bytes
// an item, on lines of up to 1000 bytes.
std::string ScriptText(int items) {
  std::string text = "[CorvaliseUpdateFile]\nProgramName game\nFullInstallFileURL http://127.0.0.1/game.exe\n"
                     "UpdateFileList 2\n{\n";
  std::string line;
  char item[40];
  for (int i = 0; i < items; ++i) {
    std::snprintf(item, sizeof item, "f%06d.dat:%08x,", i, i * 2654435761u);
    if (line.size() + std::char_traits<char>::length(item) > 1000) {
      text += line + "\n";
      line.clear();
    }
    line += item;
  }
  return text + line + "\n}\n";
}

}  // namespace

int main() {
  Report("starter-pairs-2MB-100000", [](int items) {
    CString text = PairText(items);
    StarterPairMap pairs;
    ParseParameterPairs(text, pairs);
    if (static_cast<int>(pairs.size()) != items) std::printf("MISMATCH: %zu pairs of %d\n", pairs.size(), items);
  });
  Report("patchscript-list-2MB-100000", [](int items) {
    const std::string script = ScriptText(items);
    CSentenceParse parser;
    PatchFileLists lists;
    ParsePatchScriptBody(script.c_str(), "game", parser, &lists, 1, nullptr);
    int listed = 0;
    for (const PatchFileEntry* entry = lists.m_pFirstEntry; entry; entry = entry->pNext) ++listed;
    if (listed != items) std::printf("MISMATCH: %d entries of %d\n", listed, items);
  });
  std::fflush(stdout);
  // A parser still running past its limit must not hold the process.
  std::_Exit(0);
}
