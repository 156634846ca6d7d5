// Tests of the hash check against references made by openssl and hashlib
// (tests/download/hashlist-fixture): AES decryption, the checks by check
// type, the hash-list entries, and the address and file-name helpers.
#include "_Common/zkfilehashinfo.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/httppeers.h"

namespace {

using zktest::HostPath;


std::string Data(const std::string& name) { return HostPath(zktest::Env("ZK_HASH_DATA") + "/" + name); }

std::vector<std::vector<std::string>> ReadTable(const std::string& path) {
  std::istringstream text(zktest::ReadFileBytes(path));
  std::vector<std::vector<std::string>> rows;
  for (std::string line; std::getline(text, line);) {
    std::vector<std::string> fields;
    std::istringstream cells(line);
    for (std::string cell; std::getline(cells, cell, '\t');) fields.push_back(cell);
    if (!line.empty() && line.back() == '\t') fields.push_back("");
    rows.push_back(fields);
  }
  return rows;
}

// hashlib's lower-case digest of a fixture file.
std::string ReferenceDigest(const std::string& name) {
  for (const auto& row : ReadTable(Data("files/digests.tsv"))) {
    if (row[0] == name) return row[1];
  }
  return "";
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

TEST(DecryptHashValue, AgreesWithOpenSsl) {
  const auto rows = ReadTable(Data("vectors.tsv"));
  ASSERT_GE(rows.size(), 8u);
  for (const auto& row : rows) {
    ASSERT_EQ(row.size(), 4u);
    SCOPED_TRACE(row[0] + " key " + row[1] + " iv " + row[2]);
    const char* key = row[1] == "-" ? nullptr : row[1].c_str();
    const char* iv = row[2] == "-" ? nullptr : row[2].c_str();
    CStringA out("untouched");
    if (row[3] == "FAIL") {
      EXPECT_FALSE(DecryptHashValue(row[0].c_str(), out, key, iv));
      EXPECT_STREQ(out, "untouched");
    } else {
      EXPECT_TRUE(DecryptHashValue(row[0].c_str(), out, key, iv));
      EXPECT_STREQ(out, row[3].c_str());
    }
  }
  CStringA out("untouched");
  EXPECT_FALSE(DecryptHashValue(nullptr, out, nullptr, nullptr));
  EXPECT_STREQ(out, "untouched");
}

TEST(MakeHashListUrl, ReplacesEachHtm) {
  struct Case {
    const char* script;
    int count;
    const char* hash_list;
  } cases[] = {
      {"http://h/p/patch.htm", 1, "http://h/p/patch_hash.htm"},
      {"http://h/p/patch.html", 1, "http://h/p/patch_hash.html"},
      {"http://h/p/PATCH.HTM", 0, "http://h/p/PATCH.HTM"},
      {"http://h/a.htm/patch.htm", 2, "http://h/a_hash.htm/patch_hash.htm"},
      {"http://h/p.htm.htm", 2, "http://h/p_hash.htm_hash.htm"},
      {"", 0, ""},
  };
  for (const Case& c : cases) {
    CStringA out("old");
    EXPECT_EQ(MakeHashListUrl(c.script, out), c.count) << c.script;
    EXPECT_STREQ(out, c.hash_list);
  }
  CStringA out("old");
  EXPECT_EQ(MakeHashListUrl(nullptr, out), 0);
}

TEST(FileNameOfPath, LastComponent) {
  struct Case {
    const char* path;
    const char* name;
  } cases[] = {
      {"C:\\a\\b\\file.zip", "file.zip"}, {"C:/a/file.zip", "file.zip"}, {"C:file.zip", "file.zip"},
      {"file.zip", "file.zip"},           {"C:\\dir\\", "dir\\"},      {"C:\\", "C:\\"},
      {"\\\\server\\share\\x", "x"},      {"", ""},
  };
  for (const Case& c : cases) EXPECT_STREQ(FileNameOfPath(c.path), c.name) << c.path;
  EXPECT_STREQ(FileNameOfPath(nullptr), "");
}

// The entries of a fixture hash list as GetPrivateProfileSection gives them.
std::string SectionBlock() {
  std::istringstream text(zktest::ReadFileBytes(Data("docroot/ct2/patch_hash.htm")));
  std::string block;
  bool inside = false;
  for (std::string line; std::getline(text, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line == "[CorvaliseHashInfo]") {
      inside = true;
    } else if (line.empty() || line[0] == '[') {
      inside = false;
    } else if (inside) {
      block += line + '\0';
    }
  }
  return block + '\0';
}

TEST(CFileHashInfo, SectionEntries) {
  CFileHashInfo info;
  const std::string block = SectionBlock();
  info.AddHashInfoSection(block.data(), block.size());
  ASSERT_NE(info.FindDigest("archive.zip"), nullptr);
  EXPECT_STREQ(info.FindDigest("archive.zip"), Upper(ReferenceDigest("archive.zip")).c_str());  // the first of two
  EXPECT_NE(info.FindDigest("other.bin"), nullptr);
  EXPECT_EQ(info.FindDigest(""), nullptr);           // "=value"
  EXPECT_EQ(info.FindDigest("noequals"), nullptr);
  EXPECT_EQ(info.FindDigest("bad.bin"), nullptr);    // does not decrypt
  EXPECT_EQ(info.FindDigest("ARCHIVE.ZIP"), nullptr);  // names keep their case

  // A block without its closing NULs is read no further than its size.
  std::vector<char> cut(block.begin(), block.begin() + static_cast<long>(block.find('\0')));
  CFileHashInfo other;
  other.AddHashInfoSection(cut.data(), cut.size());
  EXPECT_NE(other.FindDigest("archive.zip"), nullptr);
}

TEST(CFileHashInfo, ChecksByCheckType) {
  const std::string archive = Data("files/archive.zip");
  const std::string other = Data("files/other.bin");
  const std::string block = SectionBlock();
  struct Case {
    const char* name;
    int check_type;
    const std::string* path;
    bool feed_right;  // the stream gets the file's bytes, else other bytes
    int recheck;
    const char* fallback;
    bool result;
    size_t failed;
  };
  const Case cases[] = {
      {"strict match", 0, &archive, true, 0, nullptr, true, 0},
      {"strict stream mismatch", 0, &archive, false, 0, nullptr, false, 1},
      {"strict stream mismatch, file matches", 0, &archive, false, 1, nullptr, true, 0},
      {"strict file mismatch", 0, &other, true, 1, nullptr, false, 1},
      {"lenient file mismatch", 2, &other, true, 1, nullptr, true, 1},
      {"lenient stream mismatch", 2, &other, true, 0, nullptr, true, 0},
      {"off", 1, &other, false, 1, nullptr, true, 0},
      {"other type, stream as lenient", 7, &other, true, 0, nullptr, true, 0},
      {"other type, file as strict", 7, &other, true, 1, nullptr, false, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CFileHashInfo info;
    info.AddHashInfoSection(block.data(), block.size());
    info.SetCheckType(c.check_type);
    const std::string bytes = c.feed_right ? zktest::ReadFileBytes(*c.path) : std::string("something else");
    info.UpdateStreamHash(bytes.data(), bytes.size());
    EXPECT_EQ(info.VerifyStream(c.path->c_str(), c.recheck, c.fallback), c.result);
    ASSERT_EQ(info.GetFailedFileCount(), c.failed);
    if (c.failed) {
      EXPECT_STREQ(info.GetFailedFiles()[0], c.path->c_str());
    }
  }
}

TEST(CFileHashInfo, FallbackDigestForNamesTheListLacks) {
  const std::string file = Data("files/other.bin");  // no entry under this name below
  const std::string bytes = zktest::ReadFileBytes(file);
  const std::string right = ReferenceDigest("other.bin");
  // A digest matches whole: one that only begins like the calculated one, or
  // that the calculated one only begins like, is another digest.
  const std::string cut = right.substr(0, 39), longer = right + "0", upper = Upper(right);
  struct Case {
    const char* fallback;
    bool result;
  } cases[] = {{right.c_str(), true}, {upper.c_str(), true},   {"0000000000000000000000000000000000000000", false},
               {cut.c_str(), false},  {longer.c_str(), false}, {nullptr, true},
               {"", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fallback ? c.fallback : "NULL");
    CFileHashInfo info;
    info.UpdateStreamHash(bytes.data(), bytes.size());
    EXPECT_EQ(info.VerifyStream(file.c_str(), 0, c.fallback), c.result);
    EXPECT_EQ(info.VerifyFile(file.c_str(), c.fallback), c.result);
  }
}

TEST(CFileHashInfo, StreamDigestRestartsAfterACheck) {
  const std::string file = Data("files/other.bin");
  const std::string bytes = zktest::ReadFileBytes(file);
  const std::string right = ReferenceDigest("other.bin");
  CFileHashInfo info;
  for (int round = 0; round < 2; ++round) {
    info.UpdateStreamHash(bytes.data(), 100);
    info.UpdateStreamHash(bytes.data() + 100, bytes.size() - 100);
    EXPECT_TRUE(info.VerifyStream(file.c_str(), 0, right.c_str())) << round;
  }
  // Bytes fed but not yet checked do not count for the file's digest.
  info.UpdateStreamHash("x", 1);
  EXPECT_TRUE(info.VerifyFile(file.c_str(), right.c_str()));
  EXPECT_EQ(info.GetFailedFileCount(), 0u);
}

TEST(CHashListSizeBound, TakesFourMebibytesAndNotOneByteMore) {
  const int64_t kFourMiB = 4194304;
  CHashListSizeBound announced;
  announced.Announce(kFourMiB);
  EXPECT_FALSE(announced.Exceeded());
  announced.Announce(kFourMiB + 1);
  EXPECT_TRUE(announced.Exceeded());

  // Pieces as the download hands them over, without an announced size.
  CHashListSizeBound received;
  received.Announce(-1);
  for (int piece = 0; piece < 512; ++piece) received.Receive(8192);
  EXPECT_FALSE(received.Exceeded());
  received.Receive(1);
  EXPECT_TRUE(received.Exceeded());

  // Once above, it stays so, whatever the answer says afterwards.
  CHashListSizeBound lied;
  lied.Announce(10);
  lied.Receive(kFourMiB + 1);
  lied.Announce(10);
  EXPECT_TRUE(lied.Exceeded());
}

TEST(CFileHashInfo, EmptyAndUnreadableFiles) {
  CFileHashInfo info;
  EXPECT_TRUE(info.VerifyFile(Data("files/empty.bin").c_str(), ReferenceDigest("empty.bin").c_str()));
  const std::string missing = Data("files/missing.bin");
  EXPECT_FALSE(info.VerifyFile(missing.c_str(), ReferenceDigest("empty.bin").c_str()));
  ASSERT_EQ(info.GetFailedFileCount(), 1u);
  EXPECT_STREQ(info.GetFailedFiles()[0], missing.c_str());
  info.SetCheckType(CFileHashInfo::kCheckLenient);
  EXPECT_TRUE(info.VerifyFile(missing.c_str(), ReferenceDigest("empty.bin").c_str()));
  EXPECT_EQ(info.GetFailedFileCount(), 2u);
}

}  // namespace
