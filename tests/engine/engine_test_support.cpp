#include "engine_test_support.h"

#include <objbase.h>
#include <shlwapi.h>

#include <cstdio>

#include "config/registry_win32.h"

namespace kt::engine::testing {

ScratchKey::ScratchKey(HKEY root, std::string top, const std::string& sub)
    : root_(root), top_(std::move(top)), path_(top_ + "\\" + sub) {
  Kt_RegistryWin32 key;
  key.Create(root_, path_, KEY_ALL_ACCESS);
}

ScratchKey::~ScratchKey() { SHDeleteKeyA(root_, top_.c_str()); }

bool ScratchKey::SetDefault(const std::string& value) {
  Kt_RegistryWin32 key;
  return key.Open(root_, path_, KEY_SET_VALUE | KEY_QUERY_VALUE) && key.SetString("", value);
}

std::string NewClassId() {
  GUID id;
  CoCreateGuid(&id);
  char text[64];
  std::snprintf(text, sizeof(text), "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                static_cast<unsigned long>(id.Data1), id.Data2, id.Data3, id.Data4[0], id.Data4[1], id.Data4[2],
                id.Data4[3], id.Data4[4], id.Data4[5], id.Data4[6], id.Data4[7]);
  return text;
}

}  // namespace kt::engine::testing
