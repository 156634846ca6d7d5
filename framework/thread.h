// AfxBeginThread: the framework's start of a worker thread.
#pragma once

#include <windows.h>

// Signature of a worker thread's function; its result is the thread's exit code.
typedef UINT (*AFX_THREADPROC)(LPVOID);

// A started worker thread. With m_bAutoDelete (the default) the object
// deletes itself, closing its handle, when the thread function returns.
class CWinThread {
 public:
  CWinThread(AFX_THREADPROC function, LPVOID parameter) : m_function(function), m_parameter(parameter) {}
  virtual ~CWinThread();
  CWinThread(const CWinThread&) = delete;
  CWinThread& operator=(const CWinThread&) = delete;

  // Lets a thread started with CREATE_SUSPENDED run; the previous suspend count or -1.
  DWORD ResumeThread() { return ::ResumeThread(m_hThread); }

  HANDLE m_hThread = nullptr;
  DWORD m_nThreadID = 0;
  BOOL m_bAutoDelete = TRUE;

 private:
  friend CWinThread* AfxBeginThread(AFX_THREADPROC, LPVOID, int, UINT, DWORD, LPSECURITY_ATTRIBUTES);
  static unsigned __stdcall Run(void* self);

  AFX_THREADPROC m_function;
  LPVOID m_parameter;
};

// Starts function(parameter) on a new thread; NULL when the thread cannot be
// created. flags may hold CREATE_SUSPENDED.
CWinThread* AfxBeginThread(AFX_THREADPROC function, LPVOID parameter, int priority = THREAD_PRIORITY_NORMAL,
                           UINT stack_size = 0, DWORD flags = 0, LPSECURITY_ATTRIBUTES security = nullptr);
