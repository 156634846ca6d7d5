// Tests of the zip reader against archives made by zip and Python's zipfile
// (testdata/zip/make_fixtures.py) and against damaged archives.
#include "_Common/zipreader.h"

#include "_Common/zipreader_platform.h"
#include "tests/support/zipfixtures.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kPiece = 4096;

std::string Content(const std::string& seed, size_t size) { return ZipFixtureContent(seed, size); }

fs::path FixturePath(const std::string& name) { return fs::path(ZipFixturePath(name)); }

std::vector<unsigned char> ReadFixture(const std::string& name) {
  std::ifstream in(FixturePath(name), std::ios::binary);
  EXPECT_TRUE(in.good()) << name;
  return std::vector<unsigned char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// An archive opened from memory, closed at the end of the scope.
struct OpenArchive {
  explicit OpenArchive(const std::string& name, const char* password = nullptr)
      : bytes(ReadFixture(name)), handle(ZipReaderOpen(bytes.data(), bytes.size(), 3, password)) {}
  ~OpenArchive() {
    if (handle) ZipReaderClose(handle);
  }
  OpenArchive(const OpenArchive&) = delete;
  OpenArchive& operator=(const OpenArchive&) = delete;
  std::vector<unsigned char> bytes;
  ZipReaderHandle handle;
};

// The callers' loop: pieces until the result is not 0x600, each one taken as
// min(piece, size - taken) bytes. Gives the last result and every result seen.
struct Unpacked {
  std::string data;
  std::vector<int> results;
  int last = -1;
};

Unpacked UnpackInPieces(ZipReaderHandle handle, int index, int size, int piece = kPiece) {
  Unpacked out;
  std::vector<char> buffer(piece);
  for (int guard = 0; guard < 100000; ++guard) {
    out.last = ZipReaderExtractToMemory(handle, index, buffer.data(), piece);
    out.results.push_back(out.last);
    if (out.last != ZIPREADER_MORE_DATA && out.last != ZIPREADER_SUCCESS) break;
    int take = std::min<int>(piece, size - static_cast<int>(out.data.size()));
    if (take > 0) out.data.append(buffer.data(), take);
    if (out.last != ZIPREADER_MORE_DATA) break;
  }
  return out;
}

uint64_t Ticks(const ZipFileTime& t) { return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

uint64_t TicksOfUnix(int64_t seconds) { return static_cast<uint64_t>(seconds + 11644473600ll) * 10000000ull; }

// DOS times are local; the tests fix the zone so that they read as UTC.
void UseUtcZone() {
#ifdef _WIN32
  _putenv("TZ=UTC0");
  _tzset();
#else
  setenv("TZ", "UTC0", 1);
  tzset();
#endif
}

TEST(ZipReaderPieces, TenThousandBytesComeInFourPiecesOfFourKilobytes) {
  OpenArchive zip("python_entries.zip");
  ASSERT_TRUE(zip.handle);
  int index = -1;
  ZipEntryInfo info;
  ASSERT_EQ(ZipReaderFindEntry(zip.handle, "ten_thousand.bin", 0, &index, &info), 0);
  EXPECT_EQ(info.uncompressedSize, 10000);
  Unpacked out = UnpackInPieces(zip.handle, index, info.uncompressedSize);
  EXPECT_EQ(out.results, (std::vector<int>{0x600, 0x600, 0x600, 0}));
  EXPECT_EQ(out.data, Content("a", 10000));  // the last piece held 1808 bytes
}

struct EntryCase {
  const char* archive;
  const char* password;
  const char* entry;
  const char* seed;
  int size;
};

class ZipReaderEntries : public ::testing::TestWithParam<EntryCase> {};

TEST_P(ZipReaderEntries, UnpackedBytesEqualWhatTheToolPacked) {
  const EntryCase& c = GetParam();
  OpenArchive zip(c.archive, c.password);
  ASSERT_TRUE(zip.handle) << c.archive;
  int index = -1;
  ZipEntryInfo info;
  ASSERT_EQ(ZipReaderFindEntry(zip.handle, c.entry, 1, &index, &info), 0);
  EXPECT_EQ(info.index, index);
  EXPECT_STREQ(info.name, c.entry);
  ASSERT_EQ(info.uncompressedSize, c.size);
  Unpacked out = UnpackInPieces(zip.handle, index, c.size);
  EXPECT_EQ(out.last, 0);
  EXPECT_EQ(out.data, Content(c.seed, c.size));
  // A second round after the end starts the entry anew.
  EXPECT_EQ(UnpackInPieces(zip.handle, index, c.size).data, Content(c.seed, c.size));
}

INSTANTIATE_TEST_SUITE_P(
    Archives, ZipReaderEntries,
    ::testing::Values(EntryCase{"python_entries.zip", nullptr, "stored.txt", "s", 3000},
                      EntryCase{"python_entries.zip", nullptr, "Mixed_Case.TXT", "m", 500},
                      EntryCase{"python_entries.zip", nullptr, "Dir/nested.txt", "n", 700},
                      EntryCase{"python_prefixed.zip", nullptr, "hello.txt", "h", 2000},
                      EntryCase{"python_comment65000.zip", nullptr, "hello.txt", "h", 2000},
                      EntryCase{"zip_tool.zip", nullptr, "tool_a.txt", "t", 20000},
                      EntryCase{"zip_encrypted.zip", "secret", "secret.txt", "e", 10000},
                      EntryCase{"zip_encrypted_stored.zip", "secret", "secret.txt", "e", 10000},
                      // Encrypted after packing, without a data descriptor:
                      // the header's check byte comes from the CRC.
                      EntryCase{"zip_cloaked.zip", "secret", "secret.txt", "e", 10000},
                      EntryCase{"zip_cloaked_stored.zip", "secret", "secret.txt", "e", 10000}));

TEST(ZipReaderPieces, EmptyEntryIsCompleteAtTheFirstCall) {
  OpenArchive zip("python_entries.zip");
  int index = -1;
  ASSERT_EQ(ZipReaderFindEntry(zip.handle, "empty.txt", 0, &index, nullptr), 0);
  char buffer[kPiece];
  EXPECT_EQ(ZipReaderExtractToMemory(zip.handle, index, buffer, kPiece), 0);
}

TEST(ZipReaderPieces, OddPieceLengthsGiveTheSameBytes) {
  OpenArchive zip("zip_encrypted.zip", "secret");
  Unpacked out = UnpackInPieces(zip.handle, 0, 10000, 7);
  EXPECT_EQ(out.last, 0);
  EXPECT_EQ(out.data, Content("e", 10000));
}

TEST(ZipReaderPassword, WrongOrMissingPasswordFailsTheFirstPiece) {
  for (const char* archive :
       {"zip_encrypted.zip", "zip_encrypted_stored.zip", "zip_cloaked.zip", "zip_cloaked_stored.zip"}) {
    for (const char* password : {"wrong", "", static_cast<const char*>(nullptr)}) {
      OpenArchive zip(archive, password);
      ASSERT_TRUE(zip.handle);
      char buffer[kPiece];
      EXPECT_EQ(ZipReaderExtractToMemory(zip.handle, 0, buffer, kPiece), 0x1000)
          << archive << " " << (password ? password : "(null)");
      // The entry was closed: the next call starts again and fails again.
      EXPECT_EQ(ZipReaderExtractToMemory(zip.handle, 0, buffer, kPiece), 0x1000);
    }
  }
}

TEST(ZipReaderOpen, RefusesWhatIsNoReadableArchive) {
  struct Case {
    const char* archive;
    const char* why;
  } cases[] = {
      {"bad_truncated.zip", "no end record"},
      {"far_end_record.zip", "end record more than 65535 bytes before the end"},
      {"bad_cd_outside.zip", "central directory does not fit before the end record"},
  };
  for (const Case& c : cases) {
    OpenArchive zip(c.archive);
    EXPECT_EQ(zip.handle, nullptr) << c.archive << ": " << c.why;
  }
  std::vector<unsigned char> good = ReadFixture("python_entries.zip");
  EXPECT_EQ(ZipReaderOpen(good.data(), good.size(), 4, nullptr), nullptr);
  EXPECT_EQ(ZipReaderOpen(good.data(), good.size(), 0, nullptr), nullptr);
  EXPECT_EQ(ZipReaderOpen(nullptr, 0, 3, nullptr), nullptr);
  EXPECT_EQ(ZipReaderOpen(good.data(), 0, 3, nullptr), nullptr);
  EXPECT_EQ(ZipReaderOpenFile(FixturePath("does_not_exist.zip").string().c_str(), nullptr), nullptr);
}

TEST(ZipReaderFind, NameComparisonFoldsOnlyAsciiLetters) {
  struct Case {
    const char* name;
    int ignoreCase;
    int expected;
  } cases[] = {
      {"Mixed_Case.TXT", 0, 0},
      {"mixed_case.txt", 0, 0x500},
      {"MIXED_CASE.txt", 1, 0},
      {"MIXED-CASE.TXT", 1, 0x500},
      {"NA\xc3\xafVE_\xc3\xa9.TXT", 1, 0},     // only a to z fold ...
      {"NA\xc3\x8fVE_\xc3\x89.TXT", 1, 0x500},  // ... not the bytes of i-diaeresis and e-acute
      {"Mixed_Case.TX", 1, 0x500},
      {"", 1, 0x500},
  };
  OpenArchive zip("python_entries.zip");
  for (const Case& c : cases) {
    int index = 99;
    ZipEntryInfo info;
    info.index = 99;
    int result = ZipReaderFindEntry(zip.handle, c.name, c.ignoreCase, &index, &info);
    EXPECT_EQ(result, c.expected) << c.name;
    if (result == 0x500) {
      EXPECT_EQ(index, -1);
      EXPECT_EQ(info.index, -1);
      EXPECT_EQ(info.name[0], '\0');
      EXPECT_EQ(info.uncompressedSize, 0);
    } else {
      EXPECT_EQ(index, info.index);
    }
  }
}

TEST(ZipReaderFind, NamesOf256BytesAndMoreAreNeverFound) {
  OpenArchive zip("long_names.zip");
  ASSERT_TRUE(zip.handle);
  int index = -1;
  ZipEntryInfo info;
  EXPECT_EQ(ZipReaderFindEntry(zip.handle, std::string(255, 'n').c_str(), 0, &index, &info), 0);
  EXPECT_EQ(index, 0);
  EXPECT_EQ(ZipReaderFindEntry(zip.handle, std::string(256, 'n').c_str(), 0, &index, &info), 0x500);
  EXPECT_EQ(ZipReaderFindEntry(zip.handle, std::string(300, 'x').c_str(), 0, &index, &info), 0x500);
  // The long entries are still there to unpack by index.
  EXPECT_EQ(UnpackInPieces(zip.handle, 2, 3).data, "300");
}

TEST(ZipReaderFind, FailedSearchLeavesAPiecewiseUnpackingGoingAndSuccessEndsIt) {
  OpenArchive zip("python_entries.zip");
  std::string expected = Content("a", 10000);
  char buffer[kPiece];
  ASSERT_EQ(ZipReaderExtractToMemory(zip.handle, 0, buffer, kPiece), 0x600);
  EXPECT_EQ(ZipReaderFindEntry(zip.handle, "missing", 1, nullptr, nullptr), 0x500);
  ASSERT_EQ(ZipReaderExtractToMemory(zip.handle, 0, buffer, kPiece), 0x600);
  EXPECT_EQ(std::string(buffer, kPiece), expected.substr(kPiece, kPiece));
  EXPECT_EQ(ZipReaderFindEntry(zip.handle, "ten_thousand.bin", 0, nullptr, nullptr), 0);
  ASSERT_EQ(ZipReaderExtractToMemory(zip.handle, 0, buffer, kPiece), 0x600);
  EXPECT_EQ(std::string(buffer, kPiece), expected.substr(0, kPiece));
}

TEST(ZipReaderRecord, AttributesFollowTheHostOfThePacker) {
  struct Case {
    const char* archive;
    const char* entry;
    int attributes;
  } cases[] = {
      {"python_entries.zip", "readonly.txt", 0x21},  // Unix 0444
      {"python_entries.zip", "writable.txt", 0x20},  // Unix 0644
      {"python_entries.zip", "Dir/", 0x30},          // Unix directory 0755
      {"python_dos_host.zip", "hidden_readonly.txt", 0x23},
      {"python_dos_host.zip", "system.txt", 0x24},
      {"python_dos_host.zip", "plain.txt", 0x00},
  };
  for (const Case& c : cases) {
    OpenArchive zip(c.archive);
    ZipEntryInfo info;
    ASSERT_EQ(ZipReaderFindEntry(zip.handle, c.entry, 0, nullptr, &info), 0) << c.entry;
    EXPECT_EQ(info.attributes, c.attributes) << c.entry;
  }
}

TEST(ZipReaderRecord, TimesComeFromTheUtBlockWhereItHasThem) {
  UseUtcZone();
  // 2021-03-04 05:06:08, the DOS time of every Python entry, as UTC.
  const uint64_t dos = TicksOfUnix(1614834368);
  struct Case {
    const char* archive;
    const char* entry;
    uint64_t modification, access, creation;
  } cases[] = {
      {"python_entries.zip", "writable.txt", dos, dos, dos},
      {"python_entries.zip", "ut_mod_only.txt", TicksOfUnix(1600000000), dos, dos},
      // zip stores modification and access time; creation keeps the DOS value.
      {"zip_tool.zip", "tool_a.txt", TicksOfUnix(1500000000), TicksOfUnix(1500001234), TicksOfUnix(1500000000)},
      // A UT block that claims more than the field holds is read up to the
      // field's end: the modification time fits, the other two do not.
      {"bad_ut_overrun.zip", "a.txt", TicksOfUnix(5), TicksOfUnix(1614837968), TicksOfUnix(1614837968)},
  };
  for (const Case& c : cases) {
    OpenArchive zip(c.archive);
    ZipEntryInfo info;
    ASSERT_EQ(ZipReaderFindEntry(zip.handle, c.entry, 0, nullptr, &info), 0) << c.entry;
    EXPECT_EQ(Ticks(info.modificationTime), c.modification) << c.entry;
    EXPECT_EQ(Ticks(info.accessTime), c.access) << c.entry;
    EXPECT_EQ(Ticks(info.creationTime), c.creation) << c.entry;
  }
}

TEST(ZipReaderDamaged, BrokenEntriesGiveCodesAndNeverHang) {
  struct Case {
    const char* archive;
    const char* entry;
    int findResult;
    int lastPieceResult;
  } cases[] = {
      {"bad_stored_past_end.zip", "short.bin", 0, 0x5000000},
      {"bad_stored_short.zip", "short.bin", 0, 0x5000000},
      {"bad_deflate_never_ends.zip", "endless.bin", 0, 0x5000000},
      {"bad_deflate_short_stream.zip", "short.bin", 0, 0x5000000},
      {"bad_deflate_garbage.zip", "garbage.bin", 0, 0x5000000},
      {"bad_local_offset.zip", "a.txt", 0x700, 0x5000000},
      {"bad_local_extra.zip", "a.txt", 0x800, 0x5000000},
      // A local header that disagrees with the central one in one field.
      {"bad_local_method.zip", "a.txt", 0x700, 0x5000000},
      {"bad_local_crc.zip", "a.txt", 0x700, 0x5000000},
      {"bad_local_csize.zip", "a.txt", 0x700, 0x5000000},
      {"bad_local_usize.zip", "a.txt", 0x700, 0x5000000},
      {"bad_local_name_length.zip", "a.txt", 0x700, 0x5000000},
      // With a data descriptor the local header may leave CRC and sizes at 0.
      {"local_descriptor_zeros.zip", "a.txt", 0, 0},
      {"bad_huge_sizes.zip", "huge.bin", 0, 0x5000000},
      {"bad_encrypted_tiny.zip", "tiny.bin", 0, 0x5000000},
      {"bad_entry_count.zip", "a.txt", 0, 0},
      {"bad_ut_overrun.zip", "a.txt", 0, 0},
      {"bad_extra_walk.zip", "a.txt", 0, 0},
  };
  for (const Case& c : cases) {
    OpenArchive zip(c.archive);
    ASSERT_TRUE(zip.handle) << c.archive;
    int index = -1;
    ZipEntryInfo info;
    EXPECT_EQ(ZipReaderFindEntry(zip.handle, c.entry, 0, &index, &info), c.findResult) << c.archive;
    Unpacked out = UnpackInPieces(zip.handle, 0, info.uncompressedSize);
    EXPECT_EQ(out.last, c.lastPieceResult) << c.archive;
    EXPECT_LE(out.results.size(), 300u) << c.archive;
  }
}

// Damage that still reads to the entry's full size, made from archives of
// zipfile and zip (testdata/zip/make_fixtures.py, crc_damaged_archives), which
// both tools' own tests report as a bad CRC.
struct CrcCase {
  const char* archive;
  const char* entry;
  int size;
};
const CrcCase kCrcCases[] = {
    {"crc_flipped_deflated_python.zip", "program.exe", 20000},
    {"crc_flipped_stored_python.zip", "stored.bin", 5000},
    {"crc_flipped_deflated_zip.zip", "program.exe", 20000},
    {"crc_flipped_descriptor_zip.zip", "program.exe", 20000},
    {"crc_empty_wrong.zip", "empty.bin", 0},
};

TEST(ZipReaderDamaged, DataThatDiffersFromItsCrcFailsAtTheLastPiece) {
  for (const CrcCase& c : kCrcCases) {
    OpenArchive zip(c.archive);
    ASSERT_TRUE(zip.handle) << c.archive;
    int index = -1;
    ZipEntryInfo info;
    ASSERT_EQ(ZipReaderFindEntry(zip.handle, c.entry, 0, &index, &info), 0) << c.archive;
    ASSERT_EQ(info.uncompressedSize, c.size) << c.archive;
    Unpacked out = UnpackInPieces(zip.handle, index, info.uncompressedSize);
    // Every piece but the one that completes the entry comes as usual; that
    // one fails instead of reporting more data or the end.
    std::vector<int> expected((c.size + kPiece - 1) / kPiece, ZIPREADER_MORE_DATA);
    if (expected.empty()) expected.push_back(0);
    expected.back() = ZIPREADER_CANT_READ_DATA;
    EXPECT_EQ(out.results, expected) << c.archive;
    // The failed entry is closed: asking again starts it anew.
    EXPECT_EQ(UnpackInPieces(zip.handle, index, info.uncompressedSize).results, expected) << c.archive;
  }
}

TEST(ZipReaderDamaged, DirectoryWalkPastTheRealEntriesFails) {
  OpenArchive zip("bad_entry_count.zip");  // claims 65535 entries, holds one
  char buffer[kPiece];
  EXPECT_EQ(ZipReaderFindEntry(zip.handle, "b.txt", 0, nullptr, nullptr), 0x500);
  EXPECT_EQ(ZipReaderExtractToMemory(zip.handle, 5, buffer, kPiece), 0x5000000);
  EXPECT_EQ(ZipReaderExtractToMemory(zip.handle, 65535, buffer, kPiece), 0x10000);
  EXPECT_EQ(UnpackInPieces(zip.handle, 0, 3).data, "abc");
}

TEST(ZipReaderArguments, HandleIndexAndKindAreChecked) {
  OpenArchive zip("python_entries.zip");
  char buffer[kPiece];
  ZipReaderHandleData other{2, nullptr};
  struct Case {
    ZipReaderHandle handle;
    int index;
    int kind;
    void* target;
    int length;
    int expected;
  } cases[] = {
      {nullptr, 0, 3, buffer, kPiece, 0x10000},
      {&other, 0, 3, buffer, kPiece, 0x80000},
      {zip.handle, -1, 3, buffer, kPiece, 0x10000},
      {zip.handle, 10, 3, buffer, kPiece, 0x10000},  // ten entries, 0 to 9
      {zip.handle, 0, 4, buffer, kPiece, 0x10000},
      {zip.handle, 0, 0, buffer, kPiece, 0x10000},
      {zip.handle, 0, 3, nullptr, kPiece, 0x10000},
      {zip.handle, 0, 3, buffer, 0, 0x10000},
      {zip.handle, 0, 2, nullptr, 0, 0x10000},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ZipReaderExtract(c.handle, c.index, c.target, c.length, c.kind), c.expected)
        << c.index << " kind " << c.kind;
  EXPECT_EQ(ZipReaderFindEntry(nullptr, "a", 0, nullptr, nullptr), 0x10000);
  EXPECT_EQ(ZipReaderFindEntry(&other, "a", 0, nullptr, nullptr), 0x80000);
  EXPECT_EQ(ZipReaderFindEntry(zip.handle, nullptr, 0, nullptr, nullptr), 0x10000);
  EXPECT_EQ(ZipReaderClose(nullptr), 0x10000);
  EXPECT_EQ(ZipReaderClose(&other), 0x80000);
  EXPECT_EQ(ZipReaderExtract(zip.handle, 9, buffer, kPiece, 3), 0x600);  // the last entry exists
}

TEST(ZipReaderOpen, CloseDuringPiecewiseUnpackingFreesEverything) {
  std::vector<unsigned char> bytes = ReadFixture("zip_tool.zip");
  ZipReaderHandle handle = ZipReaderOpen(bytes.data(), bytes.size(), 3, "unused");
  ASSERT_TRUE(handle);
  char buffer[kPiece];
  ASSERT_EQ(ZipReaderExtractToMemory(handle, 0, buffer, kPiece), 0x600);
  EXPECT_EQ(ZipReaderClose(handle), 0);  // the leak checker sees the rest
}

// Unpacking to files, under a fresh current folder (the reader's root).
class ZipReaderToFile : public ::testing::Test {
 protected:
  void SetUp() override {
    UseUtcZone();
    previous_ = fs::current_path();
    root_ = fs::temp_directory_path() / ("zipreader_test_" + std::to_string(std::rand()));
    fs::remove_all(root_);
    fs::create_directories(root_ / "inner");
    fs::current_path(root_ / "inner");
  }
  void TearDown() override {
    fs::current_path(previous_);
    std::error_code ignored;
    for (const auto& item : fs::recursive_directory_iterator(root_, ignored))
      fs::permissions(item.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(root_, ignored);
  }
  ZipReaderHandle OpenByName(const char* archive, const char* password = nullptr) {
    return ZipReaderOpenFile(FixturePath(archive).string().c_str(), password);
  }
  static std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  fs::path previous_, root_;
};

TEST_F(ZipReaderToFile, FileByNameUnpacksIntoFoldersUnderTheRoot) {
  ZipReaderHandle zip = OpenByName("python_entries.zip");
  ASSERT_TRUE(zip);
  int index = -1;
  ASSERT_EQ(ZipReaderFindEntry(zip, "Dir/nested.txt", 0, &index, nullptr), 0);
  char target[] = "out/sub\\nested.txt";
  EXPECT_EQ(ZipReaderExtract(zip, index, target, 0, 2), 0);
  EXPECT_EQ(Slurp(root_ / "inner" / "out" / "sub" / "nested.txt"), Content("n", 700));
  ASSERT_EQ(ZipReaderFindEntry(zip, "Dir/", 0, &index, nullptr), 0);
  char unused[] = "ignored";
  EXPECT_EQ(ZipReaderExtract(zip, index, unused, 0, 2), 0);
  EXPECT_TRUE(fs::is_directory(root_ / "inner" / "Dir"));
  EXPECT_FALSE(fs::exists(root_ / "inner" / "ignored"));
  EXPECT_EQ(ZipReaderClose(zip), 0);
}

TEST_F(ZipReaderToFile, UnpackedFileCarriesTheEntrysTimeAndReadOnlyBit) {
  ZipReaderHandle zip = OpenByName("python_entries.zip");
  ASSERT_TRUE(zip);
  int index = -1;
  ASSERT_EQ(ZipReaderFindEntry(zip, "ut_mod_only.txt", 0, &index, nullptr), 0);
  char timed[] = "timed.txt";
  ASSERT_EQ(ZipReaderExtract(zip, index, timed, 0, 2), 0);
  struct stat info;
  ASSERT_EQ(stat("timed.txt", &info), 0);
  EXPECT_EQ(static_cast<int64_t>(info.st_mtime), 1600000000);
  ASSERT_EQ(ZipReaderFindEntry(zip, "readonly.txt", 0, &index, nullptr), 0);
  char readonly[] = "readonly.txt";
  ASSERT_EQ(ZipReaderExtract(zip, index, readonly, 0, 2), 0);
  EXPECT_EQ(Slurp("readonly.txt"), Content("r", 100));
  EXPECT_EQ(fs::status("readonly.txt").permissions() & fs::perms::owner_write, fs::perms::none);
  // Unpacking again makes the file anew over the read-only one.
  EXPECT_EQ(ZipReaderExtract(zip, index, readonly, 0, 2), 0);
  EXPECT_EQ(ZipReaderClose(zip), 0);
}

TEST_F(ZipReaderToFile, DamagedEntryLeavesNoHalfWrittenFile) {
  struct Case {
    const char* archive;
    const char* password;
    int expected;
  } cases[] = {
      {"bad_deflate_short_stream.zip", nullptr, 0x5000000},
      {"bad_stored_past_end.zip", nullptr, 0x5000000},
      {"zip_encrypted.zip", "wrong", 0x1000},
  };
  for (const Case& c : cases) {
    ZipReaderHandle zip = OpenByName(c.archive, c.password);
    ASSERT_TRUE(zip) << c.archive;
    char target[] = "partial.bin";
    EXPECT_EQ(ZipReaderExtract(zip, 0, target, 0, 2), c.expected) << c.archive;
    EXPECT_FALSE(fs::exists("partial.bin")) << c.archive;
    EXPECT_EQ(ZipReaderClose(zip), 0);
  }
}

TEST_F(ZipReaderToFile, DataThatDiffersFromItsCrcLeavesNoFile) {
  for (const CrcCase& c : kCrcCases) {
    ZipReaderHandle zip = OpenByName(c.archive);
    ASSERT_TRUE(zip) << c.archive;
    int index = -1;
    ASSERT_EQ(ZipReaderFindEntry(zip, c.entry, 0, &index, nullptr), 0) << c.archive;
    char target[] = "damaged.bin";
    EXPECT_EQ(ZipReaderExtract(zip, index, target, 0, 2), 0x5000000) << c.archive;
    EXPECT_FALSE(fs::exists("damaged.bin")) << c.archive;
    EXPECT_EQ(ZipReaderClose(zip), 0);
  }
}

TEST_F(ZipReaderToFile, FolderEntriesNeverClimbOutOfTheRoot) {
  ZipReaderHandle zip = OpenByName("bad_dotdot_dir.zip");
  ASSERT_TRUE(zip);
  char target[] = "x";
  EXPECT_EQ(ZipReaderExtract(zip, 0, target, 0, 2), 0);
  EXPECT_EQ(ZipReaderExtract(zip, 1, target, 0, 2), 0);
  EXPECT_FALSE(fs::exists(root_ / "evil"));
  EXPECT_FALSE(fs::exists(root_ / "evil2"));
  EXPECT_FALSE(fs::exists(root_ / "inner" / "ok"));
  EXPECT_EQ(ZipReaderClose(zip), 0);
}

TEST_F(ZipReaderToFile, TargetFolderPartWithDotDotGetsNoFolders) {
  ZipReaderHandle zip = OpenByName("python_entries.zip");
  ASSERT_TRUE(zip);
  // Each folder part holds ".." before a separator, so nothing is made and
  // the file cannot be created in the missing folder.
  const char* targets[] = {"up..\\sub\\f.txt", "a/b../c/f.txt", "ok/../f/g.txt"};
  for (const char* name : targets) {
    std::string target = name;
    EXPECT_EQ(ZipReaderExtract(zip, 0, &target[0], 0, 2), 0x200) << name;
  }
  EXPECT_TRUE(fs::is_empty(root_ / "inner"));
  EXPECT_EQ(std::distance(fs::directory_iterator(root_), fs::directory_iterator()), 1);
  EXPECT_EQ(ZipReaderClose(zip), 0);
}

// The platform's own file calls, except that writes fail from the second
// one on, as on a disk that fills up while the entry is being unpacked.
struct WritesFailAfterTheFirst {
  static int writes, closes;
  static bool Write(void* output, const void* data, uint32_t size) {
    return ++writes < 2 && ZipReaderPlatformCalls().writeOutput(output, data, size);
  }
  static void Close(void* output) {
    ++closes;
    ZipReaderPlatformCalls().closeOutputFile(output);
  }
};
int WritesFailAfterTheFirst::writes = 0;
int WritesFailAfterTheFirst::closes = 0;

TEST_F(ZipReaderToFile, WriteFailureGives0x400AndLeavesNoHalfFile) {
  WritesFailAfterTheFirst::writes = WritesFailAfterTheFirst::closes = 0;
  ZipReaderHandle zip = OpenByName("zip_tool.zip");
  ASSERT_TRUE(zip);
  char target[] = "tool_a.txt";  // 20000 bytes: a second piece follows the first
  int result = 0;
  {
    ScopedZipReaderCalls failing;
    failing.calls().writeOutput = WritesFailAfterTheFirst::Write;
    failing.calls().closeOutputFile = WritesFailAfterTheFirst::Close;
    result = ZipReaderExtract(zip, 0, target, 0, 2);
  }
  EXPECT_EQ(result, 0x400);
  EXPECT_EQ(WritesFailAfterTheFirst::writes, 2);
  EXPECT_EQ(WritesFailAfterTheFirst::closes, 1);
  EXPECT_FALSE(fs::exists("tool_a.txt"));
  // The reader goes on working after the failure.
  EXPECT_EQ(ZipReaderExtract(zip, 0, target, 0, 2), 0);
  EXPECT_EQ(Slurp("tool_a.txt"), Content("t", 20000));
  EXPECT_EQ(ZipReaderClose(zip), 0);
}

#ifndef _WIN32
TEST_F(ZipReaderToFile, FullDeviceAsTargetGives0x400) {
  // A caller's descriptor (given as descriptor + 1) on a device that is always full.
  int full = open("/dev/full", O_WRONLY);
  ASSERT_GE(full, 0) << "no /dev/full";
  ZipReaderHandle zip = OpenByName("zip_tool.zip");
  ASSERT_TRUE(zip);
  EXPECT_EQ(ZipReaderExtract(zip, 0, reinterpret_cast<void*>(static_cast<intptr_t>(full) + 1), 0, 1), 0x400);
  EXPECT_EQ(ZipReaderClose(zip), 0);
  EXPECT_EQ(close(full), 0);  // still the caller's and open
}
#endif

TEST_F(ZipReaderToFile, OutputThatCannotBeCreatedGives0x200) {
  ZipReaderHandle zip = OpenByName("python_entries.zip");
  ASSERT_TRUE(zip);
  fs::create_directories("taken");
  char target[] = "taken";  // a folder stands where the file should go
  EXPECT_EQ(ZipReaderExtract(zip, 0, target, 0, 2), 0x200);
  EXPECT_EQ(ZipReaderClose(zip), 0);
}

}  // namespace
