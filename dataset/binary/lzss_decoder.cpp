#include "dataset/binary/lzss_decoder.h"

#include <cstring>

#include "dataset/binary/lzss_format.h"

using namespace kt_lzss;

namespace {

// Decodes the reference {position, length} at output offset `written`. The decoder writes straight
// into the output instead of a ring: ring position `position` holds the byte written `distance`
// bytes before the current one, or, when fewer bytes have been written, still the initial space.
// A reference to the current position itself reaches back a whole ring (distance 4096).
// With kRoomForLongest the output has room for a longest match here, so a source that does not
// overlap the destination is copied as a whole longest match; what follows is overwritten later.
template <bool kRoomForLongest>
inline unsigned char* CopyReference(unsigned char* out, std::size_t written, int position,
                                    int length) {
  const int current = (kStartPosition + static_cast<int>(written & kRingMask)) & kRingMask;
  const std::size_t distance = static_cast<std::size_t>(((current - position - 1) & kRingMask) + 1);
  if (distance <= written) {
    const unsigned char* from = out - distance;
    if (kRoomForLongest && distance >= static_cast<std::size_t>(kMaxMatch)) {
      std::memcpy(out, from, kMaxMatch);
    } else {
      // Byte by byte on purpose: a distance shorter than the length repeats the bytes just written.
      for (int k = 0; k < length; ++k) out[k] = from[k];
    }
  } else {
    // The first bytes come from the part of the ring not yet written: spaces.
    const int unwritten = static_cast<int>(distance - written);
    int k = 0;
    for (; k < length && k < unwritten; ++k) out[k] = kFillByte;
    for (; k < length; ++k) out[k] = out[k - static_cast<std::ptrdiff_t>(distance)];
  }
  return out + length;
}

}  // namespace

std::uint64_t Kt_LzssDecoder::DecodedSize(const unsigned char* stream, std::size_t size) {
  std::uint64_t total = 0;
  std::size_t pos = 0;
  while (pos < size) {
    unsigned flags = stream[pos++];
    for (int item = 0; item < kItemsPerGroup; ++item, flags >>= 1) {
      if (flags & 1) {
        if (pos == size) return total;
        pos += 1;
        total += 1;
      } else {
        if (size - pos < 2) return total;
        total += static_cast<unsigned>(ReferenceLength(stream[pos + 1]));
        pos += 2;
      }
    }
  }
  return total;
}

bool Kt_LzssDecoder::Decode(const unsigned char* stream, std::size_t size,
                            std::vector<unsigned char>& out) {
  out.clear();
  const std::uint64_t total = DecodedSize(stream, size);
  if (total > out.max_size()) return false;
  out.resize(static_cast<std::size_t>(total));
  if (total == 0) return true;

  unsigned char* const begin = out.data();
  unsigned char* const end = begin + out.size();
  unsigned char* o = begin;
  const unsigned char* in = stream;

  // Whole groups while the output has room for the largest one: by the first pass, all eight
  // items of such a group are present in the stream.
  while (static_cast<std::size_t>(end - o) >= kMaxGroupOutput) {
    unsigned flags = *in++;
    for (int item = 0; item < kItemsPerGroup; ++item, flags >>= 1) {
      if (flags & 1) {
        *o++ = *in++;
      } else {
        const unsigned char low = in[0];
        const unsigned char high = in[1];
        in += 2;
        o = CopyReference<true>(o, static_cast<std::size_t>(o - begin),
                                ReferencePosition(low, high), ReferenceLength(high));
      }
    }
  }
  // The rest, item by item: each item the first pass counted yields at least one output byte.
  while (o != end) {
    unsigned flags = *in++;
    for (int item = 0; item < kItemsPerGroup && o != end; ++item, flags >>= 1) {
      if (flags & 1) {
        *o++ = *in++;
      } else {
        const unsigned char low = in[0];
        const unsigned char high = in[1];
        in += 2;
        o = CopyReference<false>(o, static_cast<std::size_t>(o - begin),
                                 ReferencePosition(low, high), ReferenceLength(high));
      }
    }
  }
  return true;
}
