// Feeds arbitrary bytes to the envelope reader: every marker, lying lengths, broken streams.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "dataset/packer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<unsigned char> output;
  int variant = 0;
  const bool packed = Kt_Packer::IsPacked(data, size, &variant);
  const int result = Kt_Packer::Unpack(data, size, output);
  // A document read back as packed must unpack; one that is not packed comes back unchanged.
  if (!packed && result == Kt_Packer::kOk &&
      (output.size() != size || !std::equal(output.begin(), output.end(), data))) {
    __builtin_trap();
  }
  return 0;
}
