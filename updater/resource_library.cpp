#include "updater/resource_library.h"

#include "config/loaded_module.h"
#include "updater/skin_blocks.h"
#include "updater/start_values.h"

namespace kt::updater {
namespace {

// A name with a drive or starting at a root names its own folder.
bool NamesFolder(const std::string& name) {
  return name.find(':') != std::string::npos || (!name.empty() && (name[0] == '\\' || name[0] == '/'));
}

}  // namespace

std::string ProgramFolder() {
  char path[MAX_PATH] = {0};
  const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length);
  const size_t slash = folder.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

std::vector<std::string> ResourceLibraryCandidates(const UpdaterStartValues& values,
                                                   const std::string& programFolder) {
  std::vector<std::string> candidates;
  for (const std::string* name :
       {&values.firstLibraryCandidate, &values.secondLibraryCandidate, &values.defaultLibrary}) {
    if (name->empty()) continue;
    candidates.push_back(NamesFolder(*name) ? *name : programFolder + *name);
  }
  return candidates;
}

bool CResModule::LoadFirst(const std::vector<std::string>& candidates) {
  Free();
  for (const std::string& candidate : candidates) {
    // The library's own dependencies are looked for beside it, not in the current folder.
    HMODULE module = ::LoadLibraryExA(candidate.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (module == nullptr) continue;
    module_.Reset(module);
    path_ = candidate;
    Notify("Load");
    return true;
  }
  return false;
}

void CResModule::Free() {
  if (!module_.Valid()) return;
  Notify("UnLoad");
  module_.Reset();
  path_.clear();
}

int CResModule::Call(const char* name, void* block, bool* called) const {
  if (called != nullptr) *called = false;
  if (!module_.Valid()) return 0;
  auto function = kt::FunctionCast<SkinExport>(::GetProcAddress(module_.Get(), name));
  if (function == nullptr) return 0;
  if (called != nullptr) *called = true;
  return function(block);
}

void CResModule::Notify(const char* name) const {
  if (!module_.Valid()) return;
  auto function = kt::FunctionCast<SkinNotice>(::GetProcAddress(module_.Get(), name));
  if (function != nullptr) function();
}

}  // namespace kt::updater
