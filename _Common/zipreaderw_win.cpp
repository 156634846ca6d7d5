// The starter's wide-text road through the zip reader.
#include "_Common/zipreaderw.h"

#include <windows.h>

#include <cstring>

#include "_Common/zipreader_platform.h"
#include "_Common/zipreader_win.h"

namespace {

constexpr int kNameBytes = 260;

void WidenRecord(const ZipEntryInfo& from, ZipEntryInfoW* to) {
  to->index = from.index;
  to->name[0] = L'\0';
  if (MultiByteToWideChar(CP_ACP, 0, from.name, -1, to->name, kNameBytes) == 0) to->name[0] = L'\0';
  to->name[kNameBytes - 1] = L'\0';
  to->attributes = from.attributes;
  to->accessTime = from.accessTime;
  to->creationTime = from.creationTime;
  to->modificationTime = from.modificationTime;
  to->compressedSize = from.compressedSize;
  to->uncompressedSize = from.uncompressedSize;
}

}  // namespace

ZipReaderHandle ZipReaderOpenFile(const wchar_t* path) {
  if (!path) return nullptr;
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  return ZipReaderOpenSource(ZipOpenOwnedHandleSource(file), nullptr);
}

int ZipReaderFindEntry(ZipReaderHandle handle, const wchar_t* name, int* index, ZipEntryInfoW* entry) {
  if (!handle) return ZIPREADER_BAD_ARGUMENTS;
  if (handle->kind != 1) return ZIPREADER_NOT_ZIP_HANDLE;
  if (!name) return ZIPREADER_BAD_ARGUMENTS;
  char ansi[kNameBytes];
  // A name that does not fit in 260 bytes cannot be stored in a findable
  // length either, so it is simply not found.
  if (WideCharToMultiByte(CP_ACP, 0, name, -1, ansi, kNameBytes, nullptr, nullptr) == 0) {
    if (index) *index = -1;
    if (entry) {
      std::memset(entry, 0, sizeof *entry);
      entry->index = -1;
    }
    return ZIPREADER_ENTRY_NOT_FOUND;
  }
  ZipEntryInfo record;
  int result = ZipReaderFindEntry(handle, ansi, 1, index, entry ? &record : nullptr);
  if (entry && (result == ZIPREADER_SUCCESS || result == ZIPREADER_ENTRY_NOT_FOUND))
    WidenRecord(record, entry);
  return result;
}

int ZipReaderExtractToMemory(ZipReaderHandle handle, int index, void* buffer) {
  return ZipReaderExtract(handle, index, buffer, kZipReaderWidePieceLength, ZIPREADER_KIND_MEMORY);
}
