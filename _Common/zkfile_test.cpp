// Tests of CZKFile: open modes, sharing, 64-bit seeks, writes and truncation.
#include "_Common/zkfile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

std::string TestFolder() {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  std::string folder = std::string(temp) + "zkfile_test";
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

// Makes path hold exactly text (or removes it for a null text).
void Prepare(const std::string& path, const char* text) {
  DeleteFileA(path.c_str());
  if (!text) return;
  CZKFile file;
  ASSERT_TRUE(file.Open(path.c_str(), CZKFile::kModeCreateAlways, FILE_ATTRIBUTE_NORMAL));
  ASSERT_TRUE(file.Write(text, static_cast<DWORD>(strlen(text))));
}

int64_t SizeOnDisk(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

TEST(CZKFile, OpenModes) {
  struct Case {
    int mode;
    const char* existing;  // null: no file
    BOOL opens;
    int64_t size_after;  // -1: no file afterwards
  } cases[] = {
      {CZKFile::kModeOpenAlways, "abcde", TRUE, 5},   {CZKFile::kModeOpenAlways, nullptr, TRUE, 0},
      {CZKFile::kModeCreateAlways, "abcde", TRUE, 0}, {CZKFile::kModeCreateAlways, nullptr, TRUE, 0},
      {CZKFile::kModeRead, "abcde", TRUE, 5},         {CZKFile::kModeRead, nullptr, FALSE, -1},
      {7, "abcde", TRUE, 5},                          {7, nullptr, FALSE, -1},
  };
  const std::string path = TestFolder() + "\\modes.bin";
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.mode << (c.existing ? " existing" : " missing"));
    Prepare(path, c.existing);
    CZKFile file;
    EXPECT_EQ(file.Open(path.c_str(), c.mode, FILE_ATTRIBUTE_NORMAL), c.opens);
    EXPECT_EQ(file.IsOpen(), c.opens);
    if (c.opens) {
      EXPECT_EQ(file.GetSize64(), c.size_after);
    }
    file.Close();
    EXPECT_EQ(SizeOnDisk(path), c.size_after);
  }
}

TEST(CZKFile, ReadModeRefusesWrites) {
  const std::string path = TestFolder() + "\\readonly.bin";
  Prepare(path, "xyz");
  CZKFile file;
  ASSERT_TRUE(file.Open(path.c_str(), CZKFile::kModeRead, FILE_ATTRIBUTE_NORMAL));
  EXPECT_FALSE(file.Write("q", 1));
  file.Close();
  EXPECT_EQ(SizeOnDisk(path), 3);
}

TEST(CZKFile, ClosedFileAndSecondOpen) {
  const std::string path = TestFolder() + "\\closed.bin";
  Prepare(path, "12345");
  CZKFile file;
  EXPECT_EQ(file.Close(), -1);
  EXPECT_EQ(file.GetSize64(), 0);
  EXPECT_FALSE(file.Seek64(0, FILE_BEGIN));
  EXPECT_FALSE(file.Write("a", 1));
  file.Truncate(0, FILE_BEGIN);  // nothing to do, must not fail

  ASSERT_TRUE(file.Open(path.c_str(), CZKFile::kModeOpenAlways, FILE_ATTRIBUTE_NORMAL));
  EXPECT_FALSE(file.Open(path.c_str(), CZKFile::kModeRead, FILE_ATTRIBUTE_NORMAL));
  EXPECT_TRUE(file.IsOpen());
  EXPECT_EQ(file.Close(), 1);
  EXPECT_EQ(file.Close(), -1);
  EXPECT_EQ(SizeOnDisk(path), 5);
}

TEST(CZKFile, OthersMayReadButNotWrite) {
  const std::string path = TestFolder() + "\\shared.bin";
  Prepare(path, "shared");
  CZKFile writer;
  ASSERT_TRUE(writer.Open(path.c_str(), CZKFile::kModeOpenAlways, FILE_ATTRIBUTE_NORMAL));
  HANDLE reader = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  EXPECT_NE(reader, INVALID_HANDLE_VALUE);
  if (reader != INVALID_HANDLE_VALUE) CloseHandle(reader);
  HANDLE other_writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  EXPECT_EQ(other_writer, INVALID_HANDLE_VALUE);
  if (other_writer != INVALID_HANDLE_VALUE) CloseHandle(other_writer);
}

TEST(CZKFile, SeeksWritesAndTruncatesBeyond4GB) {
  const std::string path = TestFolder() + "\\seek.bin";
  Prepare(path, "0123456789");
  CZKFile file;
  ASSERT_TRUE(file.Open(path.c_str(), CZKFile::kModeOpenAlways, FILE_ATTRIBUTE_NORMAL));
  int64_t at = -1;
  ASSERT_TRUE(file.Seek64(-3, FILE_END, &at));
  EXPECT_EQ(at, 7);
  ASSERT_TRUE(file.Write("ab", 2));
  ASSERT_TRUE(file.Seek64(1, FILE_CURRENT, &at));
  EXPECT_EQ(at, 10);
  EXPECT_FALSE(file.Seek64(-20, FILE_CURRENT, &at));
  EXPECT_EQ(at, 10);  // unchanged by the failed move

  // A 64-bit position survives the round trip (the file stays sparse-sized only).
  const int64_t beyond = (5LL << 30) + 3;
  file.Truncate(beyond, FILE_BEGIN);
  EXPECT_EQ(file.GetSize64(), beyond);
  ASSERT_TRUE(file.Seek64(0, FILE_END, &at));
  EXPECT_EQ(at, beyond);

  file.Truncate(4, FILE_BEGIN);
  EXPECT_EQ(file.GetSize64(), 4);
  file.Truncate(-100, FILE_BEGIN);  // refused move: the size stays
  EXPECT_EQ(file.GetSize64(), 4);
  file.Close();

  char text[8] = {};
  DWORD got = 0;
  HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  ReadFile(handle, text, sizeof(text), &got, nullptr);
  CloseHandle(handle);
  EXPECT_EQ(std::string(text, got), "0123");
}

}  // namespace
