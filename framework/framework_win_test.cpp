// Tests of the Win32 parts of the framework: code pages, string resources,
// files, file search, threads, owned handles and the application basics.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <new>
#include <string>

#include "framework/cstring.h"
#include "framework/file.h"
#include "framework/filefind.h"
#include "framework/scopedhandle.h"
#include "framework/sync.h"
#include "framework/thread.h"
#include "framework/winapp.h"

namespace {

// "가나" in code page 949.
const char kKoreanAnsi[] = "\xb0\xa1\xb3\xaa";

TEST(FrameworkWinTest, ConvertsThroughTheAnsiCodePage) {
  ASSERT_EQ(949u, GetACP()) << "the tests run with LANG=ko_KR.UTF-8";
  CStringW wide(kKoreanAnsi);
  EXPECT_EQ(L"\xac00\xb098", wide.Str());
  EXPECT_EQ(kKoreanAnsi, CStringA(wide).Str());
  // Case mapping and case-blind comparison leave the trail bytes alone:
  // 0xB0 0x41 would otherwise be folded like the letter A.
  CStringA mixed("\xb0\x41z");
  EXPECT_EQ("\xb0\x41Z", CStringA(mixed).MakeUpper().Str());
  EXPECT_NE(0, CStringA("\xb0\x41").CompareNoCase("\xb0\x61"));
  EXPECT_EQ(0, CStringA("\xb0\x41q").CompareNoCase("\xb0\x41Q"));
}

TEST(FrameworkWinTest, LoadsStringsOfAnyLength) {
  CStringW wide(L"unchanged");
  EXPECT_TRUE(wide.LoadString(17));
  EXPECT_EQ(L"\xccab\xc9f8", wide.Str());
  CStringA ansi;
  EXPECT_TRUE(ansi.LoadString(19));
  EXPECT_EQ("three\nlines\n", ansi.Str());
  EXPECT_TRUE(ansi.LoadString(4000));
  EXPECT_EQ(1500, ansi.GetLength());
  for (unsigned missing : {16u, 18u, 20u, 31u, 3999u, 60000u}) {
    CStringW kept(L"kept");
    EXPECT_FALSE(kept.LoadString(missing)) << missing;
    EXPECT_EQ(L"kept", kept.Str());
  }
}

TEST(FrameworkWinTest, ResourceHandleAndMainWindow) {
  EXPECT_EQ(GetModuleHandleW(nullptr), AfxGetResourceHandle());
  EXPECT_EQ(nullptr, AfxGetMainWnd());
  AfxSetResourceHandle(GetModuleHandleW(L"kernel32.dll"));
  CStringW text;
  EXPECT_FALSE(text.LoadString(17));
  AfxSetResourceHandle(GetModuleHandleW(nullptr));
  {
    CWinApp app;
    EXPECT_EQ(&app, AfxGetApp());
    EXPECT_EQ(nullptr, AfxGetMainWnd());
    CWnd window(reinterpret_cast<HWND>(0x1234));  // borrowed, never used as a window
    app.m_pMainWnd = &window;
    EXPECT_EQ(&window, AfxGetMainWnd());
    // A worker thread has no main window.
    CWnd* seen_by_worker = &window;
    HANDLE worker = CreateThread(
        nullptr, 0, [](LPVOID seen) WINAPI -> DWORD {
          *static_cast<CWnd**>(seen) = AfxGetMainWnd();
          return 0;
        },
        &seen_by_worker, 0, nullptr);
    // No time limit: the worker writes into this frame, so the test must not
    // leave it before the worker has ended (a hang is CTest's to stop).
    WaitForSingleObject(worker, INFINITE);
    CloseHandle(worker);
    EXPECT_EQ(nullptr, seen_by_worker);
    app.m_pMainWnd = nullptr;
  }
  EXPECT_EQ(nullptr, AfxGetApp());
}

std::wstring TempFolder() {
  wchar_t path[MAX_PATH];
  GetTempPathW(MAX_PATH, path);
  std::wstring folder = std::wstring(path) + L"zkframework_test\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

TEST(FrameworkWinTest, FileReadsWritesSeeksAndTruncates) {
  std::wstring path = TempFolder() + L"file.bin";
  {
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::shareDenyWrite));
    EXPECT_TRUE(file.Write("hello world", 11));
    EXPECT_EQ(11, file.GetLength());
    // Deny-write sharing: a second writer is refused, a reader is not.
    CFile writer, reader;
    EXPECT_FALSE(writer.Open(path.c_str(), CFile::modeWrite | CFile::shareDenyNone));
    EXPECT_TRUE(reader.Open(path.c_str(), CFile::modeRead | CFile::shareDenyNone));
  }
  CFile file;
  ASSERT_TRUE(file.Open(path.c_str(), CFile::modeReadWrite | CFile::shareExclusive));
  EXPECT_EQ(6, file.Seek(6, CFile::begin));
  char buffer[16] = {};
  EXPECT_EQ(5u, file.Read(buffer, sizeof buffer));
  EXPECT_STREQ("world", buffer);
  EXPECT_EQ(0u, file.Read(buffer, sizeof buffer));
  EXPECT_EQ(11, file.SeekToEnd());
  EXPECT_TRUE(file.SetLength(5));
  EXPECT_EQ(5, file.GetLength());
  CFile moved(std::move(file));
  EXPECT_FALSE(file.IsOpen());
  EXPECT_TRUE(moved.IsOpen());
  moved.Close();
  // modeCreate truncates an existing file, unless modeNoTruncate is given.
  ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite));
  EXPECT_EQ(5, file.GetLength());
  ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
  EXPECT_EQ(0, file.GetLength());
  file.Close();
  EXPECT_FALSE(file.Open((TempFolder() + L"missing.bin").c_str(), CFile::modeRead));
  DeleteFileW(path.c_str());
}

TEST(FrameworkWinTest, FileFindStepsThroughMatches) {
  std::wstring folder = TempFolder() + L"find\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  CreateDirectoryW((folder + L"sub").c_str(), nullptr);
  CFile file;
  ASSERT_TRUE(file.Open((folder + L"a.txt").c_str(), CFile::modeCreate | CFile::modeWrite));
  file.Write("abc", 3);
  file.Close();

  CFileFind find;
  ASSERT_TRUE(find.FindFile((folder + L"a.txt").c_str()));
  EXPECT_FALSE(find.FindNextFile());  // the only match is also the last
  EXPECT_EQ("a.txt", CStringA(find.GetFileName()).Str());
  EXPECT_EQ(CStringA((folder + L"a.txt").c_str()).Str(), CStringA(find.GetFilePath()).Str());
  EXPECT_EQ(3u, find.GetLength());
  EXPECT_FALSE(find.IsDirectory());

  ASSERT_TRUE(find.FindFile((folder + L"sub").c_str()));
  find.FindNextFile();
  EXPECT_TRUE(find.IsDirectory());
  EXPECT_FALSE(find.IsDots());

  int entries = 0, dots = 0;
  ASSERT_TRUE(find.FindFile((folder + L"*").c_str()));
  for (bool more = true; more;) {
    more = find.FindNextFile();
    ++entries;
    if (find.IsDots()) ++dots;
  }
  EXPECT_EQ(4, entries);
  EXPECT_EQ(2, dots);
  EXPECT_FALSE(find.FindFile((folder + L"none*").c_str()));
  DeleteFileW((folder + L"a.txt").c_str());
  RemoveDirectoryW((folder + L"sub").c_str());
  RemoveDirectoryW(folder.c_str());
}

struct Shared {
  CCriticalSection lock;
  long counter = 0;
  HANDLE done[4] = {};
};

UINT CountUp(LPVOID parameter) {
  auto* shared = static_cast<Shared*>(parameter);
  for (int i = 0; i < 10000; ++i) {
    shared->lock.Lock();
    shared->lock.Lock();  // re-entrant on one thread
    ++shared->counter;
    shared->lock.Unlock();
    shared->lock.Unlock();
  }
  return 7;
}

TEST(FrameworkWinTest, ThreadsAndCriticalSection) {
  Shared shared;
  HANDLE threads[4];
  for (HANDLE& thread : threads) {
    CWinThread* started = AfxBeginThread(CountUp, &shared, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(nullptr, started);
    started->m_bAutoDelete = FALSE;
    started->ResumeThread();
    thread = started->m_hThread;
    shared.done[&thread - threads] = reinterpret_cast<HANDLE>(started);
  }
  // No time limit: the threads count on this frame and on their objects,
  // which are freed below (a hang is CTest's to stop).
  EXPECT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(4, threads, TRUE, INFINITE));
  EXPECT_EQ(40000, shared.counter);
  for (HANDLE& thread : threads) {
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(7u, code);
    delete reinterpret_cast<CWinThread*>(shared.done[&thread - threads]);
  }
  // An auto-deleting thread cleans up after itself. Its data must outlive it,
  // so it counts on a record that is never freed, and the test waits for it.
  Shared& auto_shared = *new Shared;
  EXPECT_NE(nullptr, AfxBeginThread(CountUp, &auto_shared));
  for (int i = 0; i < 3000; ++i) {
    auto_shared.lock.Lock();
    long counted = auto_shared.counter;
    auto_shared.lock.Unlock();
    if (counted == 10000) break;
    Sleep(10);
  }
  auto_shared.lock.Lock();
  EXPECT_EQ(10000, auto_shared.counter);
  auto_shared.lock.Unlock();
  EXPECT_EQ(nullptr, AfxBeginThread(nullptr, nullptr));
}

// True while handle names an open object of this process.
bool IsOpenHandle(HANDLE handle) {
  DWORD flags = 0;
  return GetHandleInformation(handle, &flags) != FALSE;
}

TEST(FrameworkWinTest, ScopedHandleClosesOnceAndHandsOn) {
  HANDLE raw = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(nullptr, raw);
  {
    ScopedKernelHandle first(raw);
    ScopedKernelHandle second(std::move(first));
    EXPECT_FALSE(first.IsValid());
    EXPECT_EQ(raw, second.Get());
    ScopedKernelHandle third;
    third = std::move(second);
    EXPECT_TRUE(IsOpenHandle(raw));
  }
  EXPECT_FALSE(IsOpenHandle(raw));

  // A handle given up is the caller's again; "none" is never closed.
  HANDLE kept = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  { EXPECT_EQ(kept, ScopedKernelHandle(kept).Release()); }
  EXPECT_TRUE(IsOpenHandle(kept));
  CloseHandle(kept);
  ScopedFileHandle none(INVALID_HANDLE_VALUE);
  EXPECT_FALSE(none.IsValid());
}

DWORD WINAPI TakeAndLeave(LPVOID parameter) {
  CCriticalSectionGuard guard(*static_cast<CCriticalSection*>(parameter));
  return 0;
}

TEST(FrameworkWinTest, CriticalSectionGuardLetsGoWhenTheScopeThrows) {
  CCriticalSection section;
  try {
    CCriticalSectionGuard guard(section);
    throw std::bad_alloc();
  } catch (const std::bad_alloc&) {
  }
  // Another thread gets the lock: the guard released it on the way out.
  ScopedKernelHandle thread(CreateThread(nullptr, 0, TakeAndLeave, &section, 0, nullptr));
  ASSERT_TRUE(thread.IsValid());
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread.Get(), 60000));
}

}  // namespace
