#include "dataset/text/path_separator.h"

#include "dataset/text/compare.h"

namespace {

bool IsSeparator(unsigned char byte, bool slashToo) noexcept { return byte == '\\' || (slashToo && byte == '/'); }

}  // namespace

bool EndsWithPathSeparator(const char* text, std::size_t length, bool slashToo, unsigned codePage) noexcept {
  if (text == nullptr || length == 0 || !IsSeparator(static_cast<unsigned char>(text[length - 1]), slashToo)) {
    return false;
  }
  // Only a lead byte (0x81 and up) before the last byte can make it a trail byte.
  if (length == 1 || static_cast<unsigned char>(text[length - 2]) < 0x80) return true;
  bool separator = false;
  for (std::size_t i = 0; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    separator = IsSeparator(byte, slashToo);
    if (byte >= 0x80 && IsLeadByte(byte, codePage) && i + 1 < length) ++i;
  }
  return separator;
}
