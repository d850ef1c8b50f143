#pragma once
// The site key as the updater uses it in registry names: the command line (or a launch
// description) carries it as Base64 of UTF-16LE text.
#include <string>

namespace kt::updater {

// Decodes `siteKey` (Base64, characters outside the alphabet skipped), keeps at most 518 bytes,
// reads them as UTF-16LE text up to its first zero character and converts that to the ANSI code
// page (characters it lacks become its default character), at most 259 bytes.
std::string DecodeSiteKey(const std::string& siteKey);

}  // namespace kt::updater
