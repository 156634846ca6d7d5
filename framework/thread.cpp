// Worker threads of the framework over _beginthreadex.
#include "framework/thread.h"

#include <process.h>

CWinThread::~CWinThread() {
  if (m_hThread) CloseHandle(m_hThread);
}

unsigned __stdcall CWinThread::Run(void* self) {
  CWinThread* thread = static_cast<CWinThread*>(self);
  UINT code = thread->m_function(thread->m_parameter);
  if (thread->m_bAutoDelete) delete thread;
  return code;
}

CWinThread* AfxBeginThread(AFX_THREADPROC function, LPVOID parameter, int priority, UINT stack_size, DWORD flags,
                           LPSECURITY_ATTRIBUTES security) {
  if (!function) return nullptr;
  CWinThread* thread = new CWinThread(function, parameter);
  // Start suspended, so that the object is complete before the thread can end and delete it.
  unsigned id = 0;
  uintptr_t handle = _beginthreadex(security, stack_size, &CWinThread::Run, thread, CREATE_SUSPENDED, &id);
  if (!handle) {
    delete thread;
    return nullptr;
  }
  thread->m_hThread = reinterpret_cast<HANDLE>(handle);
  thread->m_nThreadID = id;
  SetThreadPriority(thread->m_hThread, priority);
  if (!(flags & CREATE_SUSPENDED)) ResumeThread(thread->m_hThread);
  return thread;
}
