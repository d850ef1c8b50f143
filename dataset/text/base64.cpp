#include "dataset/text/base64.h"

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int SextetOf(unsigned char ch) noexcept {
  if (ch >= 'A' && ch <= 'Z') return ch - 'A';
  if (ch >= 'a' && ch <= 'z') return ch - 'a' + 26;
  if (ch >= '0' && ch <= '9') return ch - '0' + 52;
  if (ch == '+') return 62;
  if (ch == '/') return 63;
  return -1;
}

bool IsSpace(unsigned char ch) noexcept { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n'; }

}  // namespace

Kt_AString Base64Encode(const void* bytes, std::size_t size) noexcept {
  Kt_AString text;
  if (!bytes || size == 0 || size / 3 >= Kt_AString::kMaxLength / 4) return text;
  std::size_t groups = (size + 2) / 3;
  char* out = text.GetBuffer(groups * 4);
  if (!out) return text;
  auto* in = static_cast<const unsigned char*>(bytes);
  for (std::size_t i = 0; i < size; i += 3) {
    std::size_t left = size - i;
    unsigned value = static_cast<unsigned>(in[i]) << 16;
    if (left > 1) value |= static_cast<unsigned>(in[i + 1]) << 8;
    if (left > 2) value |= in[i + 2];
    *out++ = kAlphabet[(value >> 18) & 0x3F];
    *out++ = kAlphabet[(value >> 12) & 0x3F];
    *out++ = left > 1 ? kAlphabet[(value >> 6) & 0x3F] : '=';
    *out++ = left > 2 ? kAlphabet[value & 0x3F] : '=';
  }
  return text;
}

bool Base64Decode(const char* text, std::size_t length, Kt_Buffer& out) noexcept {
  out.Clear();
  if (!text) return length == 0;
  // Every 4 characters give at most 3 bytes, so the result never exceeds the input.
  if (!out.Reserve(length / 4 * 3 + 3)) return false;
  bool clean = true;
  unsigned value = 0;
  int pending = 0;
  std::size_t i = 0;
  for (; i < length; ++i) {
    auto ch = static_cast<unsigned char>(text[i]);
    if (ch == '=') break;
    int sextet = SextetOf(ch);
    if (sextet < 0) {
      if (!IsSpace(ch)) clean = false;
      continue;
    }
    value = (value << 6) | static_cast<unsigned>(sextet);
    if (++pending == 4) {
      out.AppendByte(static_cast<unsigned char>(value >> 16));
      out.AppendByte(static_cast<unsigned char>(value >> 8));
      out.AppendByte(static_cast<unsigned char>(value));
      value = 0;
      pending = 0;
    }
  }
  if (pending == 1) clean = false;
  if (pending >= 2) out.AppendByte(static_cast<unsigned char>(value >> (6 * pending - 8)));
  if (pending == 3) out.AppendByte(static_cast<unsigned char>(value >> 2));
  // Only padding and white space may follow the first "=".
  for (; i < length; ++i) {
    auto ch = static_cast<unsigned char>(text[i]);
    if (ch != '=' && !IsSpace(ch)) clean = false;
  }
  return clean;
}
