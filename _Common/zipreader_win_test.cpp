// Tests of the zip reader's Win32 side: handle and file-name sources, files
// and handles as targets with their attributes and times, and the starter's
// wide-text road.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "_Common/zipreader.h"
#include "_Common/zipreader_win.h"
#include "_Common/zipreaderw.h"
#include "tests/support/zipfixtures.h"

namespace {

constexpr int kPiece = 4096;

std::string Content(const std::string& seed, size_t size) { return ZipFixtureContent(seed, size); }

std::string FixturePath(const std::string& name) { return ZipFixturePath(name); }

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::string ReadAll(HANDLE file) {
  std::string out;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) out.append(buffer, got);
  return out;
}

std::string UnpackPieces(ZipReaderHandle zip, int index, int size, std::vector<int>* results) {
  std::string out;
  char buffer[kPiece];
  for (int guard = 0; guard < 1000; ++guard) {
    int result = ZipReaderExtractToMemory(zip, index, buffer);
    results->push_back(result);
    if (result != 0x600 && result != 0) break;
    int take = std::min<int>(kPiece, size - static_cast<int>(out.size()));
    if (take > 0) out.append(buffer, take);
    if (result != 0x600) break;
  }
  return out;
}

bool SameTime(const FILETIME& a, const ZipFileTime& b) {
  return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

// A fresh current folder, which the reader takes as its root.
class ZipReaderWin : public ::testing::Test {
 protected:
  void SetUp() override {
    GetCurrentDirectoryA(MAX_PATH, previous_);
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    root_ = std::string(temp) + "zipreader_win_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(root_.c_str(), nullptr);
    SetCurrentDirectoryA(root_.c_str());
  }
  void TearDown() override {
    SetCurrentDirectoryA(previous_);
    for (const char* name : {"plain.txt", "readonly.txt", "handle_target.txt", "sub\\deep\\n.txt"}) {
      std::string path = root_ + "\\" + name;
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(path.c_str());
    }
    RemoveDirectoryA((root_ + "\\sub\\deep").c_str());
    RemoveDirectoryA((root_ + "\\sub").c_str());
    RemoveDirectoryA(root_.c_str());
  }
  char previous_[MAX_PATH];
  std::string root_;
};

TEST_F(ZipReaderWin, HandleSourceCountsFromTheHandlesPositionAndStaysOpen) {
  HANDLE file = CreateFileA(FixturePath("python_prefixed.zip").c_str(), GENERIC_READ, FILE_SHARE_READ,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  for (LONG start : {0L, 1000L}) {  // before the 1000 bytes of other data, and after them
    SetFilePointer(file, start, nullptr, FILE_BEGIN);
    ZipReaderHandle zip = ZipReaderOpen(file, 0, 1, nullptr);
    ASSERT_TRUE(zip) << start;
    ZipEntryInfo info;
    int index = -1;
    ASSERT_EQ(ZipReaderFindEntry(zip, "HELLO.TXT", 1, &index, &info), 0);
    std::vector<int> results;
    EXPECT_EQ(UnpackPieces(zip, index, info.uncompressedSize, &results), Content("h", 2000));
    EXPECT_EQ(ZipReaderClose(zip), 0);
  }
  SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  EXPECT_EQ(ReadAll(file).substr(0, 4), "PPPP");  // still the caller's and open
  CloseHandle(file);
  EXPECT_EQ(ZipReaderOpen(INVALID_HANDLE_VALUE, 0, 1, nullptr), nullptr);
}

TEST_F(ZipReaderWin, UnpackedFileHasTheEntrysAttributesAndTimes) {
  ZipReaderHandle zip = ZipReaderOpenFile(FixturePath("zip_tool.zip").c_str(), nullptr);
  ASSERT_TRUE(zip);
  ZipEntryInfo info;
  int index = -1;
  ASSERT_EQ(ZipReaderFindEntry(zip, "tool_a.txt", 0, &index, &info), 0);
  char target[] = "sub\\deep\\n.txt";
  ASSERT_EQ(ZipReaderExtract(zip, index, target, 0, 2), 0);
  ZipReaderClose(zip);
  HANDLE file = CreateFileA("sub\\deep\\n.txt", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  // Times first: reading the file moves its access time.
  FILETIME creation, access, write;
  ASSERT_TRUE(GetFileTime(file, &creation, &access, &write));
  EXPECT_EQ(ReadAll(file), Content("t", 20000));
  CloseHandle(file);
  EXPECT_TRUE(SameTime(creation, info.creationTime));
  EXPECT_TRUE(SameTime(access, info.accessTime));
  EXPECT_TRUE(SameTime(write, info.modificationTime));

  zip = ZipReaderOpenFile(FixturePath("python_entries.zip").c_str(), nullptr);
  ASSERT_TRUE(zip);
  ASSERT_EQ(ZipReaderFindEntry(zip, "readonly.txt", 0, &index, nullptr), 0);
  char readonly[] = "readonly.txt";
  ASSERT_EQ(ZipReaderExtract(zip, index, readonly, 0, 2), 0);
  EXPECT_TRUE(GetFileAttributesA("readonly.txt") & FILE_ATTRIBUTE_READONLY);
  ASSERT_EQ(ZipReaderFindEntry(zip, "writable.txt", 0, &index, nullptr), 0);
  char plain[] = "plain.txt";
  ASSERT_EQ(ZipReaderExtract(zip, index, plain, 0, 2), 0);
  EXPECT_FALSE(GetFileAttributesA("plain.txt") & FILE_ATTRIBUTE_READONLY);
  ZipReaderClose(zip);
}

TEST_F(ZipReaderWin, HandleTargetIsWrittenFromItsPositionAndLeftOpen) {
  ZipReaderHandle zip = ZipReaderOpenFile(FixturePath("python_entries.zip").c_str(), nullptr);
  ASSERT_TRUE(zip);
  HANDLE out = CreateFileA("handle_target.txt", GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(out, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(out, "head:", 5, &written, nullptr);
  int index = -1;
  ASSERT_EQ(ZipReaderFindEntry(zip, "stored.txt", 0, &index, nullptr), 0);
  EXPECT_EQ(ZipReaderExtract(zip, index, out, 0, 1), 0);
  ZipReaderClose(zip);
  SetFilePointer(out, 0, nullptr, FILE_BEGIN);
  EXPECT_EQ(ReadAll(out), "head:" + Content("s", 3000));
  CloseHandle(out);
}

TEST_F(ZipReaderWin, HandleTargetThatRefusesWritesGives0x400AndStaysOpen) {
  struct Case {
    const char* label;
    const char* path;
    DWORD access, disposition;
  } cases[] = {
      {"opened for reading only", "handle_target.txt", GENERIC_READ, CREATE_ALWAYS},
      {"a device that is always full", "Z:\\dev\\full", GENERIC_WRITE, OPEN_EXISTING},
  };
  ZipReaderHandle zip = ZipReaderOpenFile(FixturePath("zip_tool.zip").c_str(), nullptr);
  ASSERT_TRUE(zip);
  for (const Case& c : cases) {
    HANDLE out = CreateFileA(c.path, c.access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, c.disposition, 0, nullptr);
    ASSERT_NE(out, INVALID_HANDLE_VALUE) << c.label;
    EXPECT_EQ(ZipReaderExtract(zip, 0, out, 0, 1), 0x400) << c.label;
    EXPECT_TRUE(CloseHandle(out)) << c.label;  // still the caller's and open
  }
  // The reader goes on working after the failures.
  std::vector<int> results;
  EXPECT_EQ(UnpackPieces(zip, 0, 20000, &results), Content("t", 20000));
  EXPECT_EQ(ZipReaderClose(zip), 0);
}

TEST_F(ZipReaderWin, WideRoadFindsIgnoringCaseAndUnpacksInFixedPieces) {
  ZipReaderHandle zip = ZipReaderOpenFile(Wide(FixturePath("python_entries.zip")).c_str());
  ASSERT_TRUE(zip);
  int index = -1;
  ZipEntryInfoW info;
  ASSERT_EQ(ZipReaderFindEntry(zip, L"TEN_THOUSAND.BIN", &index, &info), 0);
  EXPECT_STREQ(info.name, L"ten_thousand.bin");
  EXPECT_EQ(info.uncompressedSize, 10000);
  std::vector<int> results;
  EXPECT_EQ(UnpackPieces(zip, index, info.uncompressedSize, &results), Content("a", 10000));
  EXPECT_EQ(results, (std::vector<int>{0x600, 0x600, 0x600, 0}));
  EXPECT_EQ(ZipReaderFindEntry(zip, L"Tesselo1.exe", &index, &info), 0x500);
  EXPECT_EQ(index, -1);
  EXPECT_EQ(info.index, -1);
  EXPECT_EQ(ZipReaderFindEntry(zip, std::wstring(300, L'n').c_str(), &index, &info), 0x500);
  EXPECT_EQ(ZipReaderFindEntry(nullptr, L"x", &index, &info), 0x10000);
  EXPECT_EQ(ZipReaderClose(zip), 0);
  EXPECT_EQ(ZipReaderOpenFile(L"Z:\\no\\such\\archive.zip"), nullptr);
}

TEST_F(ZipReaderWin, WideNamesTravelThroughTheAnsiCodePage) {
  // The test runs set LANG=ko_KR.UTF-8: another code page is a broken set-up, not a pass.
  ASSERT_EQ(GetACP(), 949u) << "needs the Korean ANSI code page";
  ZipReaderHandle zip = ZipReaderOpenFile(Wide(FixturePath("ansi_name.zip")).c_str());
  ASSERT_TRUE(zip);
  const wchar_t korean[] = L"\ud55c\uae00.txt";
  int index = -1;
  ZipEntryInfoW info;
  ASSERT_EQ(ZipReaderFindEntry(zip, korean, &index, &info), 0);
  EXPECT_STREQ(info.name, korean);
  std::vector<int> results;
  EXPECT_EQ(UnpackPieces(zip, index, info.uncompressedSize, &results), "korean");
  ZipReaderClose(zip);
}

}  // namespace
