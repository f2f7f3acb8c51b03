#pragma once
// Owners for Win32 handles: each closes its handle with the matching call when
// it goes out of scope.
#include <windows.h>

#include <utility>

namespace vexil::platform {

template <typename H, auto Close>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(H handle) : handle_(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(std::exchange(other.handle_, nullptr));
    return *this;
  }
  ~UniqueHandle() { reset(); }

  void reset(H handle = nullptr) {
    if (H old = std::exchange(handle_, handle)) Close(old);
  }
  H release() { return std::exchange(handle_, nullptr); }
  H get() const { return handle_; }
  H* put() {
    reset();
    return &handle_;
  }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  H handle_ = nullptr;
};

inline void closeKey(HKEY key) { RegCloseKey(key); }
inline void freeModule(HMODULE module) { FreeLibrary(module); }
inline void destroyAccelerators(HACCEL table) { DestroyAcceleratorTable(table); }
inline void deleteGdiObject(HGDIOBJ object) { DeleteObject(object); }

using UniqueKey = UniqueHandle<HKEY, closeKey>;
using UniqueModule = UniqueHandle<HMODULE, freeModule>;
using UniqueAccelerators = UniqueHandle<HACCEL, destroyAccelerators>;
using UniqueBitmap = UniqueHandle<HBITMAP, deleteGdiObject>;

inline void closeKernelHandle(HANDLE handle) { CloseHandle(handle); }
inline void closeFindHandle(HANDLE search) { FindClose(search); }

// Files, devices, processes, threads, events, tokens: handles CloseHandle ends.
using UniqueKernelHandle = UniqueHandle<HANDLE, closeKernelHandle>;
// A FindFirstFile search.
using UniqueFindHandle = UniqueHandle<HANDLE, closeFindHandle>;

// CreateFile and FindFirstFile answer INVALID_HANDLE_VALUE, not null, when they fail: the owners
// take this instead, so that an owner holds either a real handle or nothing.
inline HANDLE validHandleOrNull(HANDLE handle) { return handle == INVALID_HANDLE_VALUE ? nullptr : handle; }

}  // namespace vexil::platform
