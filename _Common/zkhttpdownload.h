// CZKHttpDownload: copies one URL into one local file, resuming from where
// the local file ends, and the callback through which a caller steers it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "_Common/errorcodes.h"
#include "_Common/zkgethttp.h"
#include "_Common/zkgethttpforbigfile.h"
#include "_Common/zkgethttpinterface.h"
#include "framework/cstring.h"
#include "framework/seam.h"

class CZKFile;

// Watches and steers a download. The download calls ConfirmResume,
// IsStopRequested and the four notifications, on the thread that runs it;
// the results of the notifications are not used.
class IHttpDownloadCallback {
 public:
  virtual ~IHttpDownloadCallback() = default;
  // Non-zero: go on from the end of the partly downloaded local file; zero:
  // start again from byte 0.
  virtual BOOL ConfirmResume(LPCSTR local_path) = 0;
  // Exactly 1 stops the download.
  virtual int IsStopRequested() = 0;
  // Reserved; the download does not call it.
  virtual void OnProgress() {}
  // The remote size and the local size from which the download goes on.
  virtual void OnStart(int64_t total, int64_t have) = 0;
  // The same sizes, once the remote file has been opened.
  virtual void OnTransferStart(int64_t total, int64_t have) = 0;
  // A piece that has just been written to the local file.
  virtual void OnData(const void* data, unsigned length) = 0;
  // The download's result code and detail text.
  virtual void OnFinished(int code, LPCSTR detail) = 0;
};

class CZKHttpDownload {
 public:
  // Remote files of this size and more go through the socket getter.
  static constexpr int64_t kBigFileSize = 0x7FFFFFFF;
  // The size of the one transfer buffer.
  static constexpr uint32_t kBufferSize = 8192;

  // no_resume non-zero: every download starts from byte 0. redirects: what
  // the size probe and the framework getter do with a redirect.
  explicit CZKHttpDownload(int no_resume = 0, ZKRedirects redirects = ZKRedirects::kFollow);
  virtual ~CZKHttpDownload() = default;
  CZKHttpDownload(const CZKHttpDownload&) = delete;
  CZKHttpDownload& operator=(const CZKHttpDownload&) = delete;

  // Keeps copies of url and local_path and the callback (not owned, may be
  // null) and marks the object initialised; FALSE, and nothing changed, when
  // url or local_path is null. May be called again to reuse the object.
  BOOL Init(LPCSTR url, LPCSTR local_path, IHttpDownloadCallback* callback);
  // Runs one transfer from the local file's present state. Returns 0 or a
  // DOWNLOAD_* / WIZARDTHREAD_USER_STOP code; the failing URL or local path
  // goes into detail. 3501 when not initialised (the callback is not called);
  // otherwise the callback's OnFinished gets the result.
  LauncherErrorCode Download(CStringA& detail);

 private:
  LauncherErrorCode Transfer(CStringA& detail);
  // Makes the local file's folders and opens the file, keeping what it holds.
  bool OpenLocalFile(CZKFile& file) const;
  // Where the transfer goes on in the open file: its end, or 0 (the file then
  // emptied) when it is larger than total or may not be resumed.
  int64_t ResumePoint(CZKFile& file, int64_t total) const;
  // Copies the answer body into the file until a short read.
  LauncherErrorCode CopyBody(IZKGetHTTP& getter, CZKFile& file, CStringA& detail) const;
  bool StopRequested() const { return m_callback && m_callback->IsStopRequested() == 1; }

  CStringA m_url;
  CStringA m_local_path;
  int m_initialised = 0;
  int m_no_resume;
  ZKRedirects m_redirects;
  IHttpDownloadCallback* m_callback = nullptr;
};

// Both getters of one transfer, of which it uses one. The framework getter
// comes first: its internet session keeps the sockets library started for
// as long as the socket getter lives, also in a process that has made no
// other internet use.
class CZKDownloadGetters {
 public:
  explicit CZKDownloadGetters(ZKRedirects redirects = ZKRedirects::kFollow) : m_framework(nullptr, redirects) {}
  CZKDownloadGetters(const CZKDownloadGetters&) = delete;
  CZKDownloadGetters& operator=(const CZKDownloadGetters&) = delete;

  // The socket getter with big_file, else the framework getter.
  IZKGetHTTP& Chosen(BOOL big_file) {
    if (big_file) return m_big_file;
    return m_framework;
  }

 private:
  CZKGetHTTP m_framework;
  CZKGetHTTPForBigFile m_big_file;
};

// 0 for a null path, a drive root or nothing at path; -1 for a folder, 1 for a file.
int GetPathKind(LPCSTR path);

// The getter of a transfer, so that tests can stand in for a server; tests
// replace it through ScopedCallsOverride.
struct ZKHttpDownloadCalls {
  // Makes a stand-in for the getter of one transfer (a framework getter, or
  // with big_file a socket getter); null, as on the platform: the transfer's
  // own CZKDownloadGetters.
  std::unique_ptr<IZKGetHTTP> (*makeGetter)(BOOL big_file);
};

// The calls in use; the program never changes them.
ZKHttpDownloadCalls& ZKHttpDownloadCurrentCalls();
// The platform's own calls.
ZKHttpDownloadCalls ZKHttpDownloadPlatformCalls();
using ScopedZKHttpDownloadCalls =
    ScopedCallsOverride<ZKHttpDownloadCalls, &ZKHttpDownloadCurrentCalls, &ZKHttpDownloadPlatformCalls>;
