#include "dataset/xml/xml_escape.h"

#include <cstring>

#include "dataset/text/codepage.h"

namespace {

// Replacement of each escaped byte; null for bytes copied as they are.
struct EscapeTable {
  const char* replacement[256] = {};
  unsigned char length[256] = {};

  constexpr EscapeTable() {
    Set('\t', "&#9;", 4);
    Set('\n', "&#10;", 5);
    Set('\r', "&#13;", 5);
    Set(' ', "&#32;", 5);
    Set('&', "&amp;", 5);
    Set('<', "&lt;", 4);
    Set('>', "&gt;", 4);
    Set('"', "&quot;", 6);
    Set('\'', "&apos;", 6);
  }
  constexpr void Set(unsigned char byte, const char* text, unsigned char size) {
    replacement[byte] = text;
    length[byte] = size;
  }
};
constexpr EscapeTable kEscapes;

std::string_view ViewOf(const Kt_AString& text) noexcept { return {text.c_str(), text.Length()}; }

constexpr char32_t kLargestCodePoint = 0x10FFFF;

// Parses the digits of a numeric reference starting at `p` (after "&#" or "&#x"); returns the
// position of the ";" or null when the reference is malformed or out of range.
const char* ParseNumber(const char* p, const char* end, bool hexadecimal, char32_t& value) noexcept {
  value = 0;
  const char* digits = p;
  for (; p < end && *p != ';'; ++p) {
    unsigned digit;
    char ch = *p;
    if (ch >= '0' && ch <= '9') {
      digit = static_cast<unsigned>(ch - '0');
    } else if (hexadecimal && ch >= 'a' && ch <= 'f') {
      digit = static_cast<unsigned>(ch - 'a' + 10);
    } else if (hexadecimal && ch >= 'A' && ch <= 'F') {
      digit = static_cast<unsigned>(ch - 'A' + 10);
    } else {
      return nullptr;
    }
    value = value * (hexadecimal ? 16 : 10) + digit;
    if (value > kLargestCodePoint) return nullptr;
  }
  if (p == end || p == digits) return nullptr;
  return p;
}

// The bytes of one character in the system code page; false when it is not representable as a
// reference target (0, lone surrogates), the system code page lacks it (the reference then
// stays as it is written rather than becoming '?') or conversion fails.
bool CharacterBytes(char32_t value, Kt_AString& bytes) noexcept {
  if (value == 0 || (value >= 0xD800 && value <= 0xDFFF)) return false;
  if (value < 0x10000) {
    char16_t unit = static_cast<char16_t>(value);
    return WideToMultiByteExact(0, &unit, 1, bytes) && !bytes.IsEmpty();
  }
  char32_t offset = value - 0x10000;
  char16_t pair[2] = {static_cast<char16_t>(0xD800 + (offset >> 10)), static_cast<char16_t>(0xDC00 + (offset & 0x3FF))};
  return WideToMultiByteExact(0, pair, 2, bytes) && !bytes.IsEmpty();
}

struct NamedEntity {
  const char* name;  // without "&" and ";"
  std::size_t length;
  char character;
};
constexpr NamedEntity kEntities[] = {
    {"lt", 2, '<'}, {"gt", 2, '>'}, {"amp", 3, '&'}, {"quot", 4, '"'}, {"apos", 4, '\''},
};

// Decodes the reference at `p` (which points at "&") into `target`; returns the number of input
// bytes it takes, or 0 when it is no reference. A reference never yields more bytes than it
// takes, so the caller's buffer of the input's size always has room.
std::size_t DecodeReference(const char* p, const char* end, char* target, std::size_t& written) noexcept {
  std::size_t left = static_cast<std::size_t>(end - p);
  if (left >= 4 && p[1] == '#') {
    bool hexadecimal = p[2] == 'x' || p[2] == 'X';
    char32_t value;
    const char* semicolon = ParseNumber(p + (hexadecimal ? 3 : 2), end, hexadecimal, value);
    if (!semicolon) return 0;
    std::size_t taken = static_cast<std::size_t>(semicolon - p) + 1;
    if (value < 0x80 && value != 0) {
      // Every ANSI code page holds ASCII at the same values: no conversion needed.
      target[0] = static_cast<char>(value);
      written = 1;
      return taken;
    }
    Kt_AString bytes;
    if (!CharacterBytes(value, bytes) || bytes.Length() > taken) return 0;
    std::memcpy(target, bytes.c_str(), bytes.Length());
    written = bytes.Length();
    return taken;
  }
  for (const NamedEntity& entity : kEntities) {
    if (left >= entity.length + 2 && std::memcmp(p + 1, entity.name, entity.length) == 0 &&
        p[entity.length + 1] == ';') {
      target[0] = entity.character;
      written = 1;
      return entity.length + 2;
    }
  }
  return 0;
}

}  // namespace

bool NeedsEscaping(std::string_view text) noexcept {
  for (char ch : text) {
    if (kEscapes.replacement[static_cast<unsigned char>(ch)]) return true;
  }
  return false;
}

bool AppendEscaped(Kt_AString& out, std::string_view text) noexcept {
  const char* p = text.data();
  const char* end = p + text.size();
  const char* run = p;
  for (; p < end; ++p) {
    auto byte = static_cast<unsigned char>(*p);
    const char* replacement = kEscapes.replacement[byte];
    if (!replacement) continue;
    if (!out.Append(run, static_cast<std::size_t>(p - run)) || !out.Append(replacement, kEscapes.length[byte]))
      return false;
    run = p + 1;
  }
  return out.Append(run, static_cast<std::size_t>(end - run));
}

bool AssignUnescaped(Kt_AString& out, std::string_view text) noexcept {
  const char* p = text.data();
  const char* end = p + text.size();
  const char* amp = text.empty() ? nullptr : static_cast<const char*>(std::memchr(p, '&', text.size()));
  if (!amp) return out.Assign(p, text.size());
  Kt_AString result;
  // The result is never longer than the text: each reference yields at most as many bytes as
  // it takes (checked in DecodeReference).
  char* target = result.GetBuffer(text.size());
  if (!target) return false;
  std::size_t used = 0;
  while (amp) {
    std::size_t run = static_cast<std::size_t>(amp - p);
    std::memcpy(target + used, p, run);
    used += run;
    std::size_t written = 0;
    std::size_t taken = DecodeReference(amp, end, target + used, written);
    if (taken == 0) {
      target[used++] = '&';
      taken = 1;
    } else {
      used += written;
    }
    p = amp + taken;
    amp = p < end ? static_cast<const char*>(std::memchr(p, '&', static_cast<std::size_t>(end - p))) : nullptr;
  }
  std::size_t rest = static_cast<std::size_t>(end - p);
  std::memcpy(target + used, p, rest);
  used += rest;
  if (!result.Resize(used)) return false;
  out.Swap(result);
  return true;
}

Kt_AString EscapeText(const Kt_AString& text) noexcept {
  std::string_view view = ViewOf(text);
  if (!NeedsEscaping(view)) return text;
  Kt_AString escaped;
  if (!escaped.Reserve(text.Length() + text.Length() / 4 + 16) || !AppendEscaped(escaped, view)) return Kt_AString();
  return escaped;
}

Kt_AString UnescapeText(const Kt_AString& text) noexcept {
  if (text.Find('&') == Kt_AString::npos) return text;
  Kt_AString unescaped;
  if (!AssignUnescaped(unescaped, ViewOf(text))) return Kt_AString();
  return unescaped;
}
