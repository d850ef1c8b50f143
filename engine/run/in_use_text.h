#pragma once
// What the in-use question shows: the names of the programs that hold a file, the message built
// from texts 125 (with programs) and 128 (without), and the names as the array that
// `OnConfirmEx` hands to a page.
#include <windows.h>
#include <oaidl.h>

#include <string>
#include <vector>

#include "device/process_entry.h"

namespace kt::engine {

// The executable name of each process (its id when the name cannot be read).
std::vector<std::string> ProcessNames(const std::vector<Kt_ProcessEntry>& processes);

// `withPrograms` (two "%s": the file and the list) when there are names, each preceded by "\n\t";
// otherwise `withoutPrograms` (one "%s": the file). Only "%s" is replaced; other text stays.
std::string InUseMessage(const std::string& withPrograms, const std::string& withoutPrograms,
                         const std::string& file, const std::vector<std::string>& names);

// The names as a VARIANT holding an array of strings, owned for the time of the question.
class InUseInfo {
 public:
  explicit InUseInfo(const std::vector<std::string>& names);
  ~InUseInfo();
  InUseInfo(const InUseInfo&) = delete;
  InUseInfo& operator=(const InUseInfo&) = delete;
  const VARIANT& Get() const { return value_; }

 private:
  VARIANT value_;
};

}  // namespace kt::engine
