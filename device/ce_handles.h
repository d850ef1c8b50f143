#pragma once
// Owners of the handles the remote API gives out: device files and processes (closed with
// "CeCloseHandle") and device searches (closed with "CeFindClose").
#include "config/remote_api.h"
#include "device/unique_handle.h"

namespace kt::device {

struct CeHandleTraits {
  using Value = HANDLE;
  static Value Invalid() { return INVALID_HANDLE_VALUE; }
  static bool Valid(Value v) { return v != nullptr && v != INVALID_HANDLE_VALUE; }
  static void Close(Value v) { kt::rapi::CeCloseHandle(v); }
};

struct CeFindHandleTraits {
  using Value = HANDLE;
  static Value Invalid() { return INVALID_HANDLE_VALUE; }
  static bool Valid(Value v) { return v != nullptr && v != INVALID_HANDLE_VALUE; }
  static void Close(Value v) { kt::rapi::CeFindClose(v); }
};

using UniqueCeHandle = UniqueResource<CeHandleTraits>;
using UniqueCeFindHandle = UniqueResource<CeFindHandleTraits>;

}  // namespace kt::device
