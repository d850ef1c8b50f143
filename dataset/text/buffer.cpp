#include "dataset/text/buffer.h"

#include <cstring>

bool Kt_Buffer::Append(const Kt_Buffer& other) noexcept {
  Kt_Buffer keep(other);  // other may be *this
  return m_block.Append(keep.Data(), keep.Size());
}

const std::uint8_t* Kt_Buffer::Data() const noexcept {
  static const std::uint8_t kEmpty[2] = {0, 0};
  const unsigned char* bytes = m_block.Bytes();
  return bytes ? bytes : kEmpty;
}

int Kt_Buffer::Compare(const Kt_Buffer& other) const noexcept {
  std::size_t size = Size();
  std::size_t otherSize = other.Size();
  if (size != otherSize) return size < otherSize ? -1 : 1;
  int result = size ? std::memcmp(Data(), other.Data(), size) : 0;
  return result < 0 ? -1 : (result > 0 ? 1 : 0);
}
