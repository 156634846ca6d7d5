// The starter's self-update and the update wizard's download into the Windows folder.
#include "starter/selfupdate.h"

// The getter brings the sockets header, which must come before windows.h.
#include <winsock2.h>
#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "_Common/errorcodes.h"
#include "_Common/fileversioninfo.h"
#include "_Common/zipreaderw.h"
#include "_Common/zkgethttp.h"
#include "framework/file.h"
#include "framework/scopedhandle.h"
#include "framework/thread.h"
#include "starter/downloadbase.h"
#include "starter/errormessages.h"
#include "starter/resource_ids.h"
#include "starter/selfupdate_calls.h"
#include "starter/updatebatch.h"
#include "starter/versiontext.h"
#include "zksettings.h"

SelfUpdateCalls SelfUpdatePlatformCalls() {
  return {GetACP, WideCharToMultiByte, WriteFile, MoveFileW, _wrename, WinExec};
}

SelfUpdateCalls& SelfUpdateCurrentCalls() {
  static SelfUpdateCalls calls = SelfUpdatePlatformCalls();
  return calls;
}
StarterDownloadBounds g_downloadBounds = {ZK_STARTER_TRUSTED_DOWNLOAD_BASES, ZK_STARTER_MAX_ARCHIVE_BYTES,
                                          ZK_STARTER_DOWNLOAD_DEADLINE_S * 1000UL};

namespace {

// Code pages in which every character has its bytes: they refuse
// WC_NO_BEST_FIT_CHARS and a used-default flag, and only a lone surrogate
// cannot be converted, which WC_ERR_INVALID_CHARS turns into a failure.
bool EncodesEveryCharacter(UINT codePage) { return codePage == CP_UTF8 || codePage == 54936; }

}  // namespace

bool ToAnsiExactly(const std::wstring& text, std::string* ansi) {
  ansi->clear();
  if (text.empty()) return true;
  UINT codePage = SelfUpdateCurrentCalls().getAnsiCodePage();
  bool everyCharacter = EncodesEveryCharacter(codePage);
  DWORD flags = everyCharacter ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  LPBOOL usedDefaultFlag = everyCharacter ? nullptr : &usedDefault;
  int length = static_cast<int>(text.size());
  int n = SelfUpdateCurrentCalls().wideCharToMultiByte(codePage, flags, text.c_str(), length, nullptr, 0, nullptr,
                                                usedDefaultFlag);
  if (n <= 0 || usedDefault) return false;
  ansi->assign(static_cast<size_t>(n), '\0');
  int written = SelfUpdateCurrentCalls().wideCharToMultiByte(codePage, flags, text.c_str(), length, &(*ansi)[0], n, nullptr,
                                                      usedDefaultFlag);
  if (written == n && !usedDefault) return true;
  ansi->clear();
  return false;
}

namespace {

const wchar_t kStarterName[] = L"Lumora1";
const wchar_t kWizardName[] = L"Tesselo1";
const wchar_t kExe[] = L".exe";
const wchar_t kTempPrefix[] = L"_temp";
const wchar_t kMovePrefix[] = L"_move";
const wchar_t kBatch[] = L".bat";
const wchar_t kZip[] = L".zip";

const UINT kPieceLength = 4096;
const UINT kCreateFlags = CFile::modeCreate | CFile::modeWrite | CFile::shareDenyWrite;

CString ArchiveName(const wchar_t* program, const CString& version) {
  CString name(program);
  name += L"_";
  name += version;
  name += kZip;
  return name;
}

// The system's folder, ending in a backslash; empty when the system names none.
std::wstring SystemFolder() {
  wchar_t folder[MAX_PATH] = {};
  UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return L"";
  return std::wstring(folder) + L"\\";
}

// The batch file's bytes (ANSI, every line ended by CR LF), or false when the
// folder or a value cannot be written so that only the four commands run.
bool MakeBatchText(const CString& folder, const CString& s, const CString& u, const CString& p, std::string* text) {
  std::vector<std::wstring> lines;
  if (!BuildUpdateBatchLines(folder.Str(), SystemFolder(), s.Str(), u.Str(), p.Str(), &lines)) return false;
  text->clear();
  for (const std::wstring& line : lines) {
    std::string ansi;
    if (!ToAnsiExactly(line, &ansi)) return false;
    *text += ansi + "\r\n";
  }
  return true;
}

// Writes all size bytes at the file's position; false when not all were written.
bool WriteAll(CFile& file, const void* data, UINT size) {
  DWORD written = 0;
  return SelfUpdateCurrentCalls().writeFile(file.m_hFile, data, size, &written, nullptr) && written == size;
}

bool WriteWholeFile(const CString& path, const std::string& bytes) {
  CFile file;
  if (!file.Open(path.GetString(), kCreateFlags)) return false;
  return WriteAll(file, bytes.data(), static_cast<UINT>(bytes.size()));
}

// Starts the batch file hidden, with its own folder (the Windows folder) as
// its current folder instead of the one this program was started from, which
// may hold anything. This program's own current folder is kept.
bool StartBatchFile(const CString& folder, const CString& batchPath) {
  std::string command;
  if (!ToAnsiExactly(L"\"" + batchPath.Str() + L"\"", &command)) return false;
  wchar_t previous[MAX_PATH] = {};
  DWORD length = GetCurrentDirectoryW(MAX_PATH, previous);
  if (!SetCurrentDirectoryW(folder.GetString())) return false;
  bool started = SelfUpdateCurrentCalls().winExec(command.c_str(), SW_HIDE) > 31;
  if (length > 0 && length < MAX_PATH) SetCurrentDirectoryW(previous);
  return started;
}

// The zip reader's handle, closed when the owner goes.
class ZipHandle {
 public:
  explicit ZipHandle(const CString& path) : zip_(ZipReaderOpenFile(path.GetString())) {}
  ~ZipHandle() {
    if (zip_) ZipReaderClose(zip_);
  }
  ZipHandle(const ZipHandle&) = delete;
  ZipHandle& operator=(const ZipHandle&) = delete;
  ZipReaderHandle Get() const { return zip_; }

 private:
  ZipReaderHandle zip_;
};

// One archive's download on the network side: the getter, the address, the
// last piece read, and the hand-over of one call at a time between the
// starter's thread and the thread that makes the calls.
struct NetworkSide {
  // The starter's agent text is empty: it names no application to the
  // server. The archive becomes a program: it comes from the address that
  // passed the base's test or not at all, so a redirect fails the open.
  CZKGetHTTPW http{L"", ZKRedirects::kRefuse};
  CString url;
  std::vector<char> piece = std::vector<char>(kPieceLength);
  uint32_t got = 0;
  // Set before callReady is signalled; no call means that the download is over.
  int (*call)(NetworkSide&) = nullptr;
  // Set before callReturned is signalled.
  int result = 0;
  ScopedKernelHandle callReady{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
  ScopedKernelHandle callReturned{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
};

UINT ServeNetworkCalls(LPVOID parameter) {
  std::unique_ptr<std::shared_ptr<NetworkSide>> owner(static_cast<std::shared_ptr<NetworkSide>*>(parameter));
  NetworkSide& side = **owner;
  while (WaitForSingleObject(side.callReady.Get(), INFINITE) == WAIT_OBJECT_0) {
    int (*call)(NetworkSide&) = side.call;
    if (!call) break;
    side.result = call(side);
    SetEvent(side.callReturned.Get());
  }
  // Under Wine closing a request may read the rest of its body: here, not on
  // the starter's thread.
  side.http.Close();
  return 0;
}

// The network calls of one archive's download, each made on a thread of its
// own and awaited no longer than the download's deadline leaves, from the
// connect to the last byte. A call that a server holds, with header lines
// that trickle in, say, outlasts every receive time-out, and closing its
// request does not end it under Wine: at the deadline the starter gives the
// call up and goes on, and the thread, which shares the network side, ends
// once the call returns (by the receive time-out, or with the process).
class NetworkCalls {
 public:
  explicit NetworkCalls(const CString& url) : started_(GetTickCount()), side_(std::make_shared<NetworkSide>()) {
    side_->url = url;
    if (!side_->callReady.IsValid() || !side_->callReturned.IsValid()) return;
    auto* shared = new std::shared_ptr<NetworkSide>(side_);
    serving_ = AfxBeginThread(ServeNetworkCalls, shared) != nullptr;
    if (!serving_) delete shared;
  }
  // Lets the thread end once its call has returned, without waiting for it.
  ~NetworkCalls() {
    if (!serving_) return;
    side_->call = nullptr;
    SetEvent(side_->callReady.Get());
  }
  NetworkCalls(const NetworkCalls&) = delete;
  NetworkCalls& operator=(const NetworkCalls&) = delete;

  // Makes call on the thread and gives its result; false when there is no
  // thread or the deadline passes first. After false nothing of the network
  // side may be touched again.
  bool Make(int (*call)(NetworkSide&), int& result) {
    DWORD elapsed = GetTickCount() - started_;
    if (!serving_ || givenUp_ || elapsed >= g_downloadBounds.deadlineMs) return false;
    side_->call = call;
    SetEvent(side_->callReady.Get());
    if (WaitForSingleObject(side_->callReturned.Get(), g_downloadBounds.deadlineMs - elapsed) != WAIT_OBJECT_0) {
      givenUp_ = true;  // the thread is still in the call
      return false;
    }
    result = side_->result;
    return true;
  }
  // The network side between two calls.
  NetworkSide& Side() { return *side_; }

 private:
  const DWORD started_;
  std::shared_ptr<NetworkSide> side_;
  bool serving_ = false;
  bool givenUp_ = false;
};

// True when the answer announces a body longer than an archive may be.
bool AnnouncesTooLongBody(const CZKGetHTTPW& http) {
  wchar_t text[32] = {};
  DWORD size = sizeof(text);
  if (!http.Request() || !http.Request()->QueryInfo(HTTP_QUERY_CONTENT_LENGTH, text, &size)) return false;
  text[31] = L'\0';
  return _wcstoi64(text, nullptr, 10) > g_downloadBounds.maxArchiveBytes;
}

// The getter's Open, step by step, so that every receive of the request waits
// no longer than the whole deadline: a thread given up on a server that falls
// silent ends by itself. The receive time-out takes effect when the request
// is sent, so it is set in between.
int OpenCall(NetworkSide& side) {
  CZKGetHTTPW& http = side.http;
  int code = http.Connect(side.url.GetString());
  if (code != 0) return code;
  DWORD timeout = g_downloadBounds.deadlineMs;
  if (http.Request()) {
    InternetSetOptionW(http.Request()->GetHandle(), INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof(timeout));
  }
  code = http.AddRangeHeader(0);
  return code != 0 ? code : http.SendAndCheckStatus();
}

// Reads the body bytes that have arrived, at most a piece; got is 0 at the
// end of the body. A read of a whole piece would wait for 4096 bytes however
// slowly a server sends them, so the wait is for the next arrival only.
int ReadCall(NetworkSide& side) {
  side.got = 0;
  HINTERNET request = side.http.Request() ? side.http.Request()->GetHandle() : nullptr;
  DWORD available = 0;
  if (!request || !InternetQueryDataAvailable(request, &available, 0, 0)) return LauncherError::UPDATEWIZARD_CANT_READ_URL;
  uint32_t wanted = (available == 0 || available > kPieceLength) ? kPieceLength : available;
  return side.http.Read(side.piece.data(), wanted, side.got) == 0 ? 0 : LauncherError::UPDATEWIZARD_CANT_READ_URL;
}

// Copies the answer body into the open file; 0 or 5004/5005. A body longer
// than an archive may be fails before it passes the bound on the disk.
int CopyBody(NetworkCalls& calls, CFile& file) {
  long long total = 0;
  for (;;) {
    int code = 0;
    if (!calls.Make(ReadCall, code) || code != 0) return LauncherError::UPDATEWIZARD_CANT_READ_URL;
    const NetworkSide& side = calls.Side();
    if (side.got == 0) return 0;
    total += side.got;
    if (total > g_downloadBounds.maxArchiveBytes) return LauncherError::UPDATEWIZARD_CANT_READ_URL;
    // The rest of the body would reach the disk no better.
    if (!WriteAll(file, side.piece.data(), side.got)) return LauncherError::UPDATEWIZARD_CANT_WRITE_FILE;
  }
}

int Download(const CString& url, const CString& archivePath) {
  NetworkCalls calls(url);
  int code = 0;
  if (!calls.Make(OpenCall, code) || code != 0) return LauncherError::UPDATEWIZARD_CANT_OPEN_URL;
  if (AnnouncesTooLongBody(calls.Side().http)) return LauncherError::UPDATEWIZARD_CANT_READ_URL;
  CFile file;
  if (!file.Open(archivePath.GetString(), kCreateFlags)) return LauncherError::UPDATEWIZARD_CANT_OPEN_FILE;
  code = CopyBody(calls, file);
  file.Close();
  return code;
}

// Unpacks entry index of the open archive into the open file in pieces; 0 when
// exactly the entry's size was written, 5009 for a failed write, 5006 when the
// archive turns out damaged or its pieces do not make up the entry's size (the
// file is then not the entry and must not replace the target).
int UnpackEntry(ZipReaderHandle zip, int index, const ZipEntryInfoW& entry, CFile& file) {
  // A size past the signed field could never be matched by what is written.
  if (entry.uncompressedSize < 0) return LauncherError::UPDATEWIZARD_CANT_OPEN_ZIP;
  const long long size = entry.uncompressedSize;
  std::vector<char> buffer(kPieceLength);
  long long written = 0;
  for (;;) {
    int result = ZipReaderExtractToMemory(zip, index, buffer.data());
    // The end of the entry brings no new bytes: the buffer holds the last piece's.
    if (result == ZIPREADER_SUCCESS) return written == size ? 0 : LauncherError::UPDATEWIZARD_CANT_OPEN_ZIP;
    if (result != ZIPREADER_MORE_DATA) return LauncherError::UPDATEWIZARD_CANT_OPEN_ZIP;
    // Every piece but the entry's last fills the buffer; a piece once the
    // size is reached is more than the entry holds.
    long long piece = std::min<long long>(kPieceLength, size - written);
    if (piece <= 0) return LauncherError::UPDATEWIZARD_CANT_OPEN_ZIP;
    if (!WriteAll(file, buffer.data(), static_cast<UINT>(piece))) return LauncherError::UPDATEWIZARD_CANT_WRITE_WIZARDFILE;
    written += piece;
  }
}

}  // namespace

int ExtractArchiveEntry(const CString& folder, const CString& archivePath, const CString& entryName,
                        const CString& target) {
  ZipHandle zip(archivePath);
  if (!zip.Get()) return LauncherError::UPDATEWIZARD_CANT_OPEN_ZIP;
  int code = 0;
  int index = -1;
  ZipEntryInfoW entry = {};
  CString unpackPath = folder + L"_" + target;
  CString targetPath = folder + target;
  if (ZipReaderFindEntry(zip.Get(), entryName.GetString(), &index, &entry) != 0) {
    code = LauncherError::UPDATEWIZARD_CANT_FIND_ZIP_WIZARDFILE;
  } else if (entry.uncompressedSize > g_downloadBounds.maxArchiveBytes) {
    code = LauncherError::UPDATEWIZARD_CANT_OPEN_ZIP;  // a program of that size is no program of ours: the old one stays
  } else {
    CFile file;
    if (!file.Open(unpackPath.GetString(), kCreateFlags)) {
      code = LauncherError::UPDATEWIZARD_CANT_OPEN_WIZARDFILE;
    } else if ((code = UnpackEntry(zip.Get(), index, entry, file)) != 0) {
      file.Close();
      DeleteFileW(unpackPath.GetString());
    } else {
      SetFileTime(file.m_hFile, reinterpret_cast<const FILETIME*>(&entry.creationTime),
                reinterpret_cast<const FILETIME*>(&entry.accessTime),
                reinterpret_cast<const FILETIME*>(&entry.modificationTime));
      file.Close();
      DeleteFileW(targetPath.GetString());
      if (SelfUpdateCurrentCalls().renameFile(unpackPath.GetString(), targetPath.GetString()) != 0) code = LauncherError::UPDATEWIZARD_CANT_RENAME_WIZARDFILE;
      else SetFileAttributesW(targetPath.GetString(), FILE_ATTRIBUTE_NORMAL);
    }
  }
  return code;
}

bool IsUpdateNeeded(CString folder, CString fileName, CString requiredVersion) {
  CString path = folder + fileName;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(path.GetString(), &found);
  if (search == INVALID_HANDLE_VALUE) return true;
  FindClose(search);
  CFileVersionInfo info;
  info.LoadFromFile(path.GetString());  // without a version block the version stays 0.0.0.0
  std::wstring installed = FormatVersionText(info.FixedFileInfo.dwFileVersionMS, info.FixedFileInfo.dwFileVersionLS);
  return IsRequiredVersionNewer(requiredVersion.GetString(), installed.c_str());
}

int DownloadAndExtract(CString folder, CString archiveName, CString entryName, CString targetName,
                       CString customUpdateUrl) {
  // The web page names the base, and the archive becomes a program that runs
  // with this program's rights: only a base under a trusted one is used.
  bool trusted =
      !customUpdateUrl.IsEmpty() && IsTrustedDownloadBase(customUpdateUrl.Str(), g_downloadBounds.trustedBases);
  CString url = trusted ? customUpdateUrl : CString(ZK_STARTER_DOWNLOAD_BASE);
  url += L"Pelto/";
  url += archiveName;
  CString archivePath = folder + archiveName;
  int code = Download(url, archivePath);
  if (code == 0) code = ExtractArchiveEntry(folder, archivePath, entryName, targetName);
  DeleteFileW(archivePath.GetString());
  return code;
}

bool UpdateStarter(CString folder, CString sVersion, CString uVersion, CString publish, CString customUpdateUrl) {
  CString starter = CString(kStarterName) + kExe;
  CString newStarter = CString(kTempPrefix) + starter;
  CString oldStarter = CString(kMovePrefix) + starter;
  CString batchPath = folder + kStarterName + kBatch;
  // The version names the archive, and the batch file runs with this
  // program's rights: a version that is not plain, and values from the web
  // page that the command interpreter would act on, end the update before
  // anything is requested, written, moved or deleted.
  std::string batchText;
  if (!IsPlainVersionText(sVersion.Str()) || !MakeBatchText(folder, sVersion, uVersion, publish, &batchText)) {
    ShowErrorMessage(IDS_STARTER_UPDATE_FAILED);
    return false;
  }
  if (DownloadAndExtract(folder, ArchiveName(kStarterName, sVersion), starter, newStarter, customUpdateUrl) != 0) {
    ShowErrorMessage(IDS_STARTER_UPDATE_FAILED);
    return false;
  }
  // A served starter that still sorts below SVersion would, restarted by the
  // batch file, fetch itself again at every start and never reach the wizard.
  if (IsUpdateNeeded(folder, newStarter, sVersion)) {
    DeleteFileW((folder + newStarter).GetString());
    ShowErrorMessage(IDS_STARTER_UPDATE_FAILED);
    return false;
  }
  DeleteFileW((folder + oldStarter).GetString());
  if (!SelfUpdateCurrentCalls().moveFile((folder + starter).GetString(), (folder + oldStarter).GetString()) ||
      !SelfUpdateCurrentCalls().moveFile((folder + newStarter).GetString(), (folder + starter).GetString())) {
    ShowErrorMessage(IDS_STARTER_UPDATE_FAILED);
    return false;
  }
  if (!WriteWholeFile(batchPath, batchText) || !StartBatchFile(folder, batchPath)) {
    // Nobody would restart the starter: take the new file out again so that
    // the caller puts the old one back and goes on with it.
    DeleteFileW(batchPath.GetString());
    DeleteFileW((folder + starter).GetString());
    ShowErrorMessage(IDS_STARTER_UPDATE_FAILED);
    return false;
  }
  return true;
}

bool UpdateWizardIfNeeded(CString folder, CString uVersion, CString customUpdateUrl) {
  CString wizard = CString(kWizardName) + kExe;
  if (!IsUpdateNeeded(folder, wizard, uVersion)) return true;
  // The version names the archive that is written and deleted here.
  if (!IsPlainVersionText(uVersion.Str()) ||
      DownloadAndExtract(folder, ArchiveName(kWizardName, uVersion), wizard, wizard, customUpdateUrl) != 0) {
    ShowErrorMessage(IDS_WIZARD_UPDATE_FAILED);
    return false;
  }
  return true;
}
