#include "engine/core/key_index.h"

#include <new>

#include "dataset/compare.h"

namespace kt::engine {

namespace {

constexpr std::size_t kSmallestTable = 16;

std::size_t SlotCountFor(std::size_t count) {
  std::size_t slots = kSmallestTable;
  while (slots < count * 2) slots *= 2;
  return slots;
}

}  // namespace

std::uint32_t KeyIndex::FoldedHash(const Kt_AString& key) {
  // FNV-1a over the bytes as CompareNoCase sees them: up to the first zero byte, ASCII letters
  // folded, the byte after a lead byte taken exactly.
  std::uint32_t hash = 2166136261u;
  const char* text = key.c_str();
  auto mix = [&hash](unsigned char byte) { hash = (hash ^ byte) * 16777619u; };
  for (std::size_t i = 0; text[i] != '\0'; ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    mix(byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte + ('a' - 'A')) : byte);
    if (byte >= 0x80 && IsLeadByte(byte) && text[i + 1] != '\0') mix(static_cast<unsigned char>(text[++i]));
  }
  return hash;
}

std::size_t KeyIndex::Probe(const Kt_AString& key, std::uint32_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.entry < 0) return i;
    if (slot.hash == hash && entries_[static_cast<std::size_t>(slot.entry)].key.CompareNoCase(key) == 0) return i;
  }
}

void KeyIndex::Reserve(std::size_t count) {
  entries_.reserve(count);
  if (SlotCountFor(count) > slots_.size()) Rehash(SlotCountFor(count));
}

void KeyIndex::Rehash(std::size_t slotCount) {
  std::vector<Slot> old(slotCount, Slot{0, -1});
  old.swap(slots_);
  const std::size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.entry < 0) continue;
    std::size_t i = slot.hash & mask;
    while (slots_[i].entry >= 0) i = (i + 1) & mask;
    slots_[i] = slot;
  }
}

bool KeyIndex::Add(const Kt_AString& key, int row) {
  try {
    if ((entries_.size() + 1) * 2 > slots_.size()) Rehash(SlotCountFor(entries_.size() + 1));
    const std::uint32_t hash = FoldedHash(key);
    Slot& slot = slots_[Probe(key, hash)];
    if (slot.entry >= 0) return true;
    entries_.push_back(Entry{key, row});
    slot = Slot{hash, static_cast<std::int32_t>(entries_.size() - 1)};
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

int KeyIndex::Find(const Kt_AString& key) const {
  if (slots_.empty()) return -1;
  const Slot& slot = slots_[Probe(key, FoldedHash(key))];
  return slot.entry < 0 ? -1 : entries_[static_cast<std::size_t>(slot.entry)].row;
}

}  // namespace kt::engine
