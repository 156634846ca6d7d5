// Tests of the self-update's unpacking of a downloaded archive: the target
// program is replaced only by exactly its entry, and kept as it was whenever
// the entry cannot be written whole.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>

#include "starter/selfupdate_calls.h"
#include "tests/support/testenv.h"
#include "tests/support/zipfixtures.h"

namespace {

const char kTarget[] = "Lumora1.exe";
const char kOldProgram[] = "the old program";

// The starter's own fixtures, beside its scenarios (testdata/make_fixtures.py).
std::string StarterFixturePath(const std::string& name) {
  const char* source = std::getenv("ZK_SOURCE_DIR");
  return std::string(source ? source : ".") + "/tests/starter/testdata/" + name;
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
  CloseHandle(file);
}

std::set<std::string> FileNames(const std::string& folder) {
  std::set<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = found.cFileName;
    if (name != "." && name != "..") names.insert(name);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

class ExtractArchiveEntryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH] = {};
    ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
    folder_ = std::string(temp) + "zk_starter_extract\\";
    CreateDirectoryA(folder_.c_str(), nullptr);
    EmptyFolder();
  }
  void TearDown() override {
    EmptyFolder();
    RemoveDirectoryA(folder_.c_str());
  }
  void EmptyFolder() {
    for (const std::string& name : FileNames(folder_)) DeleteFileA((folder_ + name).c_str());
  }
  std::string folder_;
};

TEST_F(ExtractArchiveEntryTest, ReplacesTheTargetOnlyWithTheWholeEntry) {
  struct Case {
    std::string archive;
    const char* entry;
    int code;
    std::string target;  // the target's bytes afterwards
  } cases[] = {
      {ZipFixturePath("python_entries.zip"), "ten_thousand.bin", 0, ZipFixtureContent("a", 10000)},
      {ZipFixturePath("python_entries.zip"), "stored.txt", 0, ZipFixtureContent("s", 3000)},
      {ZipFixturePath("python_entries.zip"), "empty.txt", 0, ""},
      {ZipFixturePath("python_entries.zip"), "missing.exe", 5007, kOldProgram},
      {ZipFixturePath("bad_deflate_short_stream.zip"), "short.bin", 5006, kOldProgram},
      {ZipFixturePath("bad_truncated.zip"), "ten_thousand.bin", 5006, kOldProgram},
      // A sound entry of 2 GiB and more: its size does not fit the entry
      // record's signed field, so nothing can tell that it was written whole.
      {StarterFixturePath("oversized_entry.zip"), "Lumora1.exe", 5006, kOldProgram},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.archive + " " + c.entry);
    EmptyFolder();
    WriteWholeFile(folder_ + kTarget, kOldProgram);
    int code = ExtractArchiveEntry(CString(folder_.c_str()), CString(c.archive.c_str()), CString(c.entry),
                                   CString(kTarget));
    EXPECT_EQ(code, c.code);
    EXPECT_EQ(zktest::ReadFileBytes(folder_ + kTarget), c.target);
    EXPECT_EQ(FileNames(folder_), std::set<std::string>{kTarget});
  }
}

}  // namespace
