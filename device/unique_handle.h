#pragma once
// Non-copyable owners of the kernel objects, find handles, modules and COM state the device layer
// opens, so that every path through an operation releases them.
#include <windows.h>

#include <utility>

namespace kt::device {

template <typename Traits>
class UniqueResource {
 public:
  using Value = typename Traits::Value;
  UniqueResource() = default;
  explicit UniqueResource(Value value) : value_(value) {}
  ~UniqueResource() { Reset(); }
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;
  UniqueResource(UniqueResource&& other) noexcept : value_(other.Release()) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }

  Value Get() const { return value_; }
  bool Valid() const { return Traits::Valid(value_); }
  explicit operator bool() const { return Valid(); }
  Value Release() { return std::exchange(value_, Traits::Invalid()); }
  void Reset(Value value = Traits::Invalid()) {
    Value old = std::exchange(value_, value);
    if (Traits::Valid(old)) Traits::Close(old);
  }

 private:
  Value value_ = Traits::Invalid();
};

struct KernelHandleTraits {
  using Value = HANDLE;
  static Value Invalid() { return nullptr; }
  static bool Valid(Value v) { return v != nullptr && v != INVALID_HANDLE_VALUE; }
  static void Close(Value v) { ::CloseHandle(v); }
};

struct FindHandleTraits {
  using Value = HANDLE;
  static Value Invalid() { return INVALID_HANDLE_VALUE; }
  static bool Valid(Value v) { return v != nullptr && v != INVALID_HANDLE_VALUE; }
  static void Close(Value v) { ::FindClose(v); }
};

struct ModuleTraits {
  using Value = HMODULE;
  static Value Invalid() { return nullptr; }
  static bool Valid(Value v) { return v != nullptr; }
  static void Close(Value v) { ::FreeLibrary(v); }
};

// Process, thread, event, snapshot and file handles (null and INVALID_HANDLE_VALUE mean none).
using UniqueHandle = UniqueResource<KernelHandleTraits>;
using UniqueFindHandle = UniqueResource<FindHandleTraits>;
using UniqueModule = UniqueResource<ModuleTraits>;

}  // namespace kt::device
