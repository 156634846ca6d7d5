// Benchmark: the starter's parse of 2 MB of decrypted pair text, beside a
// bare scan of the same text into a standard map (the least work any parse
// of it needs), measured in the same run.
//   parse_starter_bench [megabytes]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "starter/intake.h"

namespace {

// Items key="value" with distinct keys, one comma and a blank between items,
// as a web page writes them.
std::wstring MakePairText(size_t bytes) {
  std::wstring text;
  text.reserve(bytes + 64);
  for (unsigned i = 0; text.size() < bytes; ++i) {
    text += L"Key" + std::to_wstring(i) + L"=\"value number " + std::to_wstring(i) + L"\", ";
  }
  return text;
}

// The reference: one pass over the text, each key and value copied once.
size_t ScanIntoMap(const std::wstring& text) {
  std::map<std::wstring, std::wstring> pairs;
  size_t at = 0;
  while (at < text.size()) {
    size_t equals = text.find(L'=', at), open = text.find(L'"', at);
    if (equals == std::wstring::npos || open == std::wstring::npos) break;
    size_t close = text.find(L'"', open + 1);
    if (close == std::wstring::npos) break;
    pairs[text.substr(at, equals - at)] = text.substr(open + 1, close - open - 1);
    at = close + 3;
  }
  return pairs.size();
}

template <typename Work>
double Seconds(Work work) {
  auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  double megabytes = argc > 1 ? std::atof(argv[1]) : 2.0;
  if (megabytes <= 0) megabytes = 2.0;
  std::wstring text = MakePairText(static_cast<size_t>(megabytes * 1024 * 1024));

  size_t parsed = 0, scanned = 0;
  double ours = Seconds([&] {
    CString pairText(text.c_str(), static_cast<int>(text.size()));
    StarterPairMap pairs;
    ParseParameterPairs(pairText, pairs);
    parsed = pairs.size();
  });
  double reference = Seconds([&] { scanned = ScanIntoMap(text); });
  if (parsed != scanned) {
    std::fprintf(stderr, "the parse found %zu pairs, the scan %zu\n", parsed, scanned);
    return 1;
  }
  std::printf("pairs: %zu in %.0f characters\n", parsed, static_cast<double>(text.size()));
  std::printf("BENCH starter-parse-pairs-%gMB %.4f s bare-scan %.4f %.2f <=4\n", megabytes, ours, reference,
              ours / reference);
  return 0;
}
