#pragma once
// CResModule: the updater's optional resource library. It supplies bitmaps and strings under the
// updater's own resource identifiers and may take over parts of the dialog through named exports.
// Loaded at start-up ("Load" is called), freed at exit after "UnLoad".
#include <windows.h>

#include <string>
#include <vector>

#include "device/unique_handle.h"

namespace kt::updater {

struct UpdaterStartValues;

// The files tried, in order: the two component-path candidates, then the default name. A name
// without a folder is taken from `programFolder` (the updater's own folder), never through the
// search path, so that a library of that name in the current folder is never loaded.
std::vector<std::string> ResourceLibraryCandidates(const UpdaterStartValues& values,
                                                   const std::string& programFolder);

class CResModule {
 public:
  CResModule() = default;
  ~CResModule() { Free(); }
  CResModule(const CResModule&) = delete;
  CResModule& operator=(const CResModule&) = delete;

  // Loads the first candidate that loads and calls its "Load" export. False when none loads.
  bool LoadFirst(const std::vector<std::string>& candidates);
  // Calls "UnLoad" and frees the library; nothing when none is loaded.
  void Free();

  HMODULE Module() const { return module_.Get(); }
  bool Loaded() const { return module_.Valid(); }
  // The path the library was loaded from; empty when none is loaded.
  const std::string& Path() const { return path_; }

  // Calls the export `name` with `block` when the library and the export are there; `called`
  // tells whether it was. Returns the export's result, 0 when not called.
  int Call(const char* name, void* block, bool* called = nullptr) const;
  // Calls an export without argument when present.
  void Notify(const char* name) const;

 private:
  kt::device::UniqueModule module_;
  std::string path_;
};

// The folder of the running program, with a trailing backslash.
std::string ProgramFolder();

}  // namespace kt::updater
