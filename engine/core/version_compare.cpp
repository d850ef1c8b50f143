#include "engine/core/version_compare.h"

namespace kt::engine {

namespace {

bool IsSeparator(char ch) { return ch == '.' || ch == ','; }
bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

// Walks the parts of one version text.
class VersionParts {
 public:
  explicit VersionParts(std::string_view text) : text_(text) {}

  // The significant digits of the next part (no leading zeros; empty for the value 0), or false
  // once every part was taken. A text of n separators has n + 1 parts.
  bool Next(std::string_view& digits) {
    if (done_) return false;
    std::size_t end = position_;
    while (end < text_.size() && !IsSeparator(text_[end])) ++end;
    digits = SignificantDigits(text_.substr(position_, end - position_));
    if (end == text_.size()) {
      done_ = true;
    } else {
      position_ = end + 1;
    }
    return true;
  }

 private:
  static std::string_view SignificantDigits(std::string_view part) {
    std::size_t start = 0;
    while (start < part.size() && (part[start] == ' ' || part[start] == '\t')) ++start;
    std::size_t end = start;
    while (end < part.size() && IsDigit(part[end])) ++end;
    while (start < end && part[start] == '0') ++start;
    return part.substr(start, end - start);
  }

  std::string_view text_;
  std::size_t position_ = 0;
  bool done_ = false;
};

int Sign(int value) { return (value > 0) - (value < 0); }

// Both are digit runs without leading zeros: the longer one is the larger number.
int CompareNumbers(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return Sign(a.compare(b));
}

}  // namespace

int CompareVersions(std::string_view a, std::string_view b) {
  // The same text has the same parts (the common case of an unchanged item).
  if (a == b) return 0;
  if (a.empty() || b.empty()) return a.empty() == b.empty() ? 0 : (a.empty() ? -1 : 1);
  VersionParts partsA(a);
  VersionParts partsB(b);
  std::string_view partA;
  std::string_view partB;
  for (;;) {
    const bool hasA = partsA.Next(partA);
    const bool hasB = partsB.Next(partB);
    if (!hasA || !hasB) return hasA == hasB ? 0 : (hasA ? 1 : -1);
    const int order = CompareNumbers(partA, partB);
    if (order != 0) return order;
  }
}

}  // namespace kt::engine
