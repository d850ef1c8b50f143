#pragma once

#include <cstddef>
#include <memory>
#include <vector>

// The LZSS compressor of the packed envelope: a 4096-byte ring of spaces, matches of 3 to 18 bytes
// found through binary search trees of ring positions (one tree per first byte).
//
// The packed bytes must equal those of the long-established binary-tree encoder, because packed
// files are compared byte for byte. So this keeps that encoder's trees and matches at every step,
// including what it compares beyond the end of the input (the bytes last left in the ring, and a
// zero-filled copy of the ring's first 17 bytes kept after its end) and its tie rule: of equally
// long matches the first one met in the tree walk is kept. Only where the outcome is known without
// the walk (the string is already in its tree) does it skip the walk.
class Kt_LzssEncoder {
 public:
  Kt_LzssEncoder();
  ~Kt_LzssEncoder();
  Kt_LzssEncoder(const Kt_LzssEncoder&) = delete;
  Kt_LzssEncoder& operator=(const Kt_LzssEncoder&) = delete;

  // Appends the LZSS stream of the input to out (no envelope). Empty input gives no bytes.
  // Throws std::bad_alloc only when out cannot grow.
  void Encode(const unsigned char* data, std::size_t size, std::vector<unsigned char>& out);

  // The most bytes Encode can append for an input of this size: all literals, one flag per eight.
  static std::size_t MaxEncodedSize(std::size_t size) { return size + (size + 7) / 8; }

 private:
  struct State;  // the ring and its search trees

  std::unique_ptr<State> state_;
};
