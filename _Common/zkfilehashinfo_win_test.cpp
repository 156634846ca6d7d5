// Tests of the hash list's download and reading under Wine, against nginx
// serving the hash lists that tests/download/hashlist-fixture wrote.
#include <windows.h>

#include "_Common/zkfilehashinfo.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "_Common/zkgethttp_testpeers.h"

namespace {

using zkhttptest::Env;
using zkhttptest::HostPath;


std::string Root() { return "http://127.0.0.1:" + Env("ZK_HASH_NGINX_PORT"); }

std::string ReferenceDigest(const std::string& name) {
  std::ifstream in(HostPath(Env("ZK_HASH_DATA") + "/files/digests.tsv"));
  for (std::string line; std::getline(in, line);) {
    if (line.compare(0, name.size() + 1, name + "\t") == 0) {
      std::string digest = line.substr(name.size() + 1);
      for (char& c : digest) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      return digest;
    }
  }
  return "";
}

// The temporary hash lists left in the current folder.
int TemporaryFiles() {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA("zktmp_hash_file_*.ini", &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  int count = 0;
  do {
    ++count;
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return count;
}

class LoadHashInfoTest : public testing::Test {
 protected:
  void SetUp() override {
    const std::string folder = HostPath(Env("ZK_HASH_DATA") + "/current");
    CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
    ASSERT_EQ(TemporaryFiles(), 0);
  }
};

TEST_F(LoadHashInfoTest, ReadsDigestsAndCheckType) {
  struct Case {
    const char* script;
    int check_type;
  } cases[] = {{"/none/patch.htm", 0}, {"/ct0/patch.htm", 0}, {"/ct1/patch.htm", 1},
               {"/ct2/patch.htm", 2},  {"/ct7/patch.htm", 7}, {"/ct2/patch.html", 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    CFileHashInfo info;
    EXPECT_EQ(info.LoadHashInfo((Root() + c.script).c_str()), 0);
    EXPECT_EQ(info.GetCheckType(), c.check_type);
    ASSERT_NE(info.FindDigest("archive.zip"), nullptr);
    EXPECT_EQ(info.FindDigest("archive.zip"), ReferenceDigest("archive.zip"));
    EXPECT_EQ(info.FindDigest("bad.bin"), nullptr);
    EXPECT_EQ(info.FindDigest("noequals"), nullptr);
    EXPECT_EQ(TemporaryFiles(), 0);  // deleted once read
  }
}

TEST_F(LoadHashInfoTest, UnusableScriptAddresses) {
  for (const char* script : {"/ct1/PATCH.HTM", "/ct1.htm/patch.htm", "/ct1/patch.txt"}) {
    SCOPED_TRACE(script);
    CFileHashInfo info;
    EXPECT_EQ(info.LoadHashInfo((Root() + script).c_str()), 2000);
    EXPECT_EQ(info.GetCheckType(), 0);
  }
  CFileHashInfo info;
  EXPECT_EQ(info.LoadHashInfo(nullptr), 2000);
}

TEST_F(LoadHashInfoTest, UnreachableListMakesTheCheckLenient) {
  CFileHashInfo info;
  EXPECT_EQ(info.LoadHashInfo((Root() + "/missing/patch.htm").c_str()), 3503);
  EXPECT_EQ(info.GetCheckType(), 2);
  // A wrong archive is noted, but the update goes on.
  const std::string archive = HostPath(Env("ZK_HASH_DATA") + "/files/archive.zip");
  info.UpdateStreamHash("wrong", 5);
  EXPECT_TRUE(info.VerifyStream(archive.c_str(), 1, "0000000000000000000000000000000000000000"));
  ASSERT_EQ(info.GetFailedFileCount(), 1u);
  EXPECT_STREQ(info.GetFailedFiles()[0], archive.c_str());
}

TEST_F(LoadHashInfoTest, ListAboveTheLimitIsRefusedAndNotKept) {
  CFileHashInfo info;
  EXPECT_EQ(info.LoadHashInfo((Root() + "/huge/patch.htm").c_str()), 3504);
  EXPECT_EQ(info.GetCheckType(), 2) << "the refused list's CheckType=1 was taken";
  EXPECT_EQ(info.FindDigest("archive.zip"), nullptr);
  EXPECT_EQ(TemporaryFiles(), 0);
}

TEST_F(LoadHashInfoTest, StrictListRejectsAWrongArchiveOnce) {
  CFileHashInfo info;
  ASSERT_EQ(info.LoadHashInfo((Root() + "/ct0/patch.htm").c_str()), 0);
  const std::string other = HostPath(Env("ZK_HASH_DATA") + "/files/other.bin");  // listed with a wrong digest
  info.UpdateStreamHash("x", 1);
  EXPECT_FALSE(info.VerifyStream(other.c_str(), 1, nullptr));
  EXPECT_EQ(info.GetFailedFileCount(), 1u);
}

}  // namespace
