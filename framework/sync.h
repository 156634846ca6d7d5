// CCriticalSection: a process-local lock over a Win32 critical section.
#pragma once

#include <windows.h>

class CCriticalSection {
 public:
  CCriticalSection() { InitializeCriticalSection(&m_sect); }
  ~CCriticalSection() { DeleteCriticalSection(&m_sect); }
  CCriticalSection(const CCriticalSection&) = delete;
  CCriticalSection& operator=(const CCriticalSection&) = delete;

  // Waits for and takes the lock (re-entrant on one thread); always TRUE.
  BOOL Lock() {
    EnterCriticalSection(&m_sect);
    return TRUE;
  }
  // Releases one Lock.
  BOOL Unlock() {
    LeaveCriticalSection(&m_sect);
    return TRUE;
  }

 private:
  CRITICAL_SECTION m_sect;
};
