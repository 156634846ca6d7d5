// Tests of the resumable download and the size cache, under Wine against
// nginx (ranges, 404, access log) and a fault server that ignores ranges.
#include "_Common/zkhttpdownload.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/httppeers.h"
#include "_Common/zkurlfilesizecache.h"
#include "tests/support/peer.h"

namespace {

using zktest::Env;
using zkhttptest::FaultRoot;
using zktest::HostPath;
using zkhttptest::NginxRoot;
using zktest::ReadFileBytes;

void WriteFileBytes(const std::string& host_path, const std::string& bytes) {
  std::ofstream out(host_path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

bool FileExists(const std::string& host_path) { return GetFileAttributesA(host_path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The bytes that nginx serves as name.
std::string Remote(const std::string& name) { return ReadFileBytes(HostPath(Env("ZK_HTTP_STATE") + "/docroot/" + name)); }

std::string AccessLog() { return ReadFileBytes(HostPath(Env("ZK_HTTP_STATE") + "/nginx/access.log")); }

// What nginx had logged before this program's first request: a repeated run
// of the program (ctest --repeat) asks for the same addresses again.
const size_t g_log_start = AccessLog().size();

// The fields "range=..." of this program's access-log lines whose URI is uri.
std::vector<std::string> LoggedRanges(const std::string& uri) {
  std::istringstream log(AccessLog().substr(std::min(g_log_start, AccessLog().size())));
  std::vector<std::string> ranges;
  std::string line;
  while (std::getline(log, line)) {
    std::istringstream fields(line);
    std::string method, logged_uri, status, bytes, range;
    fields >> method >> logged_uri >> status >> bytes >> range;
    if (logged_uri == uri) ranges.push_back(range);
  }
  return ranges;
}

// The "range=..." fields of uri's lines once nginx has logged every request
// that it answered before.
std::vector<std::string> WaitForRequests(const std::string& uri) {
  EXPECT_TRUE(zktest::SyncAccessLog(std::stoi(Env("ZK_HTTP_NGINX_PORT")),
                                    HostPath(Env("ZK_HTTP_STATE") + "/nginx/access.log")));
  return LoggedRanges(uri);
}

// A fresh local path in the test's own folder.
std::string LocalPath(const std::string& name) {
  const std::string folder = HostPath(Env("ZK_BINARY_DIR") + "/httpdownload-test");
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string path = folder + "\\" + name;
  DeleteFileA(path.c_str());
  return path;
}

// Writes down every call of the download and answers as told.
class RecordingCallback : public IHttpDownloadCallback {
 public:
  BOOL resume_answer = TRUE;
  std::vector<int> stop_answers;  // one per IsStopRequested call, then 0
  std::vector<std::string> events;
  std::string data;

  BOOL ConfirmResume(LPCSTR local_path) override {
    events.push_back(std::string("confirm ") + local_path);
    return resume_answer;
  }
  int IsStopRequested() override {
    size_t call = stop_calls++;
    return call < stop_answers.size() ? stop_answers[call] : 0;
  }
  void OnStart(int64_t total, int64_t have) override {
    events.push_back("start " + std::to_string(total) + " " + std::to_string(have));
  }
  void OnTransferStart(int64_t total, int64_t have) override {
    events.push_back("transfer " + std::to_string(total) + " " + std::to_string(have));
  }
  void OnData(const void* bytes, unsigned length) override { data.append(static_cast<const char*>(bytes), length); }
  void OnFinished(int code, LPCSTR detail) override {
    events.push_back("finished " + std::to_string(code) + " " + detail);
  }

 private:
  size_t stop_calls = 0;
};

enum class Steer { kNone, kResume, kRestart };

TEST(CZKHttpDownload, WholeAndResumedDownloads) {
  const std::string remote = Remote("file300k.bin");
  ASSERT_EQ(remote.size(), 300000u);
  struct Case {
    const char* name;
    int local_length;  // -1: no local file; beyond the remote: junk bytes
    int no_resume;
    Steer steer;
    const char* range;  // of the transfer's request
  } cases[] = {
      {"whole", -1, 0, Steer::kNone, "range=bytes=0-"},
      {"resume", 40, 0, Steer::kNone, "range=bytes=40-"},
      {"resumeasked", 40, 0, Steer::kResume, "range=bytes=40-"},
      {"restartasked", 40, 0, Steer::kRestart, "range=bytes=0-"},
      {"noresume", 40, 1, Steer::kNone, "range=bytes=0-"},
      {"noresumeasked", 40, 1, Steer::kResume, "range=bytes=0-"},
      {"resumelast", 299999, 0, Steer::kNone, "range=bytes=299999-"},
      {"longer", 300050, 0, Steer::kResume, "range=bytes=0-"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string uri = std::string("/file300k.bin?c=") + c.name;
    const std::string url = NginxRoot() + uri;
    const std::string path = LocalPath(std::string(c.name) + ".bin");
    if (c.local_length >= 0) {
      WriteFileBytes(path, c.local_length <= 300000 ? remote.substr(0, c.local_length)
                                                    : remote + std::string(c.local_length - 300000, 'x'));
    }
    RecordingCallback callback;
    callback.resume_answer = c.steer == Steer::kResume;
    CZKHttpDownload download(c.no_resume);
    ASSERT_TRUE(download.Init(url.c_str(), path.c_str(), c.steer == Steer::kNone ? nullptr : &callback));
    CStringA detail("kept");
    EXPECT_EQ(download.Download(detail), 0);
    EXPECT_STREQ(detail, "kept");
    EXPECT_TRUE(ReadFileBytes(path) == remote) << "local file differs from the remote one";
    // The size probe, then the transfer.
    std::vector<std::string> ranges = WaitForRequests(uri);
    ASSERT_EQ(ranges.size(), 2u);
    EXPECT_EQ(ranges[1], c.range);
    // Asked only for a part that may be resumed, and only without the no-resume flag.
    const bool asked = c.steer != Steer::kNone && !c.no_resume && c.local_length > 0 && c.local_length <= 300000;
    EXPECT_EQ(!callback.events.empty() && callback.events[0] == "confirm " + path, asked);
  }
}

TEST(CZKHttpDownload, CallbackSeesSizesAndEveryWrittenByte) {
  const std::string remote = Remote("file300k.bin");
  const std::string uri = "/file300k.bin?c=callback";
  const std::string path = LocalPath("callback.bin");
  WriteFileBytes(path, remote.substr(0, 40));
  RecordingCallback callback;
  CZKHttpDownload download(0);
  ASSERT_TRUE(download.Init((NginxRoot() + uri).c_str(), path.c_str(), &callback));
  CStringA detail("d");
  EXPECT_EQ(download.Download(detail), 0);
  EXPECT_EQ(callback.events, (std::vector<std::string>{"confirm " + path, "start 300000 40", "transfer 300000 40",
                                                       "finished 0 d"}));
  EXPECT_TRUE(callback.data == remote.substr(40));
}

TEST(CZKHttpDownload, CompleteLocalFileOpensNoUrl) {
  const std::string remote = Remote("small100.bin");
  for (bool with_callback : {false, true}) {
    SCOPED_TRACE(with_callback ? "callback" : "no callback");
    const std::string uri = std::string("/small100.bin?c=complete") + (with_callback ? "cb" : "");
    const std::string path = LocalPath("complete.bin");
    WriteFileBytes(path, remote);
    RecordingCallback callback;
    CZKHttpDownload download(0);
    ASSERT_TRUE(download.Init((NginxRoot() + uri).c_str(), path.c_str(), with_callback ? &callback : nullptr));
    CStringA detail("d");
    EXPECT_EQ(download.Download(detail), 0);
    EXPECT_TRUE(ReadFileBytes(path) == remote);
    EXPECT_EQ(WaitForRequests(uri).size(), 1u);  // the probe only
    if (with_callback) {
      EXPECT_EQ(callback.events, (std::vector<std::string>{"confirm " + path, "start 100 100", "finished 0 d"}));
    }
  }
}

TEST(CZKHttpDownload, EmptyRemoteFileCreatesEmptyLocalFile) {
  const std::string path = LocalPath("empty.bin");
  CZKHttpDownload download(0);
  ASSERT_TRUE(download.Init((NginxRoot() + "/empty.bin?c=empty").c_str(), path.c_str(), nullptr));
  CStringA detail;
  EXPECT_EQ(download.Download(detail), 0);
  EXPECT_TRUE(FileExists(path));
  EXPECT_EQ(ReadFileBytes(path).size(), 0u);
  EXPECT_EQ(WaitForRequests("/empty.bin?c=empty").size(), 1u);
}

TEST(CZKHttpDownload, UnmeasurableUrlFailsBeforeTheLocalFile) {
  const std::string path = LocalPath("sub\\missing.bin");
  for (const std::string& url : {NginxRoot() + "/missing.bin?c=404", std::string("ftp://127.0.0.1/small100.bin")}) {
    SCOPED_TRACE(url);
    RecordingCallback callback;
    CZKHttpDownload download(0);
    ASSERT_TRUE(download.Init(url.c_str(), path.c_str(), &callback));
    CStringA detail("old");
    EXPECT_EQ(download.Download(detail), LauncherError::DOWNLOAD_CANT_OPEN_URL);
    EXPECT_STREQ(detail, url.c_str());
    EXPECT_EQ(callback.events, (std::vector<std::string>{"finished 3503 " + url}));
    EXPECT_FALSE(FileExists(path));
    // Failures are not kept: the next attempt measures again.
    EXPECT_EQ(download.Download(detail), LauncherError::DOWNLOAD_CANT_OPEN_URL);
  }
  EXPECT_EQ(WaitForRequests("/missing.bin?c=404").size(), 2u);
}

TEST(CZKHttpDownload, NotInitialisedCallsNothing) {
  RecordingCallback callback;
  CZKHttpDownload download(0);
  CStringA detail("kept");
  EXPECT_EQ(download.Download(detail), LauncherError::DOWNLOAD_CANT_INIT);
  EXPECT_FALSE(download.Init(nullptr, "x.bin", &callback));
  EXPECT_FALSE(download.Init("http://127.0.0.1/", nullptr, &callback));
  EXPECT_EQ(download.Download(detail), LauncherError::DOWNLOAD_CANT_INIT);
  EXPECT_STREQ(detail, "kept");
  EXPECT_TRUE(callback.events.empty());
}

TEST(CZKHttpDownload, StopAnswers) {
  const std::string remote = Remote("file300k.bin");
  struct Case {
    const char* name;
    std::vector<int> answers;
    int code;
    int64_t local_size;  // -1: no local file
    size_t requests;     // for the case's URL
  } cases[] = {
      {"before", {1}, 3008, -1, 0},
      {"afteropen", {0, 1}, 3008, 0, 2},
      {"aftertwo", {0, 0, 0, 1}, 3008, 16384, 2},
      {"notone", {2, 2, -1, 2}, 0, 300000, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string uri = std::string("/file300k.bin?c=stop") + c.name;
    const std::string path = LocalPath(std::string("stop") + c.name + ".bin");
    RecordingCallback callback;
    callback.stop_answers = c.answers;
    CZKHttpDownload download(0);
    ASSERT_TRUE(download.Init((NginxRoot() + uri).c_str(), path.c_str(), &callback));
    CStringA detail("kept");
    EXPECT_EQ(download.Download(detail), c.code);
    EXPECT_STREQ(detail, "kept");
    ASSERT_FALSE(callback.events.empty());
    EXPECT_EQ(callback.events.back(), "finished " + std::to_string(c.code) + " kept");
    EXPECT_EQ(FileExists(path), c.local_size >= 0);
    if (c.local_size >= 0) {
      const std::string local = ReadFileBytes(path);
      EXPECT_EQ(static_cast<int64_t>(local.size()), c.local_size);
      EXPECT_TRUE(local == remote.substr(0, local.size()));
    }
    EXPECT_EQ(WaitForRequests(uri).size(), c.requests);
  }
}

TEST(CZKHttpDownload, FolderInTheFilesPlace) {
  const std::string remote = Remote("small100.bin");
  const std::string path = LocalPath("folder.bin");
  RemoveDirectoryA((path + "\\inner").c_str());
  RemoveDirectoryA(path.c_str());

  // An empty folder goes and the file comes.
  ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
  CZKHttpDownload download(0);
  ASSERT_TRUE(download.Init((NginxRoot() + "/small100.bin?c=folder").c_str(), path.c_str(), nullptr));
  CStringA detail;
  EXPECT_EQ(download.Download(detail), 0);
  EXPECT_TRUE(ReadFileBytes(path) == remote);

  // A folder with content stays, and the open fails.
  DeleteFileA(path.c_str());
  ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((path + "\\inner").c_str(), nullptr));
  EXPECT_EQ(download.Download(detail), LauncherError::DOWNLOAD_CANT_OPEN_FILE);
  EXPECT_STREQ(detail, path.c_str());
  EXPECT_EQ(GetPathKind(path.c_str()), -1);
  RemoveDirectoryA((path + "\\inner").c_str());
  RemoveDirectoryA(path.c_str());
}

TEST(CZKHttpDownload, MissingFoldersAreCreated) {
  const std::string folder = LocalPath("made");
  const std::string path = folder + "\\deeper\\file.bin";
  DeleteFileA(path.c_str());
  RemoveDirectoryA((folder + "\\deeper").c_str());
  RemoveDirectoryA(folder.c_str());
  CZKHttpDownload download(0);
  ASSERT_TRUE(download.Init((NginxRoot() + "/small100.bin?c=folders").c_str(), path.c_str(), nullptr));
  CStringA detail;
  EXPECT_EQ(download.Download(detail), 0);
  EXPECT_TRUE(ReadFileBytes(path) == Remote("small100.bin"));
}

TEST(CZKHttpDownload, ServerIgnoringTheRangeRestartsTheFile) {
  const std::string path = LocalPath("norange.bin");
  WriteFileBytes(path, std::string(40, 'j'));
  RecordingCallback callback;
  CZKHttpDownload download(0);
  ASSERT_TRUE(download.Init((FaultRoot() + "/norange").c_str(), path.c_str(), &callback));
  CStringA detail;
  EXPECT_EQ(download.Download(detail), 0);
  std::string expected;
  for (int i = 0; i < 100; ++i) expected += static_cast<char>(i % 251);
  EXPECT_TRUE(ReadFileBytes(path) == expected);
  EXPECT_EQ(callback.events[2], "transfer 100 0");
}

TEST(GetPathKind, Kinds) {
  const std::string file = LocalPath("kind.bin");
  WriteFileBytes(file, "k");
  const std::string folder = HostPath(Env("ZK_BINARY_DIR") + "/httpdownload-test");
  EXPECT_EQ(GetPathKind(nullptr), 0);
  for (const char* root : {"C:", "C:\\", "c:/", "Z:\\"}) EXPECT_EQ(GetPathKind(root), 0) << root;
  EXPECT_EQ(GetPathKind((folder + "\\nothing-here").c_str()), 0);
  EXPECT_EQ(GetPathKind(folder.c_str()), -1);
  EXPECT_EQ(GetPathKind(file.c_str()), 1);
}

// ---- the getter choice and reads that cannot be made to happen for real ----

struct FakeScript {
  std::vector<BOOL> made;  // big_file of each getter made
  int64_t opened_at = -1;
  int open_result = 0;
  std::vector<int> reads;  // bytes per read; a negative entry fails that read
} g_fake;

class FakeGetter : public IZKGetHTTP {
 public:
  int Open(const char* /*url*/, int64_t offset) override {
    g_fake.opened_at = offset;
    return g_fake.open_result;
  }
  int Read(void* buffer, uint32_t /*length*/, uint32_t& got) override {
    got = 0;
    if (next_ >= g_fake.reads.size()) return 0;
    int size = g_fake.reads[next_++];
    if (size < 0) return ZKGETHTTP_RECEIVE_FAILED;
    got = static_cast<uint32_t>(size);
    std::memset(buffer, 'a' + static_cast<int>(next_), got);
    return 0;
  }

 private:
  size_t next_ = 0;
};

std::unique_ptr<IZKGetHTTP> MakeFake(BOOL big_file) {
  g_fake.made.push_back(big_file);
  return std::unique_ptr<IZKGetHTTP>(new FakeGetter());
}

class FakeGetterTest : public testing::Test {
 protected:
  void SetUp() override { g_fake = FakeScript(); }
  ScopedZKHttpDownloadCalls getters_{ZKHttpDownloadCalls{MakeFake}};
};

TEST_F(FakeGetterTest, SocketGetterFrom2GBOn) {
  struct Case {
    const char* file;
    BOOL big;
  } cases[] = {{"size2147483646", FALSE}, {"size2147483647", TRUE}, {"small100.bin", FALSE}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    g_fake.made.clear();
    const std::string path = LocalPath("boundary.bin");
    CZKHttpDownload download(0);
    // The two boundary sizes come from the fault server, which announces the
    // size and closes: a real body of 2 GB would make the size probe read it all.
    const std::string root = std::string(c.file).compare(0, 4, "size") == 0 ? FaultRoot() : NginxRoot();
    ASSERT_TRUE(download.Init((root + "/" + c.file + "?c=boundary").c_str(), path.c_str(), nullptr));
    CStringA detail;
    EXPECT_EQ(download.Download(detail), 0);
    EXPECT_EQ(g_fake.made, std::vector<BOOL>{c.big});
    EXPECT_EQ(g_fake.opened_at, 0);
  }
}

TEST_F(FakeGetterTest, ShortReadFailedReadAndFailedOpen) {
  const std::string url = NginxRoot() + "/file300k.bin?c=fake";
  struct Case {
    const char* name;
    int open_result;
    std::vector<int> reads;
    int code;
    bool detail_is_url;
    size_t local_size;
  } cases[] = {
      {"shortread", 0, {8192, 5000, 8192}, 0, false, 13192},
      {"endsexactly", 0, {8192, 8192, 0}, 0, false, 16384},
      {"readfails", 0, {8192, -1}, 3504, true, 8192},
      {"openfails", 7, {8192}, 3503, true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    g_fake.open_result = c.open_result;
    g_fake.reads = c.reads;
    const std::string path = LocalPath(std::string("fake") + c.name + ".bin");
    CZKHttpDownload download(0);
    ASSERT_TRUE(download.Init(url.c_str(), path.c_str(), nullptr));
    CStringA detail("kept");
    EXPECT_EQ(download.Download(detail), c.code);
    EXPECT_STREQ(detail, c.detail_is_url ? url.c_str() : "kept");
    EXPECT_EQ(ReadFileBytes(path).size(), c.local_size);
  }
}

TEST_F(FakeGetterTest, WriteFailureGivesTheLocalPath) {
  // A full disk: the device that refuses every write for want of space.
  const std::string url = NginxRoot() + "/file300k.bin?c=writefails";
  const std::string path = HostPath("/dev/full");
  g_fake.reads = {8192, 8192};
  RecordingCallback callback;
  CZKHttpDownload download(0);
  ASSERT_TRUE(download.Init(url.c_str(), path.c_str(), &callback));
  CStringA detail("kept");
  EXPECT_EQ(download.Download(detail), 3505);
  EXPECT_STREQ(detail, path.c_str());
  EXPECT_EQ(callback.data.size(), 0u);
  EXPECT_EQ(callback.events.back(), "finished 3505 " + path);
}

// ---- the getters in a process without earlier internet use ----

// The child's half runs only in the process that the parent starts.
const char kFreshChildVariable[] = "ZK_DOWNLOAD_FRESH_PROCESS_CHILD";

TEST(FreshProcess, BigFileGetterOfTheDownloadHasSockets) {
  if (Env(kFreshChildVariable).empty()) GTEST_SKIP() << "runs in the child process of FreshProcess.Parent";
  const std::string url = NginxRoot() + "/small100.bin?c=fresh";
  {
    // Alone, as a transfer that made only the socket getter had it: the
    // process has no sockets library started, and the connection fails.
    CZKGetHTTPForBigFile alone;
    EXPECT_EQ(alone.Open(url.c_str(), 0), ZKGETHTTP_CANT_CONNECT);
  }
  CZKDownloadGetters getters;
  IZKGetHTTP& big = getters.Chosen(TRUE);
  ASSERT_NE(dynamic_cast<CZKGetHTTPForBigFile*>(&big), nullptr);
  ASSERT_EQ(big.Open(url.c_str(), 0), 0);
  char buffer[8192];
  uint32_t got = 0;
  EXPECT_EQ(big.Read(buffer, sizeof(buffer), got), 0);
  EXPECT_EQ(std::string(buffer, got), Remote("small100.bin"));
}

TEST(FreshProcess, Parent) {
  if (!Env(kFreshChildVariable).empty()) GTEST_SKIP() << "the child's own run";
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  const std::string report = zktest::ProgramFolder() + "fresh_process_child.xml";
  DeleteFileA(report.c_str());
  SetEnvironmentVariableA(kFreshChildVariable, "1");
  const int exit_code = zktest::RunPeer(std::string("\"") + self +
                                        "\" --gtest_filter=FreshProcess.BigFileGetterOfTheDownloadHasSockets"
                                        " --gtest_output=xml:\"" + report + "\"");
  SetEnvironmentVariableA(kFreshChildVariable, nullptr);
  EXPECT_EQ(exit_code, 0);
  // A filter that matches no test ends with 0 all the same: the child's
  // report must show the test run to its end.
  const std::string xml = ReadFileBytes(report);
  const size_t test = xml.find("<testcase name=\"BigFileGetterOfTheDownloadHasSockets\"");
  ASSERT_NE(test, std::string::npos) << "the child ran no such test:\n" << xml;
  EXPECT_NE(xml.substr(test, xml.find('>', test) - test).find("result=\"completed\""), std::string::npos) << xml;
  DeleteFileA(report.c_str());
}

// ---- the size cache ----

TEST(GetUrlFileSize, MeasuresEachUrlOnce) {
  int64_t size = 77;
  EXPECT_FALSE(GetUrlFileSize(nullptr, size));
  EXPECT_EQ(size, 77);

  EXPECT_TRUE(GetUrlFileSize((NginxRoot() + "/small100.bin?cache=case").c_str(), size));
  EXPECT_EQ(size, 100);
  size = 0;
  EXPECT_TRUE(GetUrlFileSize((NginxRoot() + "/small100.bin?CACHE=CASE").c_str(), size));
  EXPECT_EQ(size, 100);
  EXPECT_EQ(WaitForRequests("/small100.bin?cache=case").size(), 1u);
  EXPECT_EQ(WaitForRequests("/small100.bin?CACHE=CASE").size(), 0u);

  size = 77;
  EXPECT_FALSE(GetUrlFileSize((NginxRoot() + "/missing.bin?cache=miss").c_str(), size));
  EXPECT_FALSE(GetUrlFileSize((NginxRoot() + "/missing.bin?cache=miss").c_str(), size));
  EXPECT_EQ(size, 77);
  EXPECT_EQ(WaitForRequests("/missing.bin?cache=miss").size(), 2u);
}

TEST(GetUrlFileSize, ConcurrentLookupsShareOneProbe) {
  const std::string url = NginxRoot() + "/file300k.bin?cache=threads";
  std::vector<int64_t> sizes(8, -1);
  std::vector<std::thread> threads;
  for (size_t i = 0; i < sizes.size(); ++i) {
    threads.emplace_back([&, i] { GetUrlFileSize(url.c_str(), sizes[i]); });
  }
  for (std::thread& thread : threads) thread.join();
  for (int64_t size : sizes) EXPECT_EQ(size, 300000);
  EXPECT_EQ(WaitForRequests("/file300k.bin?cache=threads").size(), 1u);
}

TEST(GetUrlFileSize, DoubleByteCharactersAreNotFolded) {
  // The test runs set LANG=ko_KR.UTF-8: another code page is a broken set-up, not a pass.
  ASSERT_EQ(GetACP(), 949u) << "needs the ANSI code page 949";
  // 0x81 0x41 and 0x81 0x61 are two different Korean characters, whose
  // trail bytes would fold into each other if compared byte by byte.
  int64_t size = 0;
  EXPECT_TRUE(GetUrlFileSize((NginxRoot() + "/small100.bin?mb=\x81\x41").c_str(), size));
  EXPECT_TRUE(GetUrlFileSize((NginxRoot() + "/small100.bin?mb=\x81\x61").c_str(), size));
  ASSERT_TRUE(zktest::SyncAccessLog(std::stoi(Env("ZK_HTTP_NGINX_PORT")),
                                    HostPath(Env("ZK_HTTP_STATE") + "/nginx/access.log")));
  std::istringstream log(AccessLog().substr(std::min(g_log_start, AccessLog().size())));
  size_t probes = 0;
  for (std::string line; std::getline(log, line);) {
    if (line.find("/small100.bin?mb=") != std::string::npos) ++probes;
  }
  EXPECT_EQ(probes, 2u);
}

}  // namespace
