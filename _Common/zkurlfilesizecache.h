// The process-wide cache of remote file sizes: each URL is measured over the
// network once per program run.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "_Common/zkgethttpinterface.h"
#include "framework/sync.h"

class CZKGetUrlFileSizeCache {
 public:
  CZKGetUrlFileSizeCache() = default;
  virtual ~CZKGetUrlFileSizeCache();
  CZKGetUrlFileSizeCache(const CZKGetUrlFileSizeCache&) = delete;
  CZKGetUrlFileSizeCache& operator=(const CZKGetUrlFileSizeCache&) = delete;

  // The size of the file at url: from the list when url (ignoring case) was
  // measured before, else measured now, under the lock, and kept when the
  // measurement worked. FALSE, and size unchanged, for a null url or a
  // failed measurement. redirects is the measuring request's: a size kept
  // from an earlier measurement is used whichever way it was measured (the
  // download's own request holds to its policy all the same).
  BOOL GetSize(const char* url, int64_t& size, ZKRedirects redirects = ZKRedirects::kFollow);

 private:
  struct Entry {
    std::unique_ptr<char[]> url;
    int64_t size;
  };

  CCriticalSection m_lock;
  std::vector<Entry> m_entries;
};

// The size of the file at url through the program's one cache; FALSE for a
// null url or when the size cannot be measured.
BOOL GetUrlFileSize(const char* url, int64_t& size, ZKRedirects redirects = ZKRedirects::kFollow);
