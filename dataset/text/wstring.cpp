#include "dataset/text/wstring.h"

namespace {

std::size_t UnitCount(const char16_t* text) noexcept {
  std::size_t count = 0;
  if (text) {
    while (text[count] != 0) ++count;
  }
  return count;
}

}  // namespace

Kt_WString::Kt_WString(const char16_t* text) noexcept { Assign(text); }

Kt_WString::Kt_WString(const char16_t* units, std::size_t length) noexcept { Assign(units, length); }

bool Kt_WString::Assign(const char16_t* text) noexcept { return Assign(text, UnitCount(text)); }

bool Kt_WString::Assign(const char16_t* units, std::size_t length) noexcept {
  if (!units) length = 0;
  if (length > kMaxLength) return false;
  return m_block.Assign(units, length * 2);
}

bool Kt_WString::Append(const Kt_WString& other) noexcept {
  Kt_WString keep(other);  // other may be *this
  return m_block.Append(keep.c_str(), keep.ByteLength());
}

bool Kt_WString::Append(const char16_t* units, std::size_t length) noexcept {
  if (!units || length == 0) return true;
  if (length > kMaxLength) return false;
  return m_block.Append(units, length * 2);
}

bool Kt_WString::Append(char16_t unit) noexcept { return m_block.Append(&unit, 2); }

const char16_t* Kt_WString::c_str() const noexcept {
  const unsigned char* bytes = m_block.Bytes();
  return bytes ? reinterpret_cast<const char16_t*>(bytes) : u"";
}

char16_t Kt_WString::At(std::size_t index) const noexcept {
  return index < Length() ? c_str()[index] : char16_t(0);
}

char16_t* Kt_WString::GetBuffer(std::size_t length) noexcept {
  if (length > kMaxLength || !m_block.Resize(length * 2)) return nullptr;
  return reinterpret_cast<char16_t*>(m_block.MutableBytes());
}

int Kt_WString::Compare(const Kt_WString& other) const noexcept {
  const char16_t* a = c_str();
  const char16_t* b = other.c_str();
  std::size_t aLength = Length();
  std::size_t bLength = other.Length();
  std::size_t common = aLength < bLength ? aLength : bLength;
  for (std::size_t i = 0; i < common; ++i) {
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  }
  if (aLength == bLength) return 0;
  return aLength < bLength ? -1 : 1;
}
