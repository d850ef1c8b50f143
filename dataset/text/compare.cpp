#include "dataset/text/compare.h"

#include "dataset/text/codepage.h"

namespace {

struct LeadByteRange {
  unsigned char first;
  unsigned char last;
};

struct LeadByteRow {
  unsigned codePage;
  LeadByteRange ranges[2];  // an empty range is {0, 0}
};

// Korean (949) is double-byte too: its trail bytes include A-Z and a-z, which byte-wise folding
// would wrongly merge.
constexpr LeadByteRow kLeadBytes[] = {
    {932, {{0x81, 0x9F}, {0xE0, 0xFC}}},
    {936, {{0x81, 0xFE}, {0, 0}}},
    {949, {{0x81, 0xFE}, {0, 0}}},
    {950, {{0x81, 0xFE}, {0, 0}}},
};

const LeadByteRow* RowOf(unsigned codePage) noexcept {
  for (const LeadByteRow& row : kLeadBytes) {
    if (row.codePage == codePage) return &row;
  }
  return nullptr;
}

bool InRow(const LeadByteRow* row, unsigned char byte) noexcept {
  for (const LeadByteRange& range : row->ranges) {
    if (range.first != 0 && byte >= range.first && byte <= range.last) return true;
  }
  return false;
}

int Fold(unsigned char byte) noexcept { return (byte >= 'A' && byte <= 'Z') ? byte + ('a' - 'A') : byte; }

int CompareFolded(const char* a, const char* b, std::size_t count) noexcept {
  if (a == b) return 0;
  // A null side is the empty string, and against a non-empty one it sorts exactly one step away.
  if (!a) return count > 0 && *b ? -1 : 0;
  if (!b) return count > 0 && *a ? 1 : 0;
  const LeadByteRow* row = RowOf(SystemCodePage());
  std::size_t i = 0;
  while (i < count) {
    auto ca = static_cast<unsigned char>(a[i]);
    auto cb = static_cast<unsigned char>(b[i]);
    int difference = Fold(ca) - Fold(cb);
    if (difference != 0 || ca == 0) return difference;
    ++i;
    if (row && InRow(row, ca) && i < count) {
      // Trail bytes are compared exactly; a lead byte at the end meets the terminator here.
      difference = static_cast<unsigned char>(a[i]) - static_cast<unsigned char>(b[i]);
      if (difference != 0 || a[i] == 0) return difference;
      ++i;
    }
  }
  return 0;
}

}  // namespace

int CompareNoCase(const char* a, const char* b) noexcept { return CompareFolded(a, b, static_cast<std::size_t>(-1)); }

int CompareNoCaseN(const char* a, const char* b, std::size_t count) noexcept { return CompareFolded(a, b, count); }

bool IsLeadByte(unsigned char byte, unsigned codePage) noexcept {
  const LeadByteRow* row = RowOf(ResolveCodePage(codePage));
  return row && InRow(row, byte);
}
