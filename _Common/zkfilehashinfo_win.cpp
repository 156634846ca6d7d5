// The hash list on Windows: its download into a temporary ini file of the
// current folder, the ini reading, and the trace.
#include "_Common/zkfilehashinfo.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "_Common/zkcommonfunc_win.h"
#include "_Common/zkhttpdownload.h"

namespace {

// Stops a hash-list download that is announced or grows above the limit.
class HashListBound : public IHttpDownloadCallback {
 public:
  BOOL ConfirmResume(LPCSTR) override { return FALSE; }
  int IsStopRequested() override { return size_.Exceeded() ? 1 : 0; }
  void OnStart(int64_t total, int64_t) override { size_.Announce(total); }
  void OnTransferStart(int64_t, int64_t) override {}
  void OnData(const void*, unsigned length) override { size_.Receive(length); }
  void OnFinished(int, LPCSTR) override {}
  bool Exceeded() const { return size_.Exceeded(); }

 private:
  CHashListSizeBound size_;
};

}  // namespace

void HashInfoTrace(const char* format, ...) {
  if (!g_bDebugTraceEnabled) return;
  char text[2048];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(text, sizeof(text), format, arguments);
  va_end(arguments);
  DebugTrace("%s", text);
}

LauncherErrorCode CFileHashInfo::LoadHashInfo(const char* script_url) {
  CStringA url;
  if (MakeHashListUrl(script_url, url) != 1) {
    HashInfoTrace("invalid patch-script url[%s]", url.GetString());
    return LauncherError::INVALID_PARAM;
  }
  char folder[MAX_PATH + 1] = {};
  if (GetCurrentDirectoryA(MAX_PATH, folder) > MAX_PATH) folder[0] = '\0';
  char file_name[MAX_PATH + 64];
  std::snprintf(file_name, sizeof(file_name), "%s\\zktmp_hash_file_%x.ini", folder,
                static_cast<unsigned>(std::rand() % 10000000));

  // The list decides which archive passes: it comes from the patch script's
  // server, at the address derived from the script's, or not at all.
  CZKHttpDownload download(1, ZKRedirects::kRefuse);
  HashListBound bound;
  if (!download.Init(url, file_name, &bound)) {
    HashInfoTrace("invalid hashinfo url[%s] or filename[%s]", url.GetString(), file_name);
    return LauncherError::INVALID_PARAM;
  }
  m_check_type = kCheckLenient;
  CStringA detail;
  LauncherErrorCode code = download.Download(detail);
  if (bound.Exceeded()) {
    // Not a list that was cut short, but one that must not be kept at all.
    DeleteFileA(file_name);
    HashInfoTrace("hash info above %d bytes - url[%s]", static_cast<int>(kMaxHashListBytes), url.GetString());
    return LauncherError::DOWNLOAD_CANT_READ_URL;
  }
  if (code != 0) {
    // The partial file stays: the download leaves what it reached.
    HashInfoTrace("failed to download hash info - url[%s], local_file[%s]", url.GetString(), file_name);
    return code;
  }

  const DWORD kSectionSize = 32768;
  std::vector<char> section(kSectionSize, '\0');
  DWORD length = GetPrivateProfileSectionA("CorvaliseHashInfo", section.data(), kSectionSize, file_name);
  AddHashInfoSection(section.data(), std::min<size_t>(length + 1, kSectionSize));
  m_check_type = static_cast<int>(GetPrivateProfileIntA("CorvaliseHashConfig", "CheckType", 0, file_name));
  DeleteFileA(file_name);
  HashInfoTrace("hash check type [%d]", m_check_type);
  return 0;
}
