// Fuzz entry of the zip reader over a memory source.
#include "_Common/zipreader_fuzz.h"

#include <vector>

#include "_Common/fuzzsupport.h"
#include "_Common/zipreader.h"

namespace {

constexpr int kMostEntries = 300;
constexpr int kPiece = 4096;

// Takes every piece of entry index; false once the index is past the last entry.
bool DrainEntry(ZipReaderHandle handle, int index) {
  std::vector<unsigned char> piece(kPiece);
  int result;
  do {
    result = ZipReaderExtractToMemory(handle, index, piece.data(), kPiece);
  } while (result == ZIPREADER_MORE_DATA);
  return result != ZIPREADER_BAD_ARGUMENTS;
}

}  // namespace

void ZipReaderFuzzOne(const uint8_t* data, size_t size) {
  for (const char* password : {static_cast<const char*>(nullptr), "secret"}) {
    ZipReaderHandle handle = ZipReaderOpen(data, size, ZIPREADER_KIND_MEMORY, password);
    if (!handle) return;
    for (int index = 0; index < kMostEntries; ++index) {
      if (!DrainEntry(handle, index)) break;
      ZipEntryInfo info;
      int found = -1;
      // Searching for names that the archive may or may not hold walks the
      // whole directory, also over broken headers.
      ZipReaderFindEntry(handle, index % 2 ? "a.txt" : "TEN_THOUSAND.BIN", 1, &found, &info);
      if (found >= 0) {
        unsigned char piece[17];
        // An odd piece length crosses every internal boundary.
        while (ZipReaderExtractToMemory(handle, found, piece, sizeof piece) == ZIPREADER_MORE_DATA) {
        }
      }
    }
    ZipReaderClose(handle);
  }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ZipReaderFuzzOne(data, size);
  return 0;
}
