// Replays corpora through a fuzz driver without libFuzzer: every regular
// file under the folders (or the files) given on the command line.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "tests/support/fuzzsupport.h"

namespace {

void ReplayFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  // A heap block of exactly the file's size, so that a read past the input shows.
  std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  LLVMFuzzerTestOneInput(data.empty() ? nullptr : data.data(), data.size());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s corpus-folder-or-file...\n", argv[0]);
    return 2;
  }
  int count = 0;
  for (int i = 1; i < argc; ++i) {
    std::error_code error;
    if (std::filesystem::is_regular_file(argv[i], error)) {
      ReplayFile(argv[i]);
      ++count;
      continue;
    }
    for (const auto& item : std::filesystem::recursive_directory_iterator(argv[i], error)) {
      if (!item.is_regular_file()) continue;
      ReplayFile(item.path());
      ++count;
    }
    if (error) {
      std::fprintf(stderr, "cannot read %s\n", argv[i]);
      return 2;
    }
  }
  std::printf("replayed %d inputs\n", count);
  return count > 0 ? 0 : 1;
}
