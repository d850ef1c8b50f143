// Feeds arbitrary bytes to the version reader of Windows images: lying header offsets, section
// tables and resource directories that point outside the file, loops of subdirectories. The
// reader must stay inside the data (ASan sees every stray read) and give a version only with its
// four numbers.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/qxlist/pe_version.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string version;
  const qxlist::PeVersionResult result = qxlist::ReadPeFileVersion(data, size, version);
  if ((result == qxlist::PeVersionResult::kFound) != !version.empty()) __builtin_trap();
  if (result == qxlist::PeVersionResult::kFound) {
    int dots = 0;
    for (char c : version) {
      if (c == '.') ++dots;
      else if (c < '0' || c > '9') __builtin_trap();
    }
    if (dots != 3) __builtin_trap();
  }
  return 0;
}
