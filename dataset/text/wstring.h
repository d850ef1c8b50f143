#ifndef KT_DATASET_WSTRING_H
#define KT_DATASET_WSTRING_H

#include <cstddef>
#include <cstdint>

#include "dataset/text/counted_block.h"

// UTF-16 text with the same counted, shared, copy-on-write storage as Kt_AString. The block
// records byte lengths; Length() reports UTF-16 code units and ByteLength() bytes. Always
// followed by a zero code unit. On Windows the characters can be passed as wchar_t (both are
// 16-bit there).
class Kt_WString {
 public:
  static constexpr std::size_t npos = static_cast<std::size_t>(-1);
  static constexpr std::size_t kMaxLength = Kt_CountedBlock::kMaxBytes / 2;

  Kt_WString() noexcept = default;
  Kt_WString(const char16_t* text) noexcept;  // NOLINT: implicit by design, null gives empty
  Kt_WString(const char16_t* units, std::size_t length) noexcept;

  bool Assign(const char16_t* text) noexcept;
  bool Assign(const char16_t* units, std::size_t length) noexcept;
  bool Append(const Kt_WString& other) noexcept;
  bool Append(const char16_t* units, std::size_t length) noexcept;
  bool Append(char16_t unit) noexcept;

  std::size_t Length() const noexcept { return m_block.Size() / 2; }
  std::size_t ByteLength() const noexcept { return m_block.Size(); }
  bool IsEmpty() const noexcept { return m_block.Size() == 0; }
  // Never null; u"" for the empty string.
  const char16_t* c_str() const noexcept;
  char16_t At(std::size_t index) const noexcept;
  // Sets the length in code units (new units are zero); the private, writable units or null.
  char16_t* GetBuffer(std::size_t length) noexcept;
  void Clear() noexcept { m_block.Clear(); }
  void Swap(Kt_WString& other) noexcept { m_block.Swap(other.m_block); }
  std::uint32_t ShareCount() const noexcept { return m_block.RefCount(); }

  // Code-unit-wise comparison; an empty string sorts first.
  int Compare(const Kt_WString& other) const noexcept;
  friend bool operator==(const Kt_WString& a, const Kt_WString& b) noexcept { return a.Compare(b) == 0; }
  friend bool operator!=(const Kt_WString& a, const Kt_WString& b) noexcept { return a.Compare(b) != 0; }

 private:
  Kt_CountedBlock m_block;
};
static_assert(sizeof(Kt_WString) == sizeof(void*), "Kt_WString is one pointer");

#endif
