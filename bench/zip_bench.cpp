// Unpacking throughput of the zip reader: one large deflated entry taken in
// 4096-byte pieces from an archive file, beside zlib's raw inflate and CRC-32
// of the same data in the same process (every unpacker that checks what it
// delivers does both), with the peak memory of each. The figure goes
// out as a BENCH line (format in bench/CMakeLists.txt).
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "_Common/zipreader.h"

#ifdef _WIN32
#include <windows.h>
#include <psapi.h>
#else
#include <sys/resource.h>
#endif

namespace {

constexpr int kPiece = 4096;
constexpr uInt kInput = 16384;
constexpr size_t kChunk = 1 << 20;

double PeakMegabytes() {
#ifdef _WIN32
  PROCESS_MEMORY_COUNTERS counters{};
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.PeakWorkingSetSize / 1048576.0;
#else
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;
#endif
}

// Text-like data that deflates about 3:1: lines of words picked by a fixed
// pseudo-random sequence.
void FillChunk(std::vector<unsigned char>& chunk, uint32_t& state) {
  static const char* words[] = {"launcher", "archive", "update", "wizard", "portal", "version",
                                "piece", "stream", "folder", "player", "session", "window"};
  size_t at = 0;
  while (at < chunk.size()) {
    state = state * 1103515245u + 12345u;
    const char* word = words[(state >> 16) % 12];
    char text[32];
    int n = std::snprintf(text, sizeof text, "%s %u%c", word, (state >> 8) & 0xfff,
                          (state & 0x700) ? ' ' : '\n');
    for (int i = 0; i < n && at < chunk.size(); ++i) chunk[at++] = static_cast<unsigned char>(text[i]);
  }
}

void Put16(std::vector<unsigned char>& out, uint32_t v) {
  out.push_back(v & 0xff);
  out.push_back((v >> 8) & 0xff);
}
void Put32(std::vector<unsigned char>& out, uint32_t v) {
  Put16(out, v & 0xffff);
  Put16(out, v >> 16);
}

std::vector<unsigned char> LocalHeader(uint32_t crc, uint32_t csize, uint32_t usize, const std::string& name) {
  std::vector<unsigned char> h;
  Put32(h, 0x04034b50); Put16(h, 20); Put16(h, 0); Put16(h, 8); Put32(h, 0x52640000);
  Put32(h, crc); Put32(h, csize); Put32(h, usize); Put16(h, name.size()); Put16(h, 0);
  h.insert(h.end(), name.begin(), name.end());
  return h;
}

// Writes the archive streaming, so that building it needs no more than a chunk.
bool WriteArchive(const std::string& path, size_t megabytes, long* dataStart, uint32_t* compressed) {
  const std::string name = "big.bin";
  FILE* file = std::fopen(path.c_str(), "wb+");
  if (!file) return false;
  std::vector<unsigned char> header = LocalHeader(0, 0, 0, name);
  std::fwrite(header.data(), 1, header.size(), file);
  *dataStart = static_cast<long>(header.size());
  z_stream z{};
  deflateInit2(&z, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::vector<unsigned char> chunk(kChunk), out(kChunk + 1024);
  uint32_t state = 1, crc = crc32(0, nullptr, 0), csize = 0;
  for (size_t i = 0; i < megabytes; ++i) {
    FillChunk(chunk, state);
    crc = crc32(crc, chunk.data(), kChunk);
    z.next_in = chunk.data();
    z.avail_in = kChunk;
    int flush = i + 1 == megabytes ? Z_FINISH : Z_NO_FLUSH;
    do {
      z.next_out = out.data();
      z.avail_out = out.size();
      deflate(&z, flush);
      size_t n = out.size() - z.avail_out;
      std::fwrite(out.data(), 1, n, file);
      csize += n;
    } while (z.avail_out == 0 || (flush == Z_FINISH && z.avail_in > 0));
  }
  deflateEnd(&z);
  uint32_t usize = static_cast<uint32_t>(megabytes * kChunk);
  std::vector<unsigned char> central;
  Put32(central, 0x02014b50); Put16(central, 0x0314); Put16(central, 20); Put16(central, 0);
  Put16(central, 8); Put32(central, 0x52640000); Put32(central, crc); Put32(central, csize);
  Put32(central, usize); Put16(central, name.size()); Put16(central, 0); Put16(central, 0);
  Put16(central, 0); Put16(central, 0); Put32(central, 0100644u << 16); Put32(central, 0);
  central.insert(central.end(), name.begin(), name.end());
  uint32_t centralOffset = *dataStart + csize;
  Put32(central, 0x06054b50); Put16(central, 0); Put16(central, 0); Put16(central, 1);
  Put16(central, 1); Put32(central, 46 + name.size()); Put32(central, centralOffset); Put16(central, 0);
  std::fwrite(central.data(), 1, central.size(), file);
  header = LocalHeader(crc, csize, usize, name);
  std::fseek(file, 0, SEEK_SET);
  std::fwrite(header.data(), 1, header.size(), file);
  *compressed = csize;
  return std::fclose(file) == 0;
}

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// zlib alone: the same 16384-byte reads and 4096-byte output pieces, each
// added to the running CRC-32.
double InflateWithZlib(const std::string& path, long dataStart, uint32_t compressed, uint64_t* produced,
                       uint32_t* crc) {
  auto start = std::chrono::steady_clock::now();
  FILE* file = std::fopen(path.c_str(), "rb");
  std::fseek(file, dataStart, SEEK_SET);
  z_stream z{};
  inflateInit2(&z, -MAX_WBITS);
  std::vector<unsigned char> in(kInput), out(kPiece);
  uint32_t left = compressed;
  *produced = 0;
  int status = Z_OK;
  *crc = crc32(0, nullptr, 0);
  while (status != Z_STREAM_END) {
    if (z.avail_in == 0 && left > 0) {
      uInt n = std::min<uint32_t>(left, kInput);
      if (std::fread(in.data(), 1, n, file) != n) break;
      left -= n;
      z.next_in = in.data();
      z.avail_in = n;
    }
    z.next_out = out.data();
    z.avail_out = kPiece;
    status = inflate(&z, Z_SYNC_FLUSH);
    if (status != Z_OK && status != Z_STREAM_END) break;
    *produced += kPiece - z.avail_out;
    *crc = crc32(*crc, out.data(), kPiece - z.avail_out);
  }
  inflateEnd(&z);
  std::fclose(file);
  return Seconds(start);
}

double UnpackWithReader(const std::string& path, uint64_t* produced, int* last) {
  auto start = std::chrono::steady_clock::now();
  ZipReaderHandle zip = ZipReaderOpenFile(path.c_str(), nullptr);
  int index = -1;
  ZipEntryInfo info;
  *produced = 0;
  *last = -1;
  if (!zip || ZipReaderFindEntry(zip, "BIG.BIN", 1, &index, &info) != 0) return 0;
  std::vector<unsigned char> piece(kPiece);
  uint64_t size = static_cast<uint32_t>(info.uncompressedSize);
  while ((*last = ZipReaderExtractToMemory(zip, index, piece.data(), kPiece)) == ZIPREADER_MORE_DATA)
    *produced += std::min<uint64_t>(kPiece, size - *produced);
  ZipReaderClose(zip);
  return Seconds(start);
}

}  // namespace

int main(int argc, char** argv) {
  size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 256;
  std::string path = (std::filesystem::temp_directory_path() / "zip_bench_archive.zip").string();
  long dataStart = 0;
  uint32_t compressed = 0;
  if (!WriteArchive(path, megabytes, &dataStart, &compressed)) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return 1;
  }
  std::printf("entry: %zu MB, deflated to %.1f MB\n", megabytes, compressed / 1048576.0);
  std::printf("peak memory after writing the archive: %.1f MB\n", PeakMegabytes());
  double bestZlib = 1e9, bestReader = 1e9;
  uint64_t zlibBytes = 0, readerBytes = 0;
  uint32_t zlibCrc = 0;
  int last = -1;
  for (int round = 0; round < 3; ++round) {
    bestZlib = std::min(bestZlib, InflateWithZlib(path, dataStart, compressed, &zlibBytes, &zlibCrc));
    bestReader = std::min(bestReader, UnpackWithReader(path, &readerBytes, &last));
  }
  double mb = megabytes;
  std::printf("zlib inflate+crc: %8.1f MB/s (%llu bytes, crc %08x)\n", mb / bestZlib,
              static_cast<unsigned long long>(zlibBytes), zlibCrc);
  std::printf("zip reader:       %8.1f MB/s (%llu bytes, last result 0x%x)\n", mb / bestReader,
              static_cast<unsigned long long>(readerBytes), last);
  std::printf("reader / zlib:    %8.3f\n", bestZlib / bestReader);
  std::printf("BENCH zip-unpack-4096-pieces-%zuMB %.1f MB/s zlib-inflate-crc32 %.1f %.3f >=0.95\n", megabytes,
              mb / bestReader, mb / bestZlib, bestZlib / bestReader);
  std::printf("peak memory at the end: %.1f MB\n", PeakMegabytes());
  std::remove(path.c_str());
  bool complete = zlibBytes == mb * kChunk && readerBytes == zlibBytes && last == 0;
  return complete ? 0 : 1;
}
