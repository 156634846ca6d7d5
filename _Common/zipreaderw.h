// The starter's wide-text road through the zip reader: open by a UTF-16 path,
// find by a wide name ignoring case, unpack in fixed 4096-byte pieces, close
// with ZipReaderClose.
#pragma once

#include "_Common/zipreader.h"

// Length of every piece that the wide unpack call delivers.
constexpr int kZipReaderWidePieceLength = 4096;

// The entry record of the wide road: as ZipEntryInfo, with the name converted
// from the ANSI code page.
struct ZipEntryInfoW {
  int index;
  wchar_t name[260];
  int attributes;
  ZipFileTime accessTime;
  ZipFileTime creationTime;
  ZipFileTime modificationTime;
  int compressedSize;
  int uncompressedSize;
};

// Opens the archive at a wide path, with no password; null on failure.
ZipReaderHandle ZipReaderOpenFile(const wchar_t* path);

// Finds the first entry whose name, in the ANSI code page (at most 260 bytes),
// equals name ignoring the case of ASCII letters; codes as ZipReaderFindEntry.
int ZipReaderFindEntry(ZipReaderHandle handle, const wchar_t* name, int* index, ZipEntryInfoW* entry);

// Next piece of entry index into buffer, which must hold 4096 bytes: 0x600
// while a piece was delivered, 0 once the entry is done, else an error code.
int ZipReaderExtractToMemory(ZipReaderHandle handle, int index, void* buffer);
