// Archive layer of the zip reader: end record, central directory walk, local
// header check and the decoding of one entry's data (stored, deflated, and
// traditional PKWARE encryption).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "_Common/zipsource.h"

// Little-endian 16- and 32-bit values of the zip format.
inline uint16_t ZipLoad16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t ZipLoad32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// The fields of one central directory header, as stored.
struct ZipCentralHeader {
  uint16_t versionMadeBy = 0;
  uint16_t versionNeeded = 0;
  uint16_t flags = 0;
  uint16_t method = 0;
  uint32_t dosDateTime = 0;  // time in the low word, date in the high word
  uint32_t crc32 = 0;
  uint32_t compressedSize = 0;
  uint32_t uncompressedSize = 0;
  uint16_t nameLength = 0;
  uint16_t extraLength = 0;
  uint16_t commentLength = 0;
  uint16_t diskNumber = 0;
  uint16_t internalAttributes = 0;
  uint32_t externalAttributes = 0;
  uint32_t localHeaderOffset = 0;
};

// Where the local header of the current entry says its extra field and data lie.
struct ZipLocalLayout {
  uint64_t extraPosition = 0;
  uint16_t extraLength = 0;
  uint64_t dataPosition = 0;
};

// Errors of the archive layer; zlib's negative codes pass through as well.
enum ZipArchiveError {
  kZipOk = 0,
  kZipErrorRead = -1,
  kZipEndOfList = -100,
  kZipBadParameter = -102,
  kZipBadArchive = -103,
  kZipOutOfMemory = -104,
  kZipBadCrc = -105,
  kZipBadPassword = -106,
};

// One open archive over a byte source, positioned on one entry of its
// central directory, with at most one entry open for reading.
class ZipArchive {
 public:
  // The position on the central directory, to return to after a search.
  struct Position {
    int index = 0;
    uint64_t headerPosition = 0;
    bool valid = false;
    ZipCentralHeader header;
  };

  ZipArchive();
  ~ZipArchive();
  ZipArchive(const ZipArchive&) = delete;
  ZipArchive& operator=(const ZipArchive&) = delete;

  // Reads the end record and the first central header; 0 or a negative error.
  // The source is owned from here on, also when opening fails.
  int Open(std::unique_ptr<ZipByteSource> source);

  // Number of entries that the end record gives.
  int EntryCount() const { return entryCount_; }
  // Bytes of other data found before the archive (the bytes-before correction).
  uint64_t BytesBefore() const { return bytesBefore_; }
  // Index of the current entry.
  int CurrentIndex() const { return position_.index; }
  // True when the current entry's central header was read successfully.
  bool CurrentValid() const { return position_.valid; }
  // The current entry's central header fields.
  const ZipCentralHeader& Current() const { return position_.header; }

  // Moves to the first entry; 0 or a negative error.
  int GoToFirst();
  // Moves to the next entry; kZipEndOfList after the last one.
  int GoToNext();
  // Moves to entry index, walking forward or from the first entry.
  int GoToEntry(int index);

  // Saves and restores the position on the central directory.
  Position SavePosition() const { return position_; }
  void RestorePosition(const Position& position) { position_ = position; }

  // Reads the current entry's stored name, at most capacity - 1 bytes and a NUL.
  int ReadCurrentName(char* name, size_t capacity);
  // Compares the local header with the central one; 0 or kZipBadArchive.
  int CheckLocalHeader(ZipLocalLayout* layout);
  // Reads exactly size bytes at an archive position; 0 or kZipErrorRead.
  int ReadExact(uint64_t position, void* buffer, size_t size);

  // Opens the current entry for reading, ending any entry open before.
  int OpenCurrentEntry(const char* password);
  // Delivers up to length bytes of the open entry; the count or a negative
  // error. The call that delivers the entry's last byte compares the CRC-32 of
  // everything delivered with the stored one and gives kZipBadCrc when they
  // differ, so that damaged data never ends as a complete entry.
  int ReadCurrentEntry(void* buffer, uint32_t length);
  // Ends the reading of the open entry, if any.
  void CloseCurrentEntry();
  // True while an entry is open for reading.
  bool EntryOpen() const { return read_ != nullptr; }

 private:
  struct ReadState;

  int FindEndRecord(uint64_t* position);
  int ReadCentralHeaderAt(uint64_t position);
  int FillInput();

  std::unique_ptr<ZipByteSource> source_;
  int entryCount_ = 0;
  uint64_t bytesBefore_ = 0;
  uint64_t centralOffset_ = 0;
  uint64_t centralSize_ = 0;
  Position position_;
  std::unique_ptr<ReadState> read_;
};
