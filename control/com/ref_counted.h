#pragma once
// Reference counting for the small COM objects of this library that live on their own
// (enumerators, class factories): each holds the module in use while it exists.
#include <windows.h>

#include "control/com/module_lock.h"

namespace kt::com {

class RefCount {
 public:
  RefCount() { LockModule(); }
  ~RefCount() { UnlockModule(); }
  RefCount(const RefCount&) = delete;
  RefCount& operator=(const RefCount&) = delete;

  ULONG Add() { return static_cast<ULONG>(::InterlockedIncrement(&count_)); }
  ULONG Drop() { return static_cast<ULONG>(::InterlockedDecrement(&count_)); }

 private:
  volatile LONG count_ = 1;
};

}  // namespace kt::com
