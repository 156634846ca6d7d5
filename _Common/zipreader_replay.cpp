// Replays a corpus of archives through the zip reader's fuzz entry: every
// regular file under the folders given on the command line.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "_Common/zipreader_fuzz.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s corpus-folder...\n", argv[0]);
    return 2;
  }
  int count = 0;
  for (int i = 1; i < argc; ++i) {
    std::error_code error;
    for (const auto& item : std::filesystem::recursive_directory_iterator(argv[i], error)) {
      if (!item.is_regular_file()) continue;
      std::ifstream in(item.path(), std::ios::binary);
      std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      ZipReaderFuzzOne(data.data(), data.size());
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
