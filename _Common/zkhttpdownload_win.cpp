// CZKHttpDownload on the size cache, the HTTP getters and CZKFile.
#include "_Common/zkhttpdownload.h"

#include <cstring>

#include "_Common/zkcommonfunc_win.h"
#include "_Common/zkfile.h"
#include "_Common/zkurlfilesizecache.h"

namespace {

// The status of the open answer of one of the real getters; -1 when unknown.
int AnswerStatus(IZKGetHTTP& getter) {
  if (auto* framework = dynamic_cast<CZKGetHTTP*>(&getter)) {
    DWORD status = 0;
    if (framework->Request() && framework->Request()->QueryInfoStatusCode(status)) return static_cast<int>(status);
    return -1;
  }
  if (auto* sockets = dynamic_cast<CZKGetHTTPForBigFile*>(&getter)) return sockets->StatusCode();
  return -1;
}

}  // namespace

ZKHttpDownloadCalls ZKHttpDownloadPlatformCalls() { return ZKHttpDownloadCalls{nullptr}; }

ZKHttpDownloadCalls& ZKHttpDownloadCurrentCalls() {
  static ZKHttpDownloadCalls calls = ZKHttpDownloadPlatformCalls();
  return calls;
}

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// "C:", "C:\\" or "\\\\server\\share" with or without its closing separator.
bool HasRootForm(LPCSTR path) {
  if (path[0] != '\0' && path[1] == ':') return path[2] == '\0' || (IsSeparator(path[2]) && path[3] == '\0');
  if (!IsSeparator(path[0]) || !IsSeparator(path[1])) return false;
  const char* at = path + 2;
  int parts = 0;
  while (*at) {
    const char* start = at;
    while (*at && !IsSeparator(*at)) ++at;
    if (at == start) return false;
    ++parts;
    if (*at) ++at;
  }
  return parts == 2;
}

}  // namespace

int GetPathKind(LPCSTR path) {
  if (!path) return 0;
  // Windows names a drive type only for a root; Wine names the type of the
  // drive that holds any path, so the root form is checked first.
  if (HasRootForm(path)) {
    UINT drive = GetDriveTypeA(path);
    if (drive != DRIVE_UNKNOWN && drive != DRIVE_NO_ROOT_DIR) return 0;
  }
  DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return 0;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? -1 : 1;
}

CZKHttpDownload::CZKHttpDownload(int no_resume, ZKRedirects redirects) : m_no_resume(no_resume), m_redirects(redirects) {}

BOOL CZKHttpDownload::Init(LPCSTR url, LPCSTR local_path, IHttpDownloadCallback* callback) {
  if (!url || !local_path) return FALSE;
  m_url = url;
  m_local_path = local_path;
  m_callback = callback;
  m_initialised = 1;
  return TRUE;
}

LauncherErrorCode CZKHttpDownload::Download(CStringA& detail) {
  if (!m_initialised) return LauncherError::DOWNLOAD_CANT_INIT;
  LauncherErrorCode code = Transfer(detail);
  if (m_callback) m_callback->OnFinished(code, detail);
  return code;
}

namespace {

// Names what failed in the caller's detail text and gives the code back, so
// that each failure of a transfer is one line.
LauncherErrorCode Failure(CStringA& detail, const CStringA& what, LauncherErrorCode code) {
  detail = what;
  return code;
}

}  // namespace

bool CZKHttpDownload::OpenLocalFile(CZKFile& file) const {
  CStringA folder;
  DirectoryOfPath(folder, m_local_path);
  CreateDirectoryTree(folder);
  // An empty folder in the file's place would stop the open; a fuller one
  // stays and the open fails.
  if (GetPathKind(m_local_path) == -1 && m_local_path.GetLength() > 3) RemoveDirectoryA(m_local_path);
  return file.Open(m_local_path, CZKFile::kModeOpenAlways, FILE_ATTRIBUTE_NORMAL) != FALSE;
}

int64_t CZKHttpDownload::ResumePoint(CZKFile& file, int64_t total) const {
  int64_t have = file.GetSize64();
  if (have > total || (have > 0 && (m_no_resume || (m_callback && !m_callback->ConfirmResume(m_local_path))))) {
    file.Truncate(0, FILE_BEGIN);
    have = 0;
  }
  file.Seek64(have, FILE_BEGIN);
  return have;
}

LauncherErrorCode CZKHttpDownload::CopyBody(IZKGetHTTP& getter, CZKFile& file, CStringA& detail) const {
  unsigned char buffer[kBufferSize];
  uint32_t got = 0;
  do {
    if (StopRequested()) return LauncherError::WIZARDTHREAD_USER_STOP;
    if (getter.Read(buffer, kBufferSize, got) != 0) return Failure(detail, m_url, LauncherError::DOWNLOAD_CANT_READ_URL);
    if (got > kBufferSize) got = kBufferSize;
    if (got > 0) {
      if (!file.Write(buffer, got)) return Failure(detail, m_local_path, LauncherError::DOWNLOAD_CANT_WRITE_URL);
      if (m_callback) m_callback->OnData(buffer, got);
    }
  } while (got == kBufferSize);
  return LauncherError::SUCCESS;
}

LauncherErrorCode CZKHttpDownload::Transfer(CStringA& detail) {
  if (StopRequested()) return LauncherError::WIZARDTHREAD_USER_STOP;
  int64_t total = 0;
  if (!GetUrlFileSize(m_url, total, m_redirects)) return Failure(detail, m_url, LauncherError::DOWNLOAD_CANT_OPEN_URL);
  CZKFile file;
  if (!OpenLocalFile(file)) return Failure(detail, m_local_path, LauncherError::DOWNLOAD_CANT_OPEN_FILE);
  int64_t have = ResumePoint(file, total);
  if (m_callback) m_callback->OnStart(total, have);
  if (have == total) return LauncherError::SUCCESS;

  const BOOL big_file = total >= kBigFileSize;
  CZKDownloadGetters getters(m_redirects);
  const auto make_getter = ZKHttpDownloadCurrentCalls().makeGetter;
  std::unique_ptr<IZKGetHTTP> stand_in = make_getter ? make_getter(big_file) : nullptr;
  IZKGetHTTP* getter = make_getter ? stand_in.get() : &getters.Chosen(big_file);
  if (!getter || getter->Open(m_url, have) != 0) return Failure(detail, m_url, LauncherError::DOWNLOAD_CANT_OPEN_URL);
  // A server that ignores the range answers 200 with the whole file: start
  // the local file again instead of appending the whole file behind its part.
  if (have > 0 && AnswerStatus(*getter) == 200) {
    file.Truncate(0, FILE_BEGIN);
    have = 0;
  }
  if (m_callback) m_callback->OnTransferStart(total, have);
  return CopyBody(*getter, file, detail);
}
