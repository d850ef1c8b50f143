#include "engine_test_support.h"

#include <objbase.h>
#include <shlwapi.h>

#include <cstdio>
#include <fstream>

#include "config/registry_win32.h"
#include "device/unique_handle.h"

namespace kt::engine::testing {

namespace {

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA entry;
  kt::device::UniqueFindHandle search(FindFirstFileA((folder + "*").c_str(), &entry));
  if (search) {
    do {
      const std::string name = entry.cFileName;
      if (name == "." || name == "..") continue;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(folder + name + "\\");
      } else {
        SetFileAttributesA((folder + name).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA((folder + name).c_str());
      }
    } while (FindNextFileA(search.Get(), &entry));
  }
  RemoveDirectoryA(folder.c_str());
}

}  // namespace

std::string FixturePath(const std::string& name) { return ProgramFolder() + "fixtures\\" + name; }

ScratchFolder::ScratchFolder() {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  char name[64];
  std::snprintf(name, sizeof(name), "kt_engine_%lu_%lu\\", GetCurrentProcessId(), GetTickCount());
  path_ = std::string(temp) + name;
  CreateDirectoryA(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_); }

bool WriteText(const std::string& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary);
  file << text;
  file.close();
  return !file.fail();
}

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
