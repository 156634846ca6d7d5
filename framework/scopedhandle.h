// ScopedHandle: the one owner of a Win32 handle of any kind, closed when its owner goes.
#pragma once

#include <windows.h>

// Owns one handle; the traits say which value means "none" and how a handle
// is closed. Copying is deleted, moving hands the handle on.
template <typename Traits>
class ScopedHandle {
 public:
  using Handle = typename Traits::Handle;

  ScopedHandle() = default;
  // Takes over handle, which may be the traits' "none".
  explicit ScopedHandle(Handle handle) : handle_(handle) {}
  ~ScopedHandle() { Reset(); }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.Release()) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }

  // True while a handle is owned.
  bool IsValid() const { return handle_ != Traits::None(); }
  // The owned handle (or "none"), still owned.
  Handle Get() const { return handle_; }
  // Gives the handle up without closing it.
  Handle Release() {
    Handle handle = handle_;
    handle_ = Traits::None();
    return handle;
  }
  // Closes the owned handle, if any, and takes over handle.
  void Reset(Handle handle = Traits::None()) {
    if (IsValid()) Traits::Close(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = Traits::None();
};

// Kernel objects whose "none" is NULL: mutexes, processes, threads, jobs.
struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle None() { return nullptr; }
  static void Close(Handle handle) { CloseHandle(handle); }
};

// Handles whose "none" is INVALID_HANDLE_VALUE: files and Toolhelp snapshots.
struct FileHandleTraits {
  using Handle = HANDLE;
  static Handle None() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle handle) { CloseHandle(handle); }
};

// Searches of FindFirstFile.
struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle None() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle handle) { FindClose(handle); }
};

// Opened registry keys.
struct RegistryKeyTraits {
  using Handle = HKEY;
  static Handle None() { return nullptr; }
  static void Close(Handle handle) { RegCloseKey(handle); }
};

using ScopedKernelHandle = ScopedHandle<KernelHandleTraits>;
using ScopedFileHandle = ScopedHandle<FileHandleTraits>;
using ScopedFindHandle = ScopedHandle<FindHandleTraits>;
using ScopedRegistryKey = ScopedHandle<RegistryKeyTraits>;
