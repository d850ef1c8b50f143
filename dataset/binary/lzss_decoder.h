#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The LZSS decompressor of the packed envelope (stream layout in dataset/binary/lzss_format.h).
//
// The stream carries no length, so decoding runs in two passes: the first walks the items and
// adds up what they produce, which both sizes the output exactly (never more than the stream
// describes: at most 144 bytes per 17 stream bytes) and marks where the last complete item ends;
// the second then decodes without any bounds test per byte. Decoding stops cleanly at the end
// of the data, also inside a group or in the middle of an item.
class Kt_LzssDecoder {
 public:
  // Number of bytes the stream decodes to (64-bit: a 32-bit size_t could overflow).
  static std::uint64_t DecodedSize(const unsigned char* stream, std::size_t size);

  // Replaces out with the decoded stream. Returns false, leaving out empty, when the result would
  // not fit in a vector; throws std::bad_alloc when the memory for it cannot be had.
  static bool Decode(const unsigned char* stream, std::size_t size,
                     std::vector<unsigned char>& out);
};
