#pragma once
// The file version of a Windows program or library, read from its version resource without the
// Windows API, so that a server tree can be published from any machine. Every offset the file
// names is checked against its size: a damaged or truncated file gives "no version", never a read
// outside the data.
#include <cstddef>
#include <string>

namespace qxlist {

enum class PeVersionResult {
  kFound,          // `version` holds "a.b.c.d" from the fixed file information
  kNotPe,          // not a PE image at all (no "MZ" header or no "PE" signature)
  kNoVersion,      // a PE image without a version resource
  kDamaged,        // a PE image whose headers or resources point outside the file or disagree
};

PeVersionResult ReadPeFileVersion(const unsigned char* data, std::size_t size, std::string& version);

}  // namespace qxlist
