#pragma once

#include <cstddef>
#include <vector>

// The packed envelope of list documents. A packed document starts with a two-byte marker:
//
//   FF AC  CRC-32 (big-endian) of everything from offset 6, then an LZSS stream   (variant 1)
//   AC FF  the same with the CRC-32 little-endian; accepted on reading only         (variant 1)
//   FF AD  a zlib stream (deflate with zlib header) from offset 2                  (variant 2)
//
// Unpacking data without an envelope returns it unchanged, so packed and plain documents can be
// mixed freely. None of these functions throws; results are kOk or kFailed.
class Kt_Packer {
 public:
  static constexpr int kLzss = 1;
  static constexpr int kZlib = 2;
  static constexpr int kDefaultLevel = -1;  // zlib's default level; the LZSS variant has none

  static constexpr int kOk = 0;
  static constexpr int kFailed = -1;

  // Data this short gains nothing from LZSS: packing it as LZSS returns it as it is.
  static constexpr std::size_t kLzssMinPackedInput = 18;

  // True for a zlib envelope and for an LZSS envelope whose check value matches its data. The
  // variant (kLzss or kZlib; 0 when false) goes to *variant when that is given.
  static bool IsPacked(const unsigned char* data, std::size_t size, int* variant = nullptr);

  // Packs data into output with the variant (kLzss, or kZlib with a zlib level from -1 to 9).
  // Data that is already packed is copied; LZSS input shorter than kLzssMinPackedInput is copied
  // without envelope. kFailed for another variant, a zlib failure or lack of memory.
  static int Pack(const unsigned char* data, std::size_t size, std::vector<unsigned char>& output,
                  int variant, int level = kDefaultLevel);

  // Unpacks data into output; data without an envelope is copied unchanged and gives kOk.
  // kFailed, with output as described, when
  //  - the zlib stream is broken or cut short (output: what was decoded before the fault);
  //  - the data carries an LZSS marker, but its check value does not match or it is too short to
  //    hold one: a damaged or truncated envelope (output: the data unchanged, as for plain data);
  //  - there is not enough memory (output: empty).
  static int Unpack(const unsigned char* data, std::size_t size,
                    std::vector<unsigned char>& output);

  static bool IsPacked(const std::vector<unsigned char>& data, int* variant = nullptr) {
    return IsPacked(data.data(), data.size(), variant);
  }
  static int Pack(const std::vector<unsigned char>& data, std::vector<unsigned char>& output,
                  int variant, int level = kDefaultLevel) {
    return Pack(data.data(), data.size(), output, variant, level);
  }
  static int Unpack(const std::vector<unsigned char>& data, std::vector<unsigned char>& output) {
    return Unpack(data.data(), data.size(), output);
  }
};
