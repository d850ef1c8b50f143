#pragma once
// A non-copyable owner of one VARIANT: cleared when it goes, so that strings, arrays and
// interfaces it holds are released on every path.
#include <windows.h>
#include <oleauto.h>

namespace kt::com {

class Variant {
 public:
  Variant() { ::VariantInit(&value_); }
  ~Variant() { ::VariantClear(&value_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;

  VARIANT* Get() { return &value_; }
  const VARIANT* Get() const { return &value_; }
  VARTYPE Type() const { return V_VT(&value_); }
  // Replaces the held value by a copy of `source` (strings and arrays copied, interfaces AddRef'd).
  HRESULT CopyFrom(const VARIANT* source) {
    ::VariantClear(&value_);
    return ::VariantCopy(&value_, const_cast<VARIANT*>(source));
  }
  void Clear() { ::VariantClear(&value_); }
  // Moves the held value out into `target`, which must be initialised; this owner is left empty.
  void MoveTo(VARIANT* target) {
    ::VariantClear(target);
    *target = value_;
    ::VariantInit(&value_);
  }

 private:
  VARIANT value_;
};

}  // namespace kt::com
