#include "dataset/text/astring.h"

#include <cstdio>
#include <cstring>

#include "dataset/text/codepage.h"
#include "dataset/text/compare.h"

namespace {

int CompareBytes(const char* a, std::size_t aLength, const char* b, std::size_t bLength) noexcept {
  std::size_t common = aLength < bLength ? aLength : bLength;
  int result = common ? std::memcmp(a, b, common) : 0;
  if (result != 0) return result < 0 ? -1 : 1;
  if (aLength == bLength) return 0;
  return aLength < bLength ? -1 : 1;
}

}  // namespace

Kt_AString::Kt_AString(const char* text) noexcept { Assign(text); }

Kt_AString::Kt_AString(const char* bytes, std::size_t length) noexcept { Assign(bytes, length); }

bool Kt_AString::Assign(const char* text) noexcept {
  return m_block.Assign(text, text ? std::strlen(text) : 0);
}

bool Kt_AString::Assign(const char* bytes, std::size_t length) noexcept {
  return m_block.Assign(bytes, bytes ? length : 0);
}

Kt_AString& Kt_AString::operator=(const char* text) noexcept {
  Assign(text);
  return *this;
}

bool Kt_AString::Append(const Kt_AString& other) noexcept {
  if (&other == this) {
    Kt_AString copy(*this);
    return m_block.Append(copy.m_block.Bytes(), copy.Length());
  }
  return m_block.Append(other.m_block.Bytes(), other.Length());
}

bool Kt_AString::Append(const char* text) noexcept {
  return text ? m_block.Append(text, std::strlen(text)) : true;
}

bool Kt_AString::Append(const char* bytes, std::size_t length) noexcept {
  return bytes ? m_block.Append(bytes, length) : true;
}

bool Kt_AString::Append(char ch) noexcept { return m_block.Append(&ch, 1); }

Kt_AString& Kt_AString::operator+=(const Kt_AString& other) noexcept {
  Append(other);
  return *this;
}

Kt_AString& Kt_AString::operator+=(const char* text) noexcept {
  Append(text);
  return *this;
}

Kt_AString& Kt_AString::operator+=(char ch) noexcept {
  Append(ch);
  return *this;
}

bool Kt_AString::Format(const char* format, ...) noexcept {
  va_list args;
  va_start(args, format);
  bool ok = FormatV(format, args);
  va_end(args);
  return ok;
}

bool Kt_AString::FormatV(const char* format, va_list args) noexcept {
  if (!format) return false;
  char small[256];
  va_list measure;
  va_copy(measure, args);
  int needed = std::vsnprintf(small, sizeof small, format, measure);
  va_end(measure);
  if (needed < 0) return false;
  std::size_t length = static_cast<std::size_t>(needed);
  if (length < sizeof small) return Assign(small, length);
  Kt_AString result;
  char* buffer = result.GetBuffer(length);
  if (!buffer) return false;
  // The block keeps a terminator beyond `length`, so length + 1 bytes are writable.
  if (std::vsnprintf(buffer, length + 1, format, args) != needed) return false;
  Swap(result);
  return true;
}

bool Kt_AString::AppendFormat(const char* format, ...) noexcept {
  Kt_AString tail;
  va_list args;
  va_start(args, format);
  bool ok = tail.FormatV(format, args);
  va_end(args);
  return ok && Append(tail);
}

char Kt_AString::At(std::size_t index) const noexcept {
  return index < Length() ? c_str()[index] : '\0';
}

bool Kt_AString::SetAt(std::size_t index, char ch) noexcept {
  if (index >= Length()) return false;
  unsigned char* bytes = m_block.MutableBytes();
  if (!bytes) return false;
  bytes[index] = static_cast<unsigned char>(ch);
  return true;
}

std::size_t Kt_AString::Find(char ch, std::size_t from) const noexcept {
  std::size_t length = Length();
  if (from >= length) return npos;
  const void* hit = std::memchr(c_str() + from, ch, length - from);
  return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - c_str()) : npos;
}

std::size_t Kt_AString::Find(const char* text, std::size_t from) const noexcept {
  std::size_t length = Length();
  std::size_t textLength = text ? std::strlen(text) : 0;
  if (from > length || textLength > length - from) return npos;
  const char* data = c_str();
  for (std::size_t i = from; i + textLength <= length; ++i) {
    if (std::memcmp(data + i, text, textLength) == 0) return i;
  }
  return npos;
}

Kt_AString Kt_AString::Left(std::size_t count) const noexcept { return Mid(0, count); }

Kt_AString Kt_AString::Mid(std::size_t position, std::size_t count) const noexcept {
  std::size_t length = Length();
  if (position >= length) return Kt_AString();
  if (count > length - position) count = length - position;
  if (position == 0 && count == length) return *this;
  return Kt_AString(c_str() + position, count);
}

Kt_AString Kt_AString::Right(std::size_t count) const noexcept {
  std::size_t length = Length();
  return count >= length ? *this : Mid(length - count);
}

int Kt_AString::Compare(const Kt_AString& other) const noexcept {
  return CompareBytes(c_str(), Length(), other.c_str(), other.Length());
}

int Kt_AString::Compare(const char* text) const noexcept {
  return CompareBytes(c_str(), Length(), text ? text : "", text ? std::strlen(text) : 0);
}

int Kt_AString::CompareNoCase(const Kt_AString& other) const noexcept {
  return ::CompareNoCase(c_str(), other.c_str());
}

int Kt_AString::CompareNoCase(const char* text) const noexcept { return ::CompareNoCase(c_str(), text); }

bool Kt_AString::ConvertCodePage(unsigned fromCodePage, unsigned toCodePage) noexcept {
  Kt_AString converted;
  if (!::ConvertCodePage(*this, fromCodePage, toCodePage, converted)) return false;
  Swap(converted);
  return true;
}

char* Kt_AString::GetBuffer(std::size_t length) noexcept {
  if (!m_block.Resize(length)) return nullptr;
  return reinterpret_cast<char*>(m_block.MutableBytes());
}

Kt_AString operator+(const Kt_AString& a, const Kt_AString& b) {
  Kt_AString result(a);
  result.Append(b);
  return result;
}
