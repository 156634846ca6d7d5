// Fuzz driver of the zip reader over a memory source: every road of the object
// API, with checks of what it delivers.
#include <cstring>
#include <set>
#include <string>

#include "_Common/fuzzsupport.h"
#include "_Common/zipreader.h"

namespace {

constexpr int kMostEntries = 300;
constexpr int kPiece = 4096;
// An odd piece length crosses every internal boundary.
constexpr int kOddPiece = 17;

// Results the reader may give, by call.
const std::set<int> kFindResults = {ZIPREADER_SUCCESS, 0x500, 0x700, 0x800};
const std::set<int> kPieceEnds = {ZIPREADER_SUCCESS, 0x1000, ZIPREADER_CANT_READ_DATA, ZIPREADER_BAD_ARGUMENTS};

// The callers' loop over entry index: pieces until the result is not 0x600,
// each taken as min(piece, size - taken) bytes (all of it when size < 0, which
// is unknown). No piece may be written past the caller's length.
struct Drained {
  std::string bytes;
  int pieces = 0;
  int last = 0;
};

Drained Drain(ZipReaderHandle handle, int index, int piece, long long size) {
  Drained out;
  zkfuzz::GuardedBuffer buffer(piece);
  for (;;) {
    out.last = ZipReaderExtractToMemory(handle, index, buffer.data(), piece);
    ZK_FUZZ_CHECK(buffer.UntouchedFrom(piece));
    if (out.last != ZIPREADER_MORE_DATA) break;
    ++out.pieces;
    long long take = size < 0 ? piece : std::min<long long>(piece, size - static_cast<long long>(out.bytes.size()));
    // A piece beyond the entry's size would be more than the entry holds.
    ZK_FUZZ_CHECK(take > 0);
    out.bytes.append(buffer.data(), static_cast<size_t>(take));
    ZK_FUZZ_CHECK(out.pieces <= (1 << 20));
  }
  ZK_FUZZ_CHECK(kPieceEnds.count(out.last) == 1);
  return out;
}

bool SameIgnoringAsciiCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    char x = (*a >= 'a' && *a <= 'z') ? static_cast<char>(*a - 32) : *a;
    char y = (*b >= 'a' && *b <= 'z') ? static_cast<char>(*b - 32) : *b;
    if (x != y) return false;
  }
  return *a == *b;
}

// A found entry that unpacks completely gives exactly its size, the same
// bytes in any piece length, and again the same bytes when asked once more.
void CheckFoundEntry(ZipReaderHandle handle, const char* name) {
  ZipEntryInfo info;
  int index = 7;
  const int found = ZipReaderFindEntry(handle, name, 1, &index, &info);
  ZK_FUZZ_CHECK(kFindResults.count(found) == 1);
  if (found == 0x500) {
    ZK_FUZZ_CHECK(index == -1 && info.index == -1);
    return;
  }
  if (found != ZIPREADER_SUCCESS) return;
  ZK_FUZZ_CHECK(index == info.index);
  ZK_FUZZ_CHECK(SameIgnoringAsciiCase(info.name, name));
  const long long size = info.uncompressedSize;
  const Drained whole = Drain(handle, index, kPiece, size);
  if (whole.last != ZIPREADER_SUCCESS) return;
  ZK_FUZZ_CHECK(size >= 0);
  ZK_FUZZ_CHECK(static_cast<long long>(whole.bytes.size()) == size);
  ZK_FUZZ_CHECK(whole.pieces == (size + kPiece - 1) / kPiece);
  const Drained odd = Drain(handle, index, kOddPiece, size);
  ZK_FUZZ_CHECK(odd.last == ZIPREADER_SUCCESS && odd.bytes == whole.bytes);
  ZK_FUZZ_CHECK(Drain(handle, index, kPiece, size).bytes == whole.bytes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (const char* password : {static_cast<const char*>(nullptr), "secret"}) {
    ZipReaderHandle handle = ZipReaderOpen(data, size, ZIPREADER_KIND_MEMORY, password);
    if (!handle) return 0;
    for (int index = 0; index < kMostEntries; ++index) {
      if (Drain(handle, index, kPiece, -1).last == ZIPREADER_BAD_ARGUMENTS) break;
      // Searching for names that the archive may or may not hold walks the
      // whole directory, also over broken headers.
      CheckFoundEntry(handle, index % 2 ? "a.txt" : "TEN_THOUSAND.BIN");
    }
    ZK_FUZZ_CHECK(ZipReaderClose(handle) == ZIPREADER_SUCCESS);
  }
  return 0;
}
