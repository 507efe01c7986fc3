// Non-copyable, movable owners for the Win32 handles the program keeps.
// A function that owns a handle holds it in one of these; a raw close call
// elsewhere says in a comment why it cannot.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <utility>

// One owner template; each kind names its empty value and how it is released.
template <typename Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  ~UniqueHandle() { reset(); }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  Handle get() const { return handle_; }
  bool valid() const { return handle_ != Traits::Empty(); }
  explicit operator bool() const { return valid(); }

  // Gives up ownership without releasing.
  Handle release() { return std::exchange(handle_, Traits::Empty()); }

  void reset(Handle handle = Traits::Empty()) {
    Handle old = std::exchange(handle_, handle);
    if (old != Traits::Empty()) Traits::Release(old);
  }

  // For APIs that return a handle through a pointer: releases the current one first.
  Handle* receive() {
    reset();
    return &handle_;
  }

 private:
  Handle handle_ = Traits::Empty();
};

namespace owner_traits {

// Kernel objects that report failure as NULL: threads, processes, events, mutexes,
// change notifications' counterparts created by CreateEvent and the like.
struct KernelHandle {
  using Handle = HANDLE;
  static Handle Empty() { return nullptr; }
  static void Release(Handle handle) { CloseHandle(handle); }
};
// Files and devices from CreateFile, which report failure as INVALID_HANDLE_VALUE.
struct FileHandle {
  using Handle = HANDLE;
  static Handle Empty() { return INVALID_HANDLE_VALUE; }
  static void Release(Handle handle) { CloseHandle(handle); }
};
struct FindHandle {
  using Handle = HANDLE;
  static Handle Empty() { return INVALID_HANDLE_VALUE; }
  static void Release(Handle handle) { FindClose(handle); }
};
struct ChangeNotification {
  using Handle = HANDLE;
  static Handle Empty() { return INVALID_HANDLE_VALUE; }
  static void Release(Handle handle) { FindCloseChangeNotification(handle); }
};
struct RegistryKey {
  using Handle = HKEY;
  static Handle Empty() { return nullptr; }
  static void Release(Handle handle) { RegCloseKey(handle); }
};
struct Module {
  using Handle = HMODULE;
  static Handle Empty() { return nullptr; }
  static void Release(Handle handle) { FreeLibrary(handle); }
};
struct GdiObject {
  using Handle = HGDIOBJ;
  static Handle Empty() { return nullptr; }
  static void Release(Handle handle) { DeleteObject(handle); }
};
struct MemoryDc {
  using Handle = HDC;
  static Handle Empty() { return nullptr; }
  static void Release(Handle handle) { DeleteDC(handle); }
};
struct Icon {
  using Handle = HICON;
  static Handle Empty() { return nullptr; }
  static void Release(Handle handle) { DestroyIcon(handle); }
};
struct ImageList {
  using Handle = HIMAGELIST;
  static Handle Empty() { return nullptr; }
  static void Release(Handle handle) { ImageList_Destroy(handle); }
};
struct Menu {
  using Handle = HMENU;
  static Handle Empty() { return nullptr; }
  static void Release(Handle handle) { DestroyMenu(handle); }
};
struct GlobalMemory {
  using Handle = HGLOBAL;
  static Handle Empty() { return nullptr; }
  static void Release(Handle handle) { GlobalFree(handle); }
};

}  // namespace owner_traits

using KernelHandle = UniqueHandle<owner_traits::KernelHandle>;
using FileHandle = UniqueHandle<owner_traits::FileHandle>;
using FindHandle = UniqueHandle<owner_traits::FindHandle>;
using ChangeNotificationHandle = UniqueHandle<owner_traits::ChangeNotification>;
using RegistryKey = UniqueHandle<owner_traits::RegistryKey>;
using ModuleHandle = UniqueHandle<owner_traits::Module>;
using GdiObject = UniqueHandle<owner_traits::GdiObject>;
using MemoryDcHandle = UniqueHandle<owner_traits::MemoryDc>;
using IconHandle = UniqueHandle<owner_traits::Icon>;
using ImageListHandle = UniqueHandle<owner_traits::ImageList>;
using MenuHandle = UniqueHandle<owner_traits::Menu>;
using GlobalMemory = UniqueHandle<owner_traits::GlobalMemory>;

// Locks a global memory block for the owner's lifetime.
class GlobalLockGuard {
 public:
  explicit GlobalLockGuard(HGLOBAL memory) : memory_(memory), data_(memory ? GlobalLock(memory) : nullptr) {}
  ~GlobalLockGuard() {
    if (data_) GlobalUnlock(memory_);
  }
  GlobalLockGuard(const GlobalLockGuard&) = delete;
  GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;
  void* data() const { return data_; }

 private:
  HGLOBAL memory_;
  void* data_;
};
