// The shortened status line.
#include "bootstrap/status_text.h"

#include <vector>

#include "bootstrap/installer_texts.h"
#include "device/path_text.h"

namespace kt::bootstrap {

namespace {

constexpr size_t kLongestShown = 45;
constexpr size_t kHeadBytes = 4;
constexpr size_t kTailBytes = 38;

// Offsets at which a character of the code page starts, and the text's length at the end.
std::vector<size_t> CharacterStarts(const std::string& text, UINT codePage) {
  std::vector<size_t> starts;
  for (size_t i = 0; i < text.size(); ++i) {
    starts.push_back(i);
    if (::IsDBCSLeadByteEx(codePage, static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ++i;
  }
  starts.push_back(text.size());
  return starts;
}

}  // namespace

std::string StatusTextFor(const std::string& location, UINT codePage) {
  std::string name;
  size_t backslash = kt::device::LastBackslash(location, codePage);
  if (backslash != std::string::npos) {
    name = location.substr(backslash + 1);
  } else {
    size_t slash = location.rfind('/');
    name = slash == std::string::npos ? location : location.substr(slash + 1);
  }
  if (name.size() <= kLongestShown) return name;

  std::vector<size_t> starts = CharacterStarts(name, codePage);
  size_t headEnd = 0;
  size_t tailStart = name.size();
  for (size_t start : starts) {
    if (start <= kHeadBytes) headEnd = start;
    if (start >= name.size() - kTailBytes && start < tailStart) tailStart = start;
  }
  return name.substr(0, headEnd) + kEllipsis949 + name.substr(tailStart);
}

}  // namespace kt::bootstrap
