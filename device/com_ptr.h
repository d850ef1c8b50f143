#pragma once
// A minimal owning COM interface pointer and the COM apartment of one operation.
#include <objbase.h>

#include <utility>

namespace kt::device {

template <typename Interface>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() { Reset(); }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      Reset();
      ptr_ = std::exchange(other.ptr_, nullptr);
    }
    return *this;
  }

  Interface* Get() const { return ptr_; }
  Interface* operator->() const { return ptr_; }
  explicit operator bool() const { return ptr_ != nullptr; }
  // Receives a new interface from a creating call; releases what was held first.
  void** PutVoid() {
    Reset();
    return reinterpret_cast<void**>(&ptr_);
  }
  void Reset() {
    if (ptr_ != nullptr) std::exchange(ptr_, nullptr)->Release();
  }
  // Takes over one reference the caller holds; releases what was held first.
  void Attach(Interface* ptr) {
    Reset();
    ptr_ = ptr;
  }

 private:
  Interface* ptr_ = nullptr;
};

// Initialises COM on the calling thread for the lifetime of the object. A thread that already
// runs another apartment model keeps it (RPC_E_CHANGED_MODE): COM is usable, and this object
// must then not uninitialise what it did not initialise.
class ComApartment {
 public:
  ComApartment() : result_(::CoInitialize(nullptr)) {}
  ~ComApartment() {
    if (SUCCEEDED(result_)) ::CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

  bool Usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }
  HRESULT Result() const { return result_; }

 private:
  HRESULT result_;
};

}  // namespace kt::device
