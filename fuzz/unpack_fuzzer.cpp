// Feeds arbitrary bytes to the envelope reader (every marker, lying lengths, broken streams) and
// checks both directions: what unpacks packs again and unpacks to the same bytes, in each variant.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "dataset/binary/lzss_format.h"
#include "dataset/binary/packer.h"

namespace {

// Twice the encoder's ring already reaches every state of it (the ring wraps and old strings leave
// the tree); longer outputs (a small zlib stream can unpack to megabytes) only slow each execution.
constexpr std::size_t kRoundTripLimit = 2 * kt_lzss::kRingSize;

bool SameBytes(const std::vector<unsigned char>& a, const unsigned char* b, std::size_t size) {
  return a.size() == size && std::equal(a.begin(), a.end(), b);
}

// Packing plain data with the variant and unpacking the result must give the data back.
void CheckRoundTrip(const std::vector<unsigned char>& plain, int variant) {
  std::vector<unsigned char> packed;
  if (Kt_Packer::Pack(plain, packed, variant) != Kt_Packer::kOk) __builtin_trap();
  std::vector<unsigned char> unpacked;
  if (Kt_Packer::Unpack(packed, unpacked) != Kt_Packer::kOk) __builtin_trap();
  if (!SameBytes(unpacked, plain.data(), plain.size())) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<unsigned char> output;
  int variant = 0;
  const bool packed = Kt_Packer::IsPacked(data, size, &variant);
  const int result = Kt_Packer::Unpack(data, size, output);
  // Data that is not packed comes back unchanged.
  if (!packed && result == Kt_Packer::kOk && !SameBytes(output, data, size)) __builtin_trap();
  // Unpacked data that is itself an envelope would be copied by Pack, not packed: no round trip.
  if (result != Kt_Packer::kOk || Kt_Packer::IsPacked(output)) return 0;
  if (output.size() > kRoundTripLimit) return 0;
  CheckRoundTrip(output, Kt_Packer::kLzss);
  CheckRoundTrip(output, Kt_Packer::kZlib);
  return 0;
}
