// The small COM layer of the WMA bridge: an owner for one interface pointer,
// calls through a numbered vtable slot, and the bridge's own exceptions,
// which never leave the bridge.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <utility>

namespace wma {

// Holds one interface pointer and one reference on it.
class ComRef {
 public:
  ComRef() = default;
  // Takes over a reference the caller already owns (what a getter returned).
  static ComRef Adopt(IUnknown* object) {
    ComRef ref;
    ref.object_ = object;
    return ref;
  }
  // Adds a reference of its own.
  static ComRef Share(IUnknown* object) {
    if (object) object->AddRef();
    return Adopt(object);
  }
  ~ComRef() { Reset(); }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ComRef(ComRef&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  ComRef& operator=(ComRef&& other) noexcept {
    if (this != &other) {
      Reset();
      object_ = std::exchange(other.object_, nullptr);
    }
    return *this;
  }

  IUnknown* get() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }
  void Reset() {
    if (IUnknown* old = std::exchange(object_, nullptr)) old->Release();
  }

 private:
  IUnknown* object_ = nullptr;
};

// Calls operation `slot` of `object`'s vtable with the component's calling
// convention.  The argument types must be exactly those of the operation.
template <typename... Args>
HRESULT CallSlot(IUnknown* object, int slot, Args... args) {
  using Operation = HRESULT(STDMETHODCALLTYPE*)(IUnknown*, Args...);
  void* const* vtable = *reinterpret_cast<void* const* const*>(object);
  return reinterpret_cast<Operation>(vtable[slot])(object, args...);
}

// Calls an operation whose last argument receives a new object; an empty
// reference when the call fails or gives nothing.
template <typename... Args>
ComRef GetSubObject(const ComRef& from, int slot, Args... args) {
  if (!from) return ComRef();
  IUnknown* result = nullptr;
  const HRESULT hr = CallSlot(from.get(), slot, args..., &result);
  if (FAILED(hr)) {
    // A component that fails may still have handed something out.
    if (result) result->Release();
    return ComRef();
  }
  return ComRef::Adopt(result);
}

// The bridge's exceptions; a message of at most 127 characters.
class Exception {
 public:
  explicit Exception(const char* message = "Unknown Exception") {
    lstrcpynA(message_, message ? message : "", sizeof message_);
  }
  virtual ~Exception() = default;
  const char* message() const { return message_; }

 private:
  char message_[128];
};

class ENoInterface : public Exception {
 public:
  ENoInterface() : Exception("Unable to find WMA Encoder.") {}
};

class EOutOfMemory : public Exception {
 public:
  EOutOfMemory() : Exception("Out of Memory") {}
};

}  // namespace wma
