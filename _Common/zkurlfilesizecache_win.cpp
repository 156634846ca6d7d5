// The size cache on a Win32 critical section, with the framework getter's probe.
#include "_Common/zkurlfilesizecache.h"

#include <cstring>
#include <new>
#include <string>

#include "_Common/zkgethttp.h"

namespace {

// The program's one cache, built before the program's code runs.
CZKGetUrlFileSizeCache g_url_file_size_cache;

// text in UTF-16, read in the ANSI code page (so a trail byte of a double-byte
// character is never taken for a letter).
std::wstring Widen(const char* text) {
  int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (length <= 1) return std::wstring();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], length);
  wide.resize(static_cast<size_t>(length - 1));
  return wide;
}

bool SameUrl(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

}  // namespace

CZKGetUrlFileSizeCache::~CZKGetUrlFileSizeCache() {
  CCriticalSectionGuard guard(m_lock);
  m_entries.clear();
}

BOOL CZKGetUrlFileSizeCache::GetSize(const char* url, int64_t& size, ZKRedirects redirects) {
  if (!url) return FALSE;
  BOOL found = FALSE;
  int64_t value = 0;
  // Widening the texts can throw; the guard lets the lock go all the same.
  CCriticalSectionGuard guard(m_lock);
  const std::wstring wanted = Widen(url);
  for (const Entry& entry : m_entries) {
    if (SameUrl(Widen(entry.url.get()), wanted)) {
      value = entry.size;
      found = TRUE;
      break;
    }
  }
  if (!found) {
    // The probe runs under the lock: a second caller of the same URL waits
    // for this measurement instead of making its own.
    const size_t length = std::strlen(url);
    Entry entry{std::unique_ptr<char[]>(new (std::nothrow) char[length + 1]), -1};
    if (entry.url) {
      std::memcpy(entry.url.get(), url, length + 1);
      entry.size = ProbeUrlFileSize(url, redirects);
      if (entry.size >= 0) {
        value = entry.size;
        found = TRUE;
        try {
          m_entries.push_back(std::move(entry));
        } catch (const std::bad_alloc&) {
          // Not kept: measured again next time.
        }
      }
    }
  }
  if (found) size = value;
  return found;
}

BOOL GetUrlFileSize(const char* url, int64_t& size, ZKRedirects redirects) {
  if (!url) return FALSE;
  return g_url_file_size_cache.GetSize(url, size, redirects);
}
