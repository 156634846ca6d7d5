// Zip reader object API: open an archive, find an entry by name, unpack it to
// a file, a handle or piece by piece into memory, close.
#pragma once

#include <cstddef>
#include <cstdint>

// ZipReaderResult codes: the results of the calls below.
enum ZipReaderResult {
  ZIPREADER_SUCCESS = 0,
  ZIPREADER_CANT_CREATE_FILE = 0x200,
  ZIPREADER_CANT_WRITE_FILE = 0x400,
  ZIPREADER_ENTRY_NOT_FOUND = 0x500,
  ZIPREADER_MORE_DATA = 0x600,
  ZIPREADER_LOCAL_HEADER_MISMATCH = 0x700,
  ZIPREADER_BAD_LOCAL_EXTRA = 0x800,
  ZIPREADER_WRONG_PASSWORD = 0x1000,
  ZIPREADER_BAD_ARGUMENTS = 0x10000,
  ZIPREADER_NOT_ZIP_HANDLE = 0x80000,
  ZIPREADER_CANT_READ_DATA = 0x5000000,
};

// Source and target kinds of ZipReaderOpen and ZipReaderExtract.
enum {
  ZIPREADER_KIND_HANDLE = 1,  // an open Win32 file handle
  ZIPREADER_KIND_NAME = 2,    // a file name (relative to the root folder when unpacking)
  ZIPREADER_KIND_MEMORY = 3,  // a memory block
};

// Win32 file attribute bits that an entry record carries.
enum {
  ZIPREADER_ATTRIBUTE_READONLY = 0x01,
  ZIPREADER_ATTRIBUTE_HIDDEN = 0x02,
  ZIPREADER_ATTRIBUTE_SYSTEM = 0x04,
  ZIPREADER_ATTRIBUTE_DIRECTORY = 0x10,
  ZIPREADER_ATTRIBUTE_ARCHIVE = 0x20,
};

// A Win32 FILETIME (100-ns ticks since 1601-01-01 UTC), laid out as the
// system's own so that Windows code can hand it to SetFileTime directly.
struct ZipFileTime {
  uint32_t dwLowDateTime;
  uint32_t dwHighDateTime;
};

// The record of one entry.
struct ZipEntryInfo {
  int index;  // position in the central directory, from 0
  char name[260];  // as stored, in the archive's 8-bit code; longer names are cut
  int attributes;  // ZIPREADER_ATTRIBUTE_* bits
  ZipFileTime accessTime;
  ZipFileTime creationTime;
  ZipFileTime modificationTime;
  int compressedSize;
  int uncompressedSize;
};

class ZipReader;

// What the open call creates and the close call frees.
struct ZipReaderHandleData {
  int kind;  // 1: zip reader, the only kind there is
  ZipReader* reader;
};
typedef ZipReaderHandleData* ZipReaderHandle;

// Opens an archive from an open file handle (kind 1, from its current position,
// never closed by the reader), a file name (kind 2) or a memory block of length
// bytes (kind 3). password may be null; it is copied. Null on any failure.
ZipReaderHandle ZipReaderOpen(const void* source, size_t length, int sourceKind, const char* password);

// Opens the archive file at path: ZipReaderOpen(path, 0, 2, password).
ZipReaderHandle ZipReaderOpenFile(const char* path, const char* password);

// Finds the first entry named name (ASCII letters folded when ignoreCase is
// set); index and entry may be null. 0, 0x500 (index -1, record zeroed with
// index -1), 0x700, 0x800, 0x10000 or 0x80000.
int ZipReaderFindEntry(ZipReaderHandle handle, const char* name, int ignoreCase, int* index,
                       ZipEntryInfo* entry);

// Unpacks entry index to an open file handle (kind 1), a file name under the
// root folder (kind 2), or the next piece of at most length bytes into a
// buffer (kind 3: 0x600 while a piece was delivered, 0 once the entry is done).
int ZipReaderExtract(ZipReaderHandle handle, int index, void* target, int length, int targetKind);

// ZipReaderExtract with targetKind 3.
int ZipReaderExtractToMemory(ZipReaderHandle handle, int index, void* buffer, int length);

// Ends any piecewise unpacking, closes the archive and frees the handle; 0,
// 0x10000 for null or 0x80000 for a handle of another kind.
int ZipReaderClose(ZipReaderHandle handle);
