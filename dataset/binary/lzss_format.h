#pragma once

#include <cstddef>

// Layout of the LZSS stream inside a packed envelope, shared by the encoder and the decoder.
//
// The window is a 4096-byte ring that starts filled with spaces; writing begins at position 4078
// (the ring size less the longest match), so the first bytes of a text can already refer back into
// the fill. A stream is a series of groups: one flag byte, then up to eight items, the flags taken
// from the least significant bit up. A set flag is a literal byte; a clear flag is a two-byte
// reference {position & 0xFF, (position >> 8) << 4 | (length - 3)}, where position is an absolute
// ring index, not a distance.
namespace kt_lzss {

constexpr int kRingSize = 4096;
constexpr int kRingMask = kRingSize - 1;
constexpr int kMaxMatch = 18;  // the look-ahead: the longest match a reference holds
constexpr int kMinMatch = 3;   // shorter repeats are cheaper as literals
constexpr int kStartPosition = kRingSize - kMaxMatch;
constexpr unsigned char kFillByte = 0x20;

constexpr int kItemsPerGroup = 8;
// The most one group can produce and occupy: eight longest references, after one flag byte.
constexpr std::size_t kMaxGroupOutput = kItemsPerGroup * kMaxMatch;
constexpr std::size_t kMaxGroupInput = 1 + kItemsPerGroup * 2;

inline int ReferencePosition(unsigned char low, unsigned char high) {
  return low | ((high & 0xF0) << 4);
}

inline int ReferenceLength(unsigned char high) { return (high & 0x0F) + kMinMatch; }

}  // namespace kt_lzss
