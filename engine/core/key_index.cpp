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
    if (slot.row < 0) return i;
    if (slot.hash == hash && slot.key.CompareNoCase(key) == 0) return i;
  }
}

void KeyIndex::Reserve(std::size_t count) {
  if (SlotCountFor(count) > slots_.size()) Rehash(SlotCountFor(count));
}

void KeyIndex::Rehash(std::size_t slotCount) {
  std::vector<Slot> old(slotCount);
  old.swap(slots_);
  const std::size_t mask = slots_.size() - 1;
  for (Slot& slot : old) {
    if (slot.row < 0) continue;
    std::size_t i = slot.hash & mask;
    while (slots_[i].row >= 0) i = (i + 1) & mask;
    slots_[i].hash = slot.hash;
    slots_[i].row = slot.row;
    slots_[i].key.Swap(slot.key);
  }
}

bool KeyIndex::Add(const Kt_AString& key, int row) {
  if (row < 0) return false;
  try {
    if ((count_ + 1) * 2 > slots_.size()) Rehash(SlotCountFor(count_ + 1));
    const std::uint32_t hash = FoldedHash(key);
    Slot& slot = slots_[Probe(key, hash)];
    if (slot.row >= 0) return true;
    slot.hash = hash;
    slot.row = row;
    slot.key = key;
    ++count_;
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

int KeyIndex::Find(const Kt_AString& key) const {
  if (slots_.empty()) return -1;
  const Slot& slot = slots_[Probe(key, FoldedHash(key))];
  return slot.row;
}

}  // namespace kt::engine
