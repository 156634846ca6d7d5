// The update worker on Windows: patch script, version check, download with
// hash check, unpacking and replacement of Quillan1.exe, and its thread.
#include "updatewizard/updateworker_win.h"

#include <shlobj.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "_Common/errorcodes.h"
#include "_Common/fileversioninfo.h"
#include "_Common/zipreader.h"
#include "_Common/zkcommonfunc_win.h"
#include "_Common/zkfilehashinfo.h"
#include "_Common/zkgethttp.h"
#include "framework/scopedhandle.h"
#include "zksettings.h"

CStringA g_strWizardFolder;
CStringA g_strWizardPath;

const int64_t kMaxProgramArchiveBytes = ZK_WIZARD_MAX_PROGRAM_ARCHIVE_BYTES;

UpdateWorkerCalls UpdateWorkerPlatformCalls() { return UpdateWorkerCalls{SHGetSpecialFolderPathA}; }

UpdateWorkerCalls& UpdateWorkerCurrentCalls() {
  static UpdateWorkerCalls calls = UpdateWorkerPlatformCalls();
  return calls;
}

namespace {

const char kWizardFolderName[] = "\\corvalise";
const char kWizardFileName[] = "Quillan1.exe";
// The transfer buffer of the download and of the unpacking.
constexpr uint32_t kTransferSize = 4096;
constexpr DWORD kHiddenAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// Writes all of count bytes to the file; false on any shortfall.
bool WriteAll(const ScopedFileHandle& file, const void* data, DWORD count) {
  DWORD written = 0;
  return WriteFile(file.Get(), data, count, &written, nullptr) && written == count;
}

// A new file for writing (an existing one is truncated); others may read it but not write it.
HANDLE CreateTransferFile(const char* path) {
  return CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

FILETIME ToFileTime(const ZipFileTime& time) {
  FILETIME result;
  result.dwLowDateTime = time.dwLowDateTime;
  result.dwHighDateTime = time.dwHighDateTime;
  return result;
}

// Unpacks the entry into file piece by piece. 0 when exactly the entry's size
// was written; 5009 for a write error; 5006 when the reader gives up on the
// entry's data (a damaged archive) or ends it short of its size, since such a
// piece must never be installed as a finished program.
int UnpackEntry(ZipReaderHandle zip, int index, const ZipEntryInfo& entry, ScopedFileHandle& file) {
  const int64_t size = entry.uncompressedSize;
  int64_t written = 0;
  char buffer[kTransferSize];
  for (;;) {
    int code = ZipReaderExtractToMemory(zip, index, buffer, kTransferSize);
    if (code == ZIPREADER_SUCCESS) {
      // The end of the entry brings no new bytes: the buffer holds the last piece's.
      return written == size ? 0 : LauncherError::UPDATEWIZARD_CANT_OPEN_ZIP;
    }
    if (code != ZIPREADER_MORE_DATA) return LauncherError::UPDATEWIZARD_CANT_OPEN_ZIP;
    // The reader fills the whole buffer with every piece but the entry's last.
    int64_t piece = std::min<int64_t>(kTransferSize, size - written);
    if (piece > 0) {
      if (!WriteAll(file, buffer, static_cast<DWORD>(piece))) return LauncherError::UPDATEWIZARD_CANT_WRITE_WIZARDFILE;
      written += piece;
    }
  }
}

// A path that names its drive ("X:\...") or its server ("\\server\..."): one
// that starts at no current drive or folder.
bool IsWholePath(const char* path) {
  const char c = path[0];
  const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  if (letter && path[1] == ':' && path[2] == '\\') return true;
  return path[0] == '\\' && path[1] == '\\' && path[2] != '\0';
}

// The hash list's statistics report of its failed files.
bool ReportToStatisticsServer(CFileHashInfo& hashes, const char* address, int launcher_error, int avatar_version) {
  return hashes.ReportHashFailures(address, launcher_error, avatar_version);
}

}  // namespace

bool SameWizardVersion(const char* wanted, const char* installed) { return _stricoll(wanted, installed) == 0; }

ZKUpdateWorkerSettings DefaultUpdateWorkerSettings() {
  ZKUpdateWorkerSettings settings;
  settings.test_server_root = ZK_WIZARD_TEST_SERVER_ROOT;
  settings.download_folder = ZK_WIZARD_DOWNLOAD_FOLDER;
  settings.report = ReportToStatisticsServer;
  return settings;
}

ZKUpdateWorkerSettings& UpdateWorkerSettings() {
  static ZKUpdateWorkerSettings settings = DefaultUpdateWorkerSettings();
  return settings;
}

CZKUpdateWorker::CZKUpdateWorker(const ZKUpdateWorkerSettings& settings)
    : m_settings(settings), m_manager(settings.manager ? *settings.manager : g_UpdateManager) {}

int CZKUpdateWorker::RunUpdate(IZKUpdateResultSink* sink) {
  int need_update = 0;
  int code = CheckWizardVersion(need_update);
  if (sink) sink->SetResultCode(code);
  if (code == 0 && need_update == 1) {
    code = UpdateWizardFile();
    if (sink) sink->SetResultCode(code);
  }
  if (sink) sink->PostUpdateDone(code == 0 ? 1 : 0);
  return code;
}

int CZKUpdateWorker::CheckWizardVersion(int& need_update) {
  if (!m_manager.ReadPatchScript(m_settings.avatar_url)) return LauncherError::CANT_READPATCHSCRIPT;
  need_update = 1;
  // Without its folder there is nowhere to put the program, nor one to start.
  if (!LocateWizardProgram()) return g_strWizardPath.IsEmpty() ? LauncherError::UPDATEWIZARD_CANT_OPEN_FILE : 0;
  // A missing program, or one without a readable version, is fetched without further checks.
  CFileVersionInfo installed_info;
  if (!installed_info.LoadFromFile(g_strWizardPath)) return 0;
  CStringA wanted = m_manager.WizardVersion();
  if (wanted.GetLength() < 2 || m_manager.WizardFile().GetLength() < 2) return 0;
  wanted = NormalizeWantedVersion(wanted);
  CStringA installed = NormalizeInstalledVersion(installed_info.GetFileVersionText());
  if (CheckWizardFileUrl() != 0) return LauncherError::INVALID_URL;
  // Only equality counts: an older and a newer program are replaced alike.
  if (SameWizardVersion(wanted, installed)) {
    DWORD attributes = GetFileAttributesA(g_strWizardPath);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & kHiddenAttributes)) {
      attributes &= ~kHiddenAttributes;
      SetFileAttributesA(g_strWizardPath, attributes ? attributes : FILE_ATTRIBUTE_NORMAL);
    }
    need_update = 0;
  }
  return 0;
}

BOOL CZKUpdateWorker::LocateWizardProgram() {
  char folder[MAX_PATH] = {};
  bool found = true;
  if (!m_settings.application_data_folder.IsEmpty()) {
    lstrcpynA(folder, m_settings.application_data_folder, MAX_PATH);
  } else {
    found = UpdateWorkerCurrentCalls().getSpecialFolderPath(nullptr, folder, CSIDL_APPDATA, FALSE) != FALSE;
  }
  folder[MAX_PATH - 1] = '\0';
  // A failed lookup leaves no folder, and the paths would start at the
  // current drive's root, where any local user can make "corvalise".
  if (!found || !IsWholePath(folder)) {
    g_strWizardFolder.Empty();
    g_strWizardPath.Empty();
    return FALSE;
  }
  g_strWizardFolder = folder;
  g_strWizardFolder += kWizardFolderName;
  g_strWizardPath = g_strWizardFolder;
  g_strWizardPath += "\\";
  g_strWizardPath += kWizardFileName;
  if (!DirectoryExists(g_strWizardFolder)) {
    CreateDirectoryTree(g_strWizardFolder);
    return FALSE;
  }
  return PathExists(g_strWizardPath) == 1;
}

int CZKUpdateWorker::CheckWizardFileUrl() const {
  return ::CheckWizardFileUrl(m_manager.WizardFile(), m_settings.test_server_root, m_settings.download_folder);
}

int CZKUpdateWorker::UpdateWizardFile() {
  // Whichever way led here (no program, an unreadable version block, a short
  // WizardVersion), the zip comes only from an allowed root.
  if (CheckWizardFileUrl() != 0) return LauncherError::INVALID_URL;
  // No folder was found for the program: nothing may be written or fetched.
  if (g_strWizardPath.IsEmpty()) return LauncherError::UPDATEWIZARD_CANT_OPEN_FILE;
  CStringA zip_path;
  zip_path.Format("%s.zip", g_strWizardPath.GetString());
  int result = DownloadZip(zip_path);
  if (result == 0) result = UnpackAndInstall(zip_path);
  // Also when it was never created.
  DeleteFileA(zip_path);
  return result;
}

int CZKUpdateWorker::DownloadZip(const CStringA& zip_path) {
  // The zip becomes the program: it comes from the root that its address
  // passed or not at all, so a redirect fails the open.
  CZKGetHTTP getter(nullptr, ZKRedirects::kRefuse);
  if (getter.Open(m_manager.WizardFile(), 0) != 0) return LauncherError::UPDATEWIZARD_CANT_OPEN_URL;
  // A zip announced above the limit is refused before a byte of it is read.
  const int64_t limit = m_settings.max_program_archive_bytes;
  int64_t declared = 0;
  if (getter.GetContentLength(declared) == 0 && declared > limit) return LauncherError::UPDATEWIZARD_CANT_READ_URL;
  CFileHashInfo hashes;
  ScopedFileHandle zip(CreateTransferFile(zip_path));
  if (!zip.IsValid()) return LauncherError::UPDATEWIZARD_CANT_OPEN_FILE;

  int result = 0;
  int64_t received = 0;
  char buffer[kTransferSize];
  for (;;) {
    uint32_t got = 0;
    if (getter.Read(buffer, kTransferSize, got) != 0) {
      result = LauncherError::UPDATEWIZARD_CANT_READ_URL;
      break;
    }
    // A body that grows past the limit (announced smaller, or not at all)
    // ends the download as a read failure; nothing beyond the limit is written.
    if (got > limit - received) {
      result = LauncherError::UPDATEWIZARD_CANT_READ_URL;
      break;
    }
    received += got;
    if (got > 0) {
      if (WriteAll(zip, buffer, got)) {
        hashes.UpdateStreamHash(buffer, got);
      } else {
        result = LauncherError::UPDATEWIZARD_CANT_WRITE_FILE;
      }
    }
    if (got < kTransferSize) {
      // The whole body is in: the check runs whatever the result so far.
      hashes.LoadHashInfo(m_settings.avatar_url);
      if (!hashes.VerifyStream(zip_path, 1, m_manager.WizardFileHash())) {
        result = LauncherError::UPDATEWIZARD_WIZARD_FILEHASH_MISMATCH;
        if (m_settings.report) m_settings.report(hashes, m_settings.statistics_url, result, 0);
      }
      break;
    }
    if (result != 0) break;
  }
  return result;
}

int CZKUpdateWorker::UnpackAndInstall(const CStringA& zip_path) {
  ZipReaderHandle zip = ZipReaderOpenFile(zip_path, nullptr);
  if (!zip) return LauncherError::UPDATEWIZARD_CANT_OPEN_ZIP;
  int result = 0;
  int index = -1;
  ZipEntryInfo entry;
  std::memset(&entry, 0, sizeof entry);
  if (ZipReaderFindEntry(zip, kWizardFileName, 1, &index, &entry) != ZIPREADER_SUCCESS) {
    result = LauncherError::UPDATEWIZARD_CANT_FIND_ZIP_WIZARDFILE;
  } else if (entry.uncompressedSize < 0 || entry.uncompressedSize > m_settings.max_program_archive_bytes) {
    // An entry that would unpack to more than the limit (a few kilobytes of
    // deflated zeros can), or whose size cannot be held, is refused before
    // anything is unpacked.
    result = LauncherError::UPDATEWIZARD_CANT_OPEN_ZIP;
  } else {
    CStringA unpack_path;
    unpack_path.Format("%s_", g_strWizardPath.GetString());
    ScopedFileHandle unpacked(CreateTransferFile(unpack_path));
    if (!unpacked.IsValid()) {
      result = LauncherError::UPDATEWIZARD_CANT_OPEN_WIZARDFILE;
    } else {
      result = UnpackEntry(zip, index, entry, unpacked);
      if (result != 0) {
        unpacked.Reset();
        DeleteFileA(unpack_path);
      } else {
        FILETIME creation = ToFileTime(entry.creationTime), access = ToFileTime(entry.accessTime),
                 modification = ToFileTime(entry.modificationTime);
        SetFileTime(unpacked.Get(), &creation, &access, &modification);
        unpacked.Reset();
        // A read-only old program cannot be deleted, and the rename onto it
        // would fail at every start; its attributes go first.
        SetFileAttributesA(g_strWizardPath, FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(g_strWizardPath);
        if (!MoveFileA(unpack_path, g_strWizardPath)) {
          result = LauncherError::UPDATEWIZARD_CANT_RENAME_WIZARDFILE;
        } else {
          SetFileAttributesA(g_strWizardPath, FILE_ATTRIBUTE_NORMAL);
        }
      }
    }
  }
  ZipReaderClose(zip);
  return result;
}
