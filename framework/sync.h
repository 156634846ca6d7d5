// CCriticalSection: a process-local lock over a Win32 critical section, and its scope guard.
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

// Holds a CCriticalSection from its construction to its destruction, so that
// code that throws between the two never leaves the lock held.
class CCriticalSectionGuard {
 public:
  explicit CCriticalSectionGuard(CCriticalSection& section) : m_section(section) { m_section.Lock(); }
  ~CCriticalSectionGuard() { m_section.Unlock(); }
  CCriticalSectionGuard(const CCriticalSectionGuard&) = delete;
  CCriticalSectionGuard& operator=(const CCriticalSectionGuard&) = delete;

 private:
  CCriticalSection& m_section;
};
