#pragma once
// A non-copyable owner of one BSTR, and the conversions between the system's ANSI code page, in
// which the control keeps its texts, and the UTF-16 of the COM boundary.
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <utility>

namespace kt::com {

class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(const std::string& ansi);
  explicit Bstr(const wchar_t* wide) : value_(wide ? ::SysAllocString(wide) : nullptr) {}
  ~Bstr() { ::SysFreeString(value_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  Bstr(Bstr&& other) noexcept : value_(std::exchange(other.value_, nullptr)) {}
  Bstr& operator=(Bstr&& other) noexcept {
    if (this != &other) {
      ::SysFreeString(value_);
      value_ = std::exchange(other.value_, nullptr);
    }
    return *this;
  }

  BSTR Get() const { return value_; }
  // Receives a BSTR from a call that returns one; frees what was held first.
  BSTR* Receive() {
    ::SysFreeString(std::exchange(value_, nullptr));
    return &value_;
  }
  // The held string as an in/out argument: the callee may free it and store another.
  BSTR* InOut() { return &value_; }
  // Gives the string away, for an out parameter.
  BSTR Detach() { return std::exchange(value_, nullptr); }
  bool Allocated() const { return value_ != nullptr; }

 private:
  BSTR value_ = nullptr;
};

// The BSTR's text in the ANSI code page (a null BSTR is empty). Characters the code page cannot
// hold become its default character, as every ANSI program receives them.
std::string AnsiFromBstr(BSTR text);

// Hands `ansi` out as a new BSTR through `out`: E_POINTER for a null pointer, E_OUTOFMEMORY when
// the string cannot be allocated.
HRESULT ReturnBstr(const std::string& ansi, BSTR* out);

}  // namespace kt::com
