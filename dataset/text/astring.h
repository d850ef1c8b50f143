#ifndef KT_DATASET_ASTRING_H
#define KT_DATASET_ASTRING_H

#include <cstdarg>
#include <cstddef>
#include <cstdint>

#include "dataset/text/counted_block.h"

#if defined(__MINGW32__)
#define KT_PRINTF_FORMAT(fmt, args) __attribute__((format(gnu_printf, fmt, args)))
#else
#define KT_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))
#endif

// The system's single- or double-byte string in a Windows code page: one pointer to the first
// character (null for the empty string), reference-counted and copy-on-write (see
// counted_block.h). Lengths and positions are byte counts, never character counts. The
// characters are always followed by a zero byte; zero bytes inside a string built from
// (bytes, length) are kept as data.
//
// Mutators return false and leave the string unchanged when the result would exceed kMaxLength
// or memory runs out; they never throw.
class Kt_AString {
 public:
  static constexpr std::size_t npos = static_cast<std::size_t>(-1);
  static constexpr std::size_t kMaxLength = Kt_CountedBlock::kMaxBytes;

  Kt_AString() noexcept = default;
  Kt_AString(const char* text) noexcept;  // NOLINT: implicit by design, null gives empty
  Kt_AString(const char* bytes, std::size_t length) noexcept;

  bool Assign(const char* text) noexcept;
  bool Assign(const char* bytes, std::size_t length) noexcept;
  // Shares of this string's storage taken in advance (see Kt_CountedBlock::AddShares).
  void AddShares(std::uint32_t count) noexcept { m_block.AddShares(count); }
  Kt_AString ShareReserved() const noexcept {
    Kt_AString copy;
    copy.m_block = m_block.ShareReserved();
    return copy;
  }
  void DropShares(std::uint32_t count) noexcept { m_block.DropShares(count); }
  // As Assign, with the storage carved from the arena when the string is short (block_arena.h).
  bool AssignCarved(Kt_BlockArena& arena, const char* bytes, std::size_t length) noexcept {
    return m_block.AssignCarved(arena, bytes, length);
  }
  void Assign(const Kt_AString& other) noexcept { m_block = other.m_block; }  // shares
  Kt_AString& operator=(const char* text) noexcept;

  bool Append(const Kt_AString& other) noexcept;
  bool Append(const char* text) noexcept;
  bool Append(const char* bytes, std::size_t length) noexcept;
  bool Append(char ch) noexcept;
  Kt_AString& operator+=(const Kt_AString& other) noexcept;
  Kt_AString& operator+=(const char* text) noexcept;
  Kt_AString& operator+=(char ch) noexcept;

  // printf-style assign (%s %d %ld %lld %x %08x %21.4f %.*s %% ...). False on a format error.
  bool Format(const char* format, ...) noexcept KT_PRINTF_FORMAT(2, 3);
  bool FormatV(const char* format, va_list args) noexcept;
  bool AppendFormat(const char* format, ...) noexcept KT_PRINTF_FORMAT(2, 3);

  std::size_t Length() const noexcept { return m_block.Size(); }
  bool IsEmpty() const noexcept { return m_block.Size() == 0; }
  // Never null; "" for the empty string.
  const char* c_str() const noexcept {
    const unsigned char* bytes = m_block.Bytes();
    return bytes ? reinterpret_cast<const char*>(bytes) : "";
  }
  const char* Data() const noexcept { return c_str(); }
  // The byte at `index`, or 0 outside the string.
  char At(std::size_t index) const noexcept;
  char operator[](std::size_t index) const noexcept { return At(index); }
  bool SetAt(std::size_t index, char ch) noexcept;

  // Position of the first `ch` at or after `from`, npos when there is none.
  std::size_t Find(char ch, std::size_t from = 0) const noexcept;
  // Position of the first occurrence of `text` at or after `from`, npos when there is none.
  std::size_t Find(const char* text, std::size_t from = 0) const noexcept;
  // Parts are clamped to the string: any position or count is safe.
  Kt_AString Left(std::size_t count) const noexcept;
  Kt_AString Mid(std::size_t position, std::size_t count = npos) const noexcept;
  Kt_AString Right(std::size_t count) const noexcept;

  // Byte-wise, case-sensitive; an empty string sorts before any other. Negative, 0, positive.
  int Compare(const Kt_AString& other) const noexcept;
  int Compare(const char* text) const noexcept;
  // Double-byte-aware, ASCII case folding (see compare.h).
  int CompareNoCase(const Kt_AString& other) const noexcept;
  int CompareNoCase(const char* text) const noexcept;

  // Re-encodes the text from one Windows code page to another through UTF-16; code page 0 is
  // the system code page (codepage.h). False when a code page is unknown; unmappable characters
  // become the target code page's default character.
  bool ConvertCodePage(unsigned fromCodePage, unsigned toCodePage) noexcept;

  // Sets the length (new bytes are zero) and returns the private, writable characters; null for
  // length 0 or on failure. For filling by APIs that write into a buffer.
  char* GetBuffer(std::size_t length) noexcept;
  bool Resize(std::size_t length) noexcept { return m_block.Resize(length); }
  bool Reserve(std::size_t capacity) noexcept { return m_block.Reserve(capacity); }
  bool Insert(std::size_t position, const char* bytes, std::size_t length) noexcept {
    return m_block.Insert(position, bytes, length);
  }
  bool Erase(std::size_t position, std::size_t count = npos) noexcept {
    return m_block.Erase(position, count);
  }
  void Clear() noexcept { m_block.Clear(); }
  void Swap(Kt_AString& other) noexcept { m_block.Swap(other.m_block); }

  // Number of strings sharing the characters (0 for the empty string without a buffer).
  std::uint32_t ShareCount() const noexcept { return m_block.RefCount(); }
  std::size_t Capacity() const noexcept { return m_block.Capacity(); }

  friend bool operator==(const Kt_AString& a, const Kt_AString& b) noexcept { return a.Compare(b) == 0; }
  friend bool operator!=(const Kt_AString& a, const Kt_AString& b) noexcept { return a.Compare(b) != 0; }
  friend bool operator<(const Kt_AString& a, const Kt_AString& b) noexcept { return a.Compare(b) < 0; }
  friend bool operator==(const Kt_AString& a, const char* b) noexcept { return a.Compare(b) == 0; }
  friend bool operator!=(const Kt_AString& a, const char* b) noexcept { return a.Compare(b) != 0; }

 private:
  Kt_CountedBlock m_block;
};
static_assert(sizeof(Kt_AString) == sizeof(void*), "Kt_AString is one pointer");

Kt_AString operator+(const Kt_AString& a, const Kt_AString& b);

#endif
