// Archive layer of the zip reader over a byte source.
#include "_Common/ziparchive.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr uint32_t kEndRecordSignature = 0x06054b50;
constexpr uint32_t kCentralSignature = 0x02014b50;
constexpr uint32_t kLocalSignature = 0x04034b50;
constexpr size_t kEndRecordSize = 22;
constexpr size_t kCentralHeaderSize = 46;
constexpr size_t kLocalHeaderSize = 30;
constexpr uint64_t kEndRecordSearchRange = 65535;
constexpr size_t kSearchStep = 1024;
constexpr size_t kSearchWindow = kSearchStep + 4;
constexpr uint32_t kInputBufferSize = 16384;
constexpr uint32_t kEncryptionHeaderSize = 12;
constexpr uint16_t kFlagEncrypted = 0x0001;
constexpr uint16_t kFlagDataDescriptor = 0x0008;

// The three keys of the traditional PKWARE encryption.
struct TraditionalKeys {
  uint32_t key[3] = {0x12345678, 0x23456789, 0x34567890};

  static uint32_t Crc(uint32_t crc, unsigned char byte) {
    static const z_crc_t* table = get_crc_table();
    return table[(crc ^ byte) & 0xff] ^ (crc >> 8);
  }

  void Update(unsigned char plain) {
    key[0] = Crc(key[0], plain);
    key[1] = (key[1] + (key[0] & 0xff)) * 134775813u + 1;
    key[2] = Crc(key[2], static_cast<unsigned char>(key[1] >> 24));
  }

  unsigned char Decrypt(unsigned char cipher) {
    uint32_t temp = (key[2] & 0xffff) | 2;
    unsigned char plain = cipher ^ static_cast<unsigned char>((temp * (temp ^ 1)) >> 8);
    Update(plain);
    return plain;
  }
};

}  // namespace

struct ZipArchive::ReadState {
  std::unique_ptr<unsigned char[]> input;
  z_stream stream{};
  bool inflating = false;
  uint64_t nextPosition = 0;
  uint32_t compressedLeft = 0;
  uint32_t uncompressedLeft = 0;
  uint16_t method = 0;
  bool encrypted = false;
  TraditionalKeys keys;
  uint32_t headerLeft = 0;
  unsigned char checkByte = 0;
  unsigned char lastHeaderByte = 0;
  uint32_t crc = 0;  // of the bytes delivered so far
  uint32_t expectedCrc = 0;
  bool crcChecked = false;

  ~ReadState() {
    if (inflating) inflateEnd(&stream);
  }
};

ZipArchive::ZipArchive() = default;

ZipArchive::~ZipArchive() = default;

int ZipArchive::ReadExact(uint64_t position, void* buffer, size_t size) {
  size_t got = 0;
  if (!source_->ReadAt(position, buffer, size, &got) || got != size) return kZipErrorRead;
  return kZipOk;
}

int ZipArchive::FindEndRecord(uint64_t* found) {
  uint64_t length = 0;
  if (!source_->Length(&length)) return kZipErrorRead;
  uint64_t maxBack = std::min(length, kEndRecordSearchRange);
  unsigned char window[kSearchWindow];
  uint64_t back = 4;
  // Windows step back 1024 bytes and overlap by 4, so a signature that
  // straddles two windows is still seen whole in one of them.
  while (back < maxBack) {
    back = std::min(back + kSearchStep, maxBack);
    uint64_t start = length - back;
    size_t size = static_cast<size_t>(std::min<uint64_t>(kSearchWindow, length - start));
    if (ReadExact(start, window, size) != kZipOk) return kZipErrorRead;
    for (size_t i = size - 3; i-- > 0;) {
      if (ZipLoad32(window + i) == kEndRecordSignature) {
        uint64_t hit = start + i;
        if (hit == 0) return kZipBadArchive;
        *found = hit;
        return kZipOk;
      }
    }
  }
  return kZipBadArchive;
}

int ZipArchive::Open(std::unique_ptr<ZipByteSource> source) {
  source_ = std::move(source);
  if (!source_) return kZipBadParameter;
  uint64_t endPosition = 0;
  int error = FindEndRecord(&endPosition);
  if (error != kZipOk) return error;
  unsigned char record[kEndRecordSize];
  if (ReadExact(endPosition, record, sizeof record) != kZipOk) return kZipErrorRead;
  uint16_t disk = ZipLoad16(record + 4);
  uint16_t centralDisk = ZipLoad16(record + 6);
  uint16_t entriesOnDisk = ZipLoad16(record + 8);
  uint16_t entries = ZipLoad16(record + 10);
  if (disk != 0 || centralDisk != 0 || entriesOnDisk != entries) return kZipBadArchive;
  centralSize_ = ZipLoad32(record + 12);
  centralOffset_ = ZipLoad32(record + 16);
  // The directory ends where the end record begins; whatever lies before the
  // stored offsets is other data (an archive appended to a program, say).
  if (endPosition < centralOffset_ + centralSize_) return kZipBadArchive;
  bytesBefore_ = endPosition - (centralOffset_ + centralSize_);
  entryCount_ = entries;
  GoToFirst();
  return kZipOk;
}

int ZipArchive::ReadCentralHeaderAt(uint64_t position) {
  position_.headerPosition = position;
  position_.valid = false;
  unsigned char raw[kCentralHeaderSize];
  if (ReadExact(position, raw, sizeof raw) != kZipOk) return kZipErrorRead;
  if (ZipLoad32(raw) != kCentralSignature) return kZipBadArchive;
  ZipCentralHeader& h = position_.header;
  h.versionMadeBy = ZipLoad16(raw + 4);
  h.versionNeeded = ZipLoad16(raw + 6);
  h.flags = ZipLoad16(raw + 8);
  h.method = ZipLoad16(raw + 10);
  h.dosDateTime = ZipLoad32(raw + 12);
  h.crc32 = ZipLoad32(raw + 16);
  h.compressedSize = ZipLoad32(raw + 20);
  h.uncompressedSize = ZipLoad32(raw + 24);
  h.nameLength = ZipLoad16(raw + 28);
  h.extraLength = ZipLoad16(raw + 30);
  h.commentLength = ZipLoad16(raw + 32);
  h.diskNumber = ZipLoad16(raw + 34);
  h.internalAttributes = ZipLoad16(raw + 36);
  h.externalAttributes = ZipLoad32(raw + 38);
  h.localHeaderOffset = ZipLoad32(raw + 42);
  position_.valid = true;
  return kZipOk;
}

int ZipArchive::GoToFirst() {
  position_.index = 0;
  if (entryCount_ == 0) {
    position_.valid = false;
    return kZipEndOfList;
  }
  return ReadCentralHeaderAt(centralOffset_ + bytesBefore_);
}

int ZipArchive::GoToNext() {
  if (!position_.valid) return kZipEndOfList;
  if (position_.index + 1 >= entryCount_) return kZipEndOfList;
  const ZipCentralHeader& h = position_.header;
  uint64_t next = position_.headerPosition + kCentralHeaderSize + h.nameLength + h.extraLength +
                  h.commentLength;
  position_.index++;
  return ReadCentralHeaderAt(next);
}

int ZipArchive::GoToEntry(int index) {
  if (index < 0 || index >= entryCount_) return kZipBadParameter;
  if (index < position_.index || !position_.valid) {
    int error = GoToFirst();
    if (error != kZipOk) return error;
  }
  while (position_.index < index) {
    int error = GoToNext();
    if (error != kZipOk) return error;
  }
  return position_.valid ? kZipOk : kZipBadArchive;
}

int ZipArchive::ReadCurrentName(char* name, size_t capacity) {
  if (capacity == 0) return kZipBadParameter;
  name[0] = '\0';
  if (!position_.valid) return kZipBadParameter;
  size_t count = std::min<size_t>(position_.header.nameLength, capacity - 1);
  int error = ReadExact(position_.headerPosition + kCentralHeaderSize, name, count);
  if (error != kZipOk) return error;
  name[count] = '\0';
  return kZipOk;
}

int ZipArchive::CheckLocalHeader(ZipLocalLayout* layout) {
  if (!position_.valid) return kZipBadParameter;
  const ZipCentralHeader& h = position_.header;
  uint64_t local = static_cast<uint64_t>(h.localHeaderOffset) + bytesBefore_;
  unsigned char raw[kLocalHeaderSize];
  if (ReadExact(local, raw, sizeof raw) != kZipOk) return kZipBadArchive;
  if (ZipLoad32(raw) != kLocalSignature) return kZipBadArchive;
  uint16_t method = ZipLoad16(raw + 8);
  if (method != h.method || (method != 0 && method != Z_DEFLATED)) return kZipBadArchive;
  // With a data descriptor the local header may leave these three at zero.
  if (!(h.flags & kFlagDataDescriptor) &&
      (ZipLoad32(raw + 14) != h.crc32 || ZipLoad32(raw + 18) != h.compressedSize ||
       ZipLoad32(raw + 22) != h.uncompressedSize))
    return kZipBadArchive;
  uint16_t nameLength = ZipLoad16(raw + 26);
  if (nameLength != h.nameLength) return kZipBadArchive;
  layout->extraLength = ZipLoad16(raw + 28);
  layout->extraPosition = local + kLocalHeaderSize + nameLength;
  layout->dataPosition = layout->extraPosition + layout->extraLength;
  return kZipOk;
}

int ZipArchive::OpenCurrentEntry(const char* password) {
  CloseCurrentEntry();
  ZipLocalLayout layout;
  int error = CheckLocalHeader(&layout);
  if (error != kZipOk) return error;
  const ZipCentralHeader& h = position_.header;
  // Callers count sizes in an int; a larger entry cannot be taken in pieces.
  if (h.uncompressedSize > 0x7fffffffu) return kZipBadArchive;
  bool encrypted = (h.flags & kFlagEncrypted) != 0;
  if (encrypted && h.compressedSize < kEncryptionHeaderSize) return kZipBadArchive;

  std::unique_ptr<ReadState> state(new (std::nothrow) ReadState);
  if (!state) return kZipOutOfMemory;
  state->input.reset(new (std::nothrow) unsigned char[kInputBufferSize]);
  if (!state->input) return kZipOutOfMemory;
  state->nextPosition = layout.dataPosition;
  state->compressedLeft = h.compressedSize;
  state->uncompressedLeft = h.uncompressedSize;
  state->method = h.method;
  state->crc = static_cast<uint32_t>(crc32(0L, Z_NULL, 0));
  state->expectedCrc = h.crc32;
  if (h.method == Z_DEFLATED) {
    if (inflateInit2(&state->stream, -MAX_WBITS) != Z_OK) return kZipOutOfMemory;
    state->inflating = true;
  }
  if (encrypted) {
    state->encrypted = true;
    for (const char* p = password; p && *p; ++p) state->keys.Update(static_cast<unsigned char>(*p));
    state->headerLeft = kEncryptionHeaderSize;
    // With a data descriptor the CRC is not known when the header is written,
    // so the check byte comes from the DOS time instead.
    state->checkByte = static_cast<unsigned char>(
        (h.flags & kFlagDataDescriptor) ? (h.dosDateTime >> 8) & 0xff : h.crc32 >> 24);
  }
  read_ = std::move(state);
  return kZipOk;
}

void ZipArchive::CloseCurrentEntry() { read_.reset(); }

int ZipArchive::FillInput() {
  ReadState& r = *read_;
  uint32_t count = std::min(r.compressedLeft, kInputBufferSize);
  if (ReadExact(r.nextPosition, r.input.get(), count) != kZipOk) return kZipErrorRead;
  if (r.encrypted)
    for (uint32_t i = 0; i < count; ++i) r.input[i] = r.keys.Decrypt(r.input[i]);
  r.nextPosition += count;
  r.compressedLeft -= count;
  r.stream.next_in = r.input.get();
  r.stream.avail_in = count;
  return kZipOk;
}

int ZipArchive::ReadCurrentEntry(void* buffer, uint32_t length) {
  if (!read_) return kZipBadParameter;
  ReadState& r = *read_;
  unsigned char* out = static_cast<unsigned char*>(buffer);
  uint32_t want = std::min(length, r.uncompressedLeft);
  uint32_t delivered = 0;
  while (delivered < want) {
    if (r.stream.avail_in == 0 && r.compressedLeft > 0) {
      int error = FillInput();
      if (error != kZipOk) return error;
    }
    if (r.headerLeft > 0) {
      if (r.stream.avail_in == 0) return kZipBadArchive;
      uint32_t skip = std::min(r.headerLeft, r.stream.avail_in);
      r.lastHeaderByte = r.stream.next_in[skip - 1];
      r.stream.next_in += skip;
      r.stream.avail_in -= skip;
      r.headerLeft -= skip;
      if (r.headerLeft == 0 && r.lastHeaderByte != r.checkByte) return kZipBadPassword;
      continue;
    }
    if (r.method == 0) {
      // Stored data that ends before its size is a damaged archive, not a wait.
      if (r.stream.avail_in == 0) return kZipBadArchive;
      uint32_t count = std::min(r.stream.avail_in, want - delivered);
      std::memcpy(out + delivered, r.stream.next_in, count);
      r.stream.next_in += count;
      r.stream.avail_in -= count;
      delivered += count;
      continue;
    }
    uInt inputBefore = r.stream.avail_in;
    r.stream.next_out = out + delivered;
    r.stream.avail_out = want - delivered;
    int status = inflate(&r.stream, Z_SYNC_FLUSH);
    uint32_t produced = (want - delivered) - r.stream.avail_out;
    delivered += produced;
    if (status == Z_STREAM_END) {
      // A stream that ends short of the stored size would leave the caller
      // with a piece it believes full; that is damage, not the entry's end.
      if (delivered < want) return Z_DATA_ERROR;
      break;
    }
    if (status != Z_OK && status != Z_BUF_ERROR) return status < 0 ? status : Z_DATA_ERROR;
    // No input left and no progress: a deflate stream that never ends.
    if (produced == 0 && inputBefore == r.stream.avail_in) return Z_DATA_ERROR;
  }
  r.uncompressedLeft -= delivered;
  r.crc = static_cast<uint32_t>(crc32(r.crc, out, delivered));
  // The central header's CRC is the one to trust: with a data descriptor the
  // local header may carry none.
  if (r.uncompressedLeft == 0 && !r.crcChecked) {
    r.crcChecked = true;
    if (r.crc != r.expectedCrc) return kZipBadCrc;
  }
  return static_cast<int>(delivered);
}
