#include "engine/core/key_index.h"

#include <cstdint>

#include "dataset/compare.h"

namespace kt::engine {

std::size_t KeyIndex::FoldedHash::operator()(const Kt_AString& key) const {
  // FNV-1a over the bytes as CompareNoCase sees them: up to the first zero byte, ASCII letters
  // folded, the byte after a lead byte taken exactly.
  std::uint64_t hash = 14695981039346656037ull;
  const char* text = key.c_str();
  auto mix = [&hash](unsigned char byte) { hash = (hash ^ byte) * 1099511628211ull; };
  for (std::size_t i = 0; text[i] != '\0'; ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    mix(byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte + ('a' - 'A')) : byte);
    if (IsLeadByte(byte) && text[i + 1] != '\0') mix(static_cast<unsigned char>(text[++i]));
  }
  return static_cast<std::size_t>(hash);
}

int KeyIndex::Find(const Kt_AString& key) const {
  const auto found = rows_.find(key);
  return found == rows_.end() ? -1 : found->second;
}

}  // namespace kt::engine
