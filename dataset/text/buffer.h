#ifndef KT_DATASET_BUFFER_H
#define KT_DATASET_BUFFER_H

#include <cstddef>
#include <cstdint>

#include "dataset/text/counted_block.h"

// A counted block of arbitrary bytes (the byte-block value kind, packed and binary documents):
// the same shared, copy-on-write storage as Kt_AString. Zero bytes are data. Mutators return
// false and leave the buffer unchanged when the size would exceed kMaxSize or memory runs out.
class Kt_Buffer {
 public:
  static constexpr std::size_t kMaxSize = Kt_CountedBlock::kMaxBytes;

  Kt_Buffer() noexcept = default;
  Kt_Buffer(const void* bytes, std::size_t size) noexcept { Assign(bytes, size); }

  bool Assign(const void* bytes, std::size_t size) noexcept { return m_block.Assign(bytes, bytes ? size : 0); }
  bool Append(const void* bytes, std::size_t size) noexcept { return bytes ? m_block.Append(bytes, size) : true; }
  bool Append(const Kt_Buffer& other) noexcept;
  bool AppendByte(std::uint8_t byte) noexcept { return m_block.Append(&byte, 1); }
  // Sets the size; new bytes are zero.
  bool Resize(std::size_t size) noexcept { return m_block.Resize(size); }
  bool Reserve(std::size_t capacity) noexcept { return m_block.Reserve(capacity); }
  void Clear() noexcept { m_block.Clear(); }
  void Swap(Kt_Buffer& other) noexcept { m_block.Swap(other.m_block); }

  std::size_t Size() const noexcept { return m_block.Size(); }
  bool IsEmpty() const noexcept { return m_block.Size() == 0; }
  // Never null (points at a zero byte when empty); the data is followed by two zero bytes.
  const std::uint8_t* Data() const noexcept;
  // Private, writable bytes; null when empty or on failure.
  std::uint8_t* MutableData() noexcept { return m_block.MutableBytes(); }
  std::uint32_t ShareCount() const noexcept { return m_block.RefCount(); }

  // Equal sizes compare byte-wise; otherwise the shorter buffer sorts first.
  int Compare(const Kt_Buffer& other) const noexcept;
  friend bool operator==(const Kt_Buffer& a, const Kt_Buffer& b) noexcept { return a.Compare(b) == 0; }
  friend bool operator!=(const Kt_Buffer& a, const Kt_Buffer& b) noexcept { return a.Compare(b) != 0; }

 private:
  Kt_CountedBlock m_block;
};
static_assert(sizeof(Kt_Buffer) == sizeof(void*), "Kt_Buffer is one pointer");

#endif
