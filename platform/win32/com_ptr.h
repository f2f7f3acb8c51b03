#pragma once
// Owning COM interface pointer for the Windows code of the host and the player control:
// releases on destruction, so every exit path lets go.
#include <windows.h>

#include <utility>

namespace vexil::platform {

template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(T* pointer) : pointer_(pointer) {  // NOLINT: takes a reference of its own
    if (pointer_) pointer_->AddRef();
  }
  ComPtr(const ComPtr& other) : ComPtr(other.pointer_) {}
  ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(pointer_, other.pointer_);
    return *this;
  }
  ~ComPtr() { reset(); }

  void reset() {
    if (T* old = std::exchange(pointer_, nullptr)) old->Release();
  }
  T* get() const { return pointer_; }
  // Hands the reference over to the caller.
  T* detach() { return std::exchange(pointer_, nullptr); }
  T* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }
  // For out-parameters that hand over a reference of their own.
  T** put() {
    reset();
    return &pointer_;
  }
  void** putVoid() { return reinterpret_cast<void**>(put()); }

  template <typename U>
  ComPtr<U> as(REFIID iid) const {
    ComPtr<U> result;
    if (pointer_) pointer_->QueryInterface(iid, result.putVoid());
    return result;
  }

 private:
  T* pointer_ = nullptr;
};

}  // namespace vexil::platform
