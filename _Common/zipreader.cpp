// Zip reader object API over the archive layer.
#include "_Common/zipreader.h"

#include <cstring>
#include <ctime>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "_Common/ziparchive.h"
#include "_Common/zipreader_platform.h"

namespace {

constexpr size_t kNameCapacity = 260;
constexpr size_t kLongestFindableName = 255;
constexpr uint32_t kFilePieceSize = 16384;
constexpr uint16_t kExtendedTimestampTag = 0x5455;  // "UT"
constexpr uint64_t kSecondsFrom1601To1970 = 11644473600ull;
constexpr uint64_t kTicksPerSecond = 10000000ull;

ZipFileTime FileTimeFromUnixSeconds(int64_t seconds) {
  uint64_t ticks = static_cast<uint64_t>(seconds + static_cast<int64_t>(kSecondsFrom1601To1970)) *
                   kTicksPerSecond;
  return ZipFileTime{static_cast<uint32_t>(ticks), static_cast<uint32_t>(ticks >> 32)};
}

// The DOS date and time are the packing machine's local time.
ZipFileTime FileTimeFromDos(uint32_t dosDateTime) {
  uint32_t date = dosDateTime >> 16;
  uint32_t time = dosDateTime & 0xffff;
  std::tm local{};
  local.tm_year = static_cast<int>(80 + (date >> 9));
  local.tm_mon = static_cast<int>(((date >> 5) & 0x0f)) - 1;
  local.tm_mday = static_cast<int>(date & 0x1f);
  local.tm_hour = static_cast<int>(time >> 11);
  local.tm_min = static_cast<int>((time >> 5) & 0x3f);
  local.tm_sec = static_cast<int>(2 * (time & 0x1f));
  local.tm_isdst = -1;
  std::time_t seconds = std::mktime(&local);
  if (seconds == static_cast<std::time_t>(-1)) return ZipFileTime{0, 0};
  return FileTimeFromUnixSeconds(static_cast<int64_t>(seconds));
}

int AttributesFromExternal(uint16_t versionMadeBy, uint32_t external) {
  switch (versionMadeBy >> 8) {
    case 0: case 7: case 11: case 14:  // the DOS-style hosts
      return static_cast<int>(external & (ZIPREADER_ATTRIBUTE_READONLY | ZIPREADER_ATTRIBUTE_HIDDEN |
                                          ZIPREADER_ATTRIBUTE_SYSTEM | ZIPREADER_ATTRIBUTE_DIRECTORY |
                                          ZIPREADER_ATTRIBUTE_ARCHIVE));
    default: {  // a Unix mode in the high word
      int attributes = ZIPREADER_ATTRIBUTE_ARCHIVE;
      if (external & (1u << 30)) attributes |= ZIPREADER_ATTRIBUTE_DIRECTORY;
      if (!(external & (1u << 23))) attributes |= ZIPREADER_ATTRIBUTE_READONLY;
      return attributes;
    }
  }
}

// Takes the times of the first "UT" block of a local extra field, if any.
void ApplyExtendedTimestamp(const std::vector<unsigned char>& extra, ZipEntryInfo* info) {
  size_t size = extra.size();
  size_t at = 0;
  // A block's size may carry the walk past the end of the field.
  while (at < size && size - at > 4) {
    uint16_t tag = ZipLoad16(&extra[at]);
    size_t dataSize = ZipLoad16(&extra[at + 2]);
    if (tag == kExtendedTimestampTag) {
      // The block's own size and the field's end both bound what is read.
      size_t end = at + 4 + dataSize < size ? at + 4 + dataSize : size;
      size_t p = at + 4;
      if (p >= end) return;
      unsigned char flags = extra[p++];
      ZipFileTime* targets[3] = {&info->modificationTime, &info->accessTime, &info->creationTime};
      for (int bit = 0; bit < 3; ++bit) {
        if (!(flags & (1 << bit))) continue;
        if (end - p < 4) return;
        *targets[bit] = FileTimeFromUnixSeconds(static_cast<int32_t>(ZipLoad32(&extra[p])));
        p += 4;
      }
      return;
    }
    at += 4 + dataSize;
  }
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// A folder path from an archive or a caller may only name folders below the
// root: no leading separator, no drive, and no ".." followed by a separator
// anywhere (also at the end of a longer component such as "a..", which
// Windows may trim), nor as the last component.
bool IsSafeRelativeFolder(const std::string& path) {
  if (path.empty() || IsSeparator(path[0])) return false;
  if (path.size() >= 2 && path[1] == ':') return false;
  if (path.find("../") != std::string::npos || path.find("..\\") != std::string::npos) return false;
  const size_t n = path.size();
  return !(path.compare(n >= 2 ? n - 2 : 0, 2, "..") == 0 && (n == 2 || IsSeparator(path[n - 3])));
}

bool AsciiEqual(const char* a, const char* b, size_t length, bool ignoreCase) {
  for (size_t i = 0; i < length; ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (ignoreCase) {
      if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 'a' + 'A');
      if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 'a' + 'A');
    }
    if (x != y) return false;
  }
  return true;
}

int MapReadError(int error) {
  return error == kZipBadPassword ? ZIPREADER_WRONG_PASSWORD : ZIPREADER_CANT_READ_DATA;
}

}  // namespace

// The reader behind a handle.
class ZipReader {
 public:
  ZipReader() = default;
  ZipReader(const ZipReader&) = delete;
  ZipReader& operator=(const ZipReader&) = delete;

  int Open(std::unique_ptr<ZipByteSource> source, const char* password);
  int Find(const char* name, bool ignoreCase, int* index, ZipEntryInfo* entry);
  int ExtractPiece(int index, void* buffer, int length);
  int ExtractToOutput(int index, void* target, int targetKind);
  void EndPiecewise();
  int EntryCount() const { return archive_ ? archive_->EntryCount() : 0; }

 private:
  int BuildRecord(int index, ZipEntryInfo* info);
  void CreateFolders(const std::string& relative);
  int CopyEntryTo(void* output, const ZipEntryInfo& info);

  std::unique_ptr<ZipArchive> archive_;
  int openIndex_ = -1;
  ZipEntryInfo cached_{};
  int cachedIndex_ = -1;
  std::unique_ptr<char[]> password_;
  char root_[kNameCapacity] = {};
};

int ZipReader::Open(std::unique_ptr<ZipByteSource> source, const char* password) {
  if (password) {
    size_t length = std::strlen(password);
    password_.reset(new char[length + 1]);
    std::memcpy(password_.get(), password, length + 1);
  }
  const ZipReaderCalls& calls = ZipReaderCurrentCalls();
  if (calls.getCurrentFolder && calls.getCurrentFolder(root_, sizeof root_ - 1)) {
    size_t length = std::strlen(root_);
    if (length == 0 || !IsSeparator(root_[length - 1])) {
      root_[length] = '\\';
      root_[length + 1] = '\0';
    }
  } else {
    root_[0] = '\0';
  }
  archive_.reset(new ZipArchive);
  return archive_->Open(std::move(source));
}

void ZipReader::EndPiecewise() {
  archive_->CloseCurrentEntry();
  openIndex_ = -1;
}

int ZipReader::BuildRecord(int index, ZipEntryInfo* info) {
  if (index == cachedIndex_) {
    *info = cached_;
    return ZIPREADER_SUCCESS;
  }
  if (archive_->GoToEntry(index) != kZipOk) return ZIPREADER_LOCAL_HEADER_MISMATCH;
  ZipEntryInfo record{};
  record.index = index;
  if (archive_->ReadCurrentName(record.name, sizeof record.name) != kZipOk)
    return ZIPREADER_LOCAL_HEADER_MISMATCH;
  ZipLocalLayout layout;
  if (archive_->CheckLocalHeader(&layout) != kZipOk) return ZIPREADER_LOCAL_HEADER_MISMATCH;
  std::vector<unsigned char> extra(layout.extraLength);
  if (!extra.empty() && archive_->ReadExact(layout.extraPosition, extra.data(), extra.size()) != kZipOk)
    return ZIPREADER_BAD_LOCAL_EXTRA;
  const ZipCentralHeader& h = archive_->Current();
  record.attributes = AttributesFromExternal(h.versionMadeBy, h.externalAttributes);
  record.modificationTime = FileTimeFromDos(h.dosDateTime);
  record.accessTime = record.modificationTime;
  record.creationTime = record.modificationTime;
  ApplyExtendedTimestamp(extra, &record);
  record.compressedSize = static_cast<int>(h.compressedSize);
  record.uncompressedSize = static_cast<int>(h.uncompressedSize);
  cached_ = record;
  cachedIndex_ = index;
  *info = record;
  return ZIPREADER_SUCCESS;
}

int ZipReader::Find(const char* name, bool ignoreCase, int* index, ZipEntryInfo* entry) {
  size_t length = std::strlen(name);
  if (length <= kLongestFindableName) {
    ZipArchive::Position saved = archive_->SavePosition();
    char stored[kLongestFindableName + 1];
    for (int error = archive_->GoToFirst(); error == kZipOk; error = archive_->GoToNext()) {
      if (archive_->Current().nameLength != length) continue;
      if (archive_->ReadCurrentName(stored, sizeof stored) != kZipOk) continue;
      if (!AsciiEqual(stored, name, length, ignoreCase)) continue;
      EndPiecewise();
      int found = archive_->CurrentIndex();
      if (index) *index = found;
      if (!entry) return ZIPREADER_SUCCESS;
      return BuildRecord(found, entry);
    }
    archive_->RestorePosition(saved);
  }
  if (index) *index = -1;
  if (entry) {
    std::memset(entry, 0, sizeof *entry);
    entry->index = -1;
  }
  return ZIPREADER_ENTRY_NOT_FOUND;
}

int ZipReader::ExtractPiece(int index, void* buffer, int length) {
  if (!buffer || length <= 0) return ZIPREADER_BAD_ARGUMENTS;
  if (index != openIndex_) {
    EndPiecewise();
    if (archive_->GoToEntry(index) != kZipOk) return ZIPREADER_CANT_READ_DATA;
    if (archive_->OpenCurrentEntry(password_.get()) != kZipOk) return ZIPREADER_CANT_READ_DATA;
    openIndex_ = index;
  }
  int delivered = archive_->ReadCurrentEntry(buffer, static_cast<uint32_t>(length));
  if (delivered > 0) return ZIPREADER_MORE_DATA;
  EndPiecewise();
  return delivered == 0 ? ZIPREADER_SUCCESS : MapReadError(delivered);
}

void ZipReader::CreateFolders(const std::string& relative) {
  std::string path = relative;
  while (!path.empty() && IsSeparator(path.back())) path.pop_back();
  if (!IsSafeRelativeFolder(path)) return;
  const ZipReaderCalls& calls = ZipReaderCurrentCalls();
  // Parents first, so that each level finds the one above it in place.
  for (size_t i = 0; i < path.size(); ++i)
    if (IsSeparator(path[i])) calls.createFolder((root_ + path.substr(0, i)).c_str());
  calls.createFolder((root_ + path).c_str());
}

int ZipReader::CopyEntryTo(void* output, const ZipEntryInfo& info) {
  const ZipReaderCalls& calls = ZipReaderCurrentCalls();
  if (archive_->GoToEntry(info.index) != kZipOk) return ZIPREADER_CANT_READ_DATA;
  if (archive_->OpenCurrentEntry(password_.get()) != kZipOk) return ZIPREADER_CANT_READ_DATA;
  std::unique_ptr<unsigned char[]> piece(new (std::nothrow) unsigned char[kFilePieceSize]);
  if (!piece) return ZIPREADER_CANT_READ_DATA;
  int result = ZIPREADER_SUCCESS;
  for (;;) {
    int delivered = archive_->ReadCurrentEntry(piece.get(), kFilePieceSize);
    if (delivered < 0) {
      result = MapReadError(delivered);
      break;
    }
    if (delivered == 0) {
      calls.setOutputTimes(output, &info.creationTime, &info.accessTime, &info.modificationTime);
      break;
    }
    if (!calls.writeOutput(output, piece.get(), static_cast<uint32_t>(delivered))) {
      result = ZIPREADER_CANT_WRITE_FILE;
      break;
    }
  }
  archive_->CloseCurrentEntry();
  return result;
}

int ZipReader::ExtractToOutput(int index, void* target, int targetKind) {
  EndPiecewise();
  ZipEntryInfo info;
  int result = BuildRecord(index, &info);
  if (result != ZIPREADER_SUCCESS) return result;
  size_t nameLength = std::strlen(info.name);
  bool directory = (info.attributes & ZIPREADER_ATTRIBUTE_DIRECTORY) ||
                   (nameLength > 0 && IsSeparator(info.name[nameLength - 1]));
  if (directory) {
    if (targetKind == ZIPREADER_KIND_NAME) CreateFolders(info.name);
    return ZIPREADER_SUCCESS;
  }
  if (targetKind == ZIPREADER_KIND_HANDLE) return CopyEntryTo(target, info);

  const ZipReaderCalls& calls = ZipReaderCurrentCalls();
  std::string relative = static_cast<const char*>(target);
  size_t lastSeparator = relative.find_last_of("/\\");
  if (lastSeparator != std::string::npos && lastSeparator > 0)
    CreateFolders(relative.substr(0, lastSeparator));
  std::string path = root_ + relative;
  void* output = calls.createOutputFile(path.c_str(), info.attributes);
  if (!output) return ZIPREADER_CANT_CREATE_FILE;
  result = CopyEntryTo(output, info);
  calls.closeOutputFile(output);
  // A half-written file must not pass for the entry.
  if (result != ZIPREADER_SUCCESS) calls.deleteFile(path.c_str());
  return result;
}

ZipReaderCalls& ZipReaderCurrentCalls() {
  static ZipReaderCalls calls = ZipReaderPlatformCalls();
  return calls;
}

ZipReaderHandle ZipReaderOpenSource(std::unique_ptr<ZipByteSource> source, const char* password) {
  if (!source) return nullptr;
  std::unique_ptr<ZipReader> reader(new (std::nothrow) ZipReader);
  if (!reader) return nullptr;
  if (reader->Open(std::move(source), password) != kZipOk) return nullptr;
  ZipReaderHandle handle = new (std::nothrow) ZipReaderHandleData{1, nullptr};
  if (!handle) return nullptr;
  handle->reader = reader.release();
  return handle;
}

ZipReaderHandle ZipReaderOpen(const void* source, size_t length, int sourceKind, const char* password) {
  const ZipReaderCalls& calls = ZipReaderCurrentCalls();
  std::unique_ptr<ZipByteSource> byteSource;
  switch (sourceKind) {
    case ZIPREADER_KIND_HANDLE:
      if (calls.openHandleSource) byteSource = calls.openHandleSource(source);
      break;
    case ZIPREADER_KIND_NAME:
      if (source && calls.openNamedSource)
        byteSource = calls.openNamedSource(static_cast<const char*>(source));
      break;
    case ZIPREADER_KIND_MEMORY:
      if (source) byteSource.reset(new (std::nothrow) ZipMemorySource(source, length));
      break;
    default:
      break;
  }
  return ZipReaderOpenSource(std::move(byteSource), password);
}

ZipReaderHandle ZipReaderOpenFile(const char* path, const char* password) {
  return ZipReaderOpen(path, 0, ZIPREADER_KIND_NAME, password);
}

namespace {

// The checks that every call on a handle makes first.
int CheckHandle(ZipReaderHandle handle) {
  if (!handle) return ZIPREADER_BAD_ARGUMENTS;
  if (handle->kind != 1 || !handle->reader) return ZIPREADER_NOT_ZIP_HANDLE;
  return ZIPREADER_SUCCESS;
}

}  // namespace

int ZipReaderFindEntry(ZipReaderHandle handle, const char* name, int ignoreCase, int* index,
                       ZipEntryInfo* entry) {
  int result = CheckHandle(handle);
  if (result != ZIPREADER_SUCCESS) return result;
  if (!name) return ZIPREADER_BAD_ARGUMENTS;
  return handle->reader->Find(name, ignoreCase != 0, index, entry);
}

int ZipReaderExtract(ZipReaderHandle handle, int index, void* target, int length, int targetKind) {
  int result = CheckHandle(handle);
  if (result != ZIPREADER_SUCCESS) return result;
  ZipReader& reader = *handle->reader;
  if (index < 0 || index >= reader.EntryCount()) return ZIPREADER_BAD_ARGUMENTS;
  switch (targetKind) {
    case ZIPREADER_KIND_HANDLE:
      return reader.ExtractToOutput(index, target, targetKind);
    case ZIPREADER_KIND_NAME:
      if (!target) return ZIPREADER_BAD_ARGUMENTS;
      return reader.ExtractToOutput(index, target, targetKind);
    case ZIPREADER_KIND_MEMORY:
      return reader.ExtractPiece(index, target, length);
    default:
      return ZIPREADER_BAD_ARGUMENTS;
  }
}

int ZipReaderExtractToMemory(ZipReaderHandle handle, int index, void* buffer, int length) {
  return ZipReaderExtract(handle, index, buffer, length, ZIPREADER_KIND_MEMORY);
}

int ZipReaderClose(ZipReaderHandle handle) {
  int result = CheckHandle(handle);
  if (result != ZIPREADER_SUCCESS) return result;
  handle->reader->EndPiecewise();
  delete handle->reader;
  delete handle;
  return ZIPREADER_SUCCESS;
}
