#include "dataset/binary/packer.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <new>

#include "dataset/binary/lzss_decoder.h"
#include "dataset/binary/lzss_encoder.h"
#include "dataset/binary/zlib_stream.h"

namespace {

constexpr unsigned kLzssMarker = 0xFFAC;
constexpr unsigned kLzssSwappedMarker = 0xACFF;
constexpr unsigned kZlibMarker = 0xFFAD;
constexpr std::size_t kMarkerSize = 2;
constexpr std::size_t kLzssHeaderSize = 6;  // marker and check value

unsigned ReadMarker(const unsigned char* data) { return (data[0] << 8) | data[1]; }

std::uint32_t ReadBigEndian32(const unsigned char* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
         std::uint32_t{p[3]};
}

std::uint32_t ReadLittleEndian32(const unsigned char* p) {
  return (std::uint32_t{p[3]} << 24) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) |
         std::uint32_t{p[0]};
}

void WriteBigEndian32(unsigned char* p, std::uint32_t value) {
  p[0] = static_cast<unsigned char>(value >> 24);
  p[1] = static_cast<unsigned char>(value >> 16);
  p[2] = static_cast<unsigned char>(value >> 8);
  p[3] = static_cast<unsigned char>(value);
}

// zlib's CRC-32 from 0, over any length (zlib takes at most a uInt at a time).
std::uint32_t Crc32(const unsigned char* data, std::size_t size) {
  uLong crc = crc32(0L, Z_NULL, 0);
  constexpr std::size_t kChunk = std::size_t{1} << 30;
  while (size > 0) {
    const std::size_t piece = std::min(size, kChunk);
    crc = crc32(crc, data, static_cast<uInt>(piece));
    data += piece;
    size -= piece;
  }
  return static_cast<std::uint32_t>(crc);
}

// True when data lies in the storage of out, which filling out would overwrite or free.
bool PointsInto(const unsigned char* data, const std::vector<unsigned char>& out) {
  const std::less<const unsigned char*> before;
  const unsigned char* begin = out.data();
  return data != nullptr && out.capacity() != 0 && !before(data, begin) &&
         before(data, begin + out.capacity());
}

bool HasLzssMarker(const unsigned char* data, std::size_t size) {
  if (size < kMarkerSize) return false;
  const unsigned marker = ReadMarker(data);
  return marker == kLzssMarker || marker == kLzssSwappedMarker;
}

void PackLzss(const unsigned char* data, std::size_t size, std::vector<unsigned char>& out) {
  out.assign(kLzssHeaderSize, 0);
  out[0] = static_cast<unsigned char>(kLzssMarker >> 8);
  out[1] = static_cast<unsigned char>(kLzssMarker & 0xFF);
  Kt_LzssEncoder().Encode(data, size, out);
  WriteBigEndian32(out.data() + kMarkerSize,
                   Crc32(out.data() + kLzssHeaderSize, out.size() - kLzssHeaderSize));
}

bool PackZlib(const unsigned char* data, std::size_t size, int level,
              std::vector<unsigned char>& out) {
  out.assign({static_cast<unsigned char>(kZlibMarker >> 8),
              static_cast<unsigned char>(kZlibMarker & 0xFF)});
  return kt_zlib::Deflate(data, size, level, out);
}

}  // namespace

bool Kt_Packer::IsPacked(const unsigned char* data, std::size_t size, int* variant) {
  int found = 0;
  if (data != nullptr && size >= kMarkerSize) {
    const unsigned marker = ReadMarker(data);
    if (marker == kZlibMarker) {
      found = kZlib;
    } else if ((marker == kLzssMarker || marker == kLzssSwappedMarker) && size >= kLzssHeaderSize) {
      const std::uint32_t stored = marker == kLzssMarker ? ReadBigEndian32(data + kMarkerSize)
                                                         : ReadLittleEndian32(data + kMarkerSize);
      if (stored == Crc32(data + kLzssHeaderSize, size - kLzssHeaderSize)) found = kLzss;
    }
  }
  if (variant != nullptr) *variant = found;
  return found != 0;
}

int Kt_Packer::Pack(const unsigned char* data, std::size_t size, std::vector<unsigned char>& output,
                    int variant, int level) {
  if (data == nullptr && size != 0) {
    output.clear();
    return kFailed;
  }
  // The result goes straight into output (reusing its storage) unless data lies in it.
  std::vector<unsigned char> aside;
  std::vector<unsigned char>& packed = PointsInto(data, output) ? aside : output;
  int result = kOk;
  try {
    if (IsPacked(data, size)) {
      packed.assign(data, data + size);
    } else if (variant == kLzss) {
      if (size < kLzssMinPackedInput) {
        packed.assign(data, data + size);
      } else {
        PackLzss(data, size, packed);
      }
    } else if (variant == kZlib) {
      if (!PackZlib(data, size, level, packed)) result = kFailed;
    } else {
      packed.clear();
      result = kFailed;
    }
  } catch (const std::bad_alloc&) {
    packed.clear();
    result = kFailed;
  }
  if (&packed == &aside) output.swap(aside);
  return result;
}

int Kt_Packer::Unpack(const unsigned char* data, std::size_t size,
                      std::vector<unsigned char>& output) {
  if (data == nullptr && size != 0) {
    output.clear();
    return kFailed;
  }
  std::vector<unsigned char> aside;
  std::vector<unsigned char>& unpacked = PointsInto(data, output) ? aside : output;
  int result = kOk;
  try {
    int variant = 0;
    if (!IsPacked(data, size, &variant)) {
      unpacked.assign(data, data + size);
      if (HasLzssMarker(data, size)) result = kFailed;
    } else if (variant == kZlib) {
      unpacked.clear();
      if (!kt_zlib::Inflate(data + kMarkerSize, size - kMarkerSize, unpacked)) result = kFailed;
    } else if (!Kt_LzssDecoder::Decode(data + kLzssHeaderSize, size - kLzssHeaderSize, unpacked)) {
      result = kFailed;
    }
  } catch (const std::bad_alloc&) {
    unpacked.clear();
    result = kFailed;
  }
  if (&unpacked == &aside) output.swap(aside);
  return result;
}
