#include "engine/core/key_index.h"

#include <cstring>
#include <new>

#include "dataset/text/compare.h"

namespace kt::engine {

namespace {

constexpr std::size_t kSmallestTable = 16;

std::size_t SlotCountFor(std::size_t count) {
  std::size_t slots = kSmallestTable;
  while (slots < count * 2) slots *= 2;
  return slots;
}

constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;

unsigned char FoldByte(unsigned char byte) {
  return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte + ('a' - 'A')) : byte;
}

// Eight bytes below 0x80 with A-Z folded to a-z; no byte carries into the next.
std::uint64_t FoldAsciiWord(std::uint64_t word) {
  const std::uint64_t atLeastA = word + (0x80 - 'A') * kOnes;
  const std::uint64_t aboveZ = word + (0x80 - 'Z' - 1) * kOnes;
  return word | ((atLeastA & ~aboveZ & kHighBits) >> 2);
}

bool HasZeroByte(std::uint64_t word) { return ((word - kOnes) & ~word & kHighBits) != 0; }

std::uint64_t Mix(std::uint64_t hash, std::uint64_t word) {
  hash = (hash ^ word) * kMultiplier;
  return hash ^ (hash >> 29);
}

// Collects the bytes of a name as CompareNoCase sees them into words of eight, so that a name
// hashes the same whether its words were read whole or byte by byte.
class WordHasher {
 public:
  void Word(std::uint64_t word) {
    hash_ = Mix(hash_, word);
    count_ += sizeof(word);
  }
  // The last `count` (1 to 7) bytes of plain ASCII, folded, in the low bytes of `word`.
  void Tail(std::uint64_t word, std::size_t count) {
    hash_ = Mix(hash_, word);
    count_ += count;
  }
  void Byte(unsigned char byte) {
    pending_[filled_++] = byte;
    if (filled_ == sizeof(pending_)) Flush();
  }
  std::uint32_t Finish() {
    if (filled_ > 0) Flush();
    std::uint64_t hash = Mix(hash_, count_);
    hash ^= hash >> 32;
    return static_cast<std::uint32_t>(hash);
  }

 private:
  void Flush() {
    for (std::size_t i = filled_; i < sizeof(pending_); ++i) pending_[i] = 0;
    std::uint64_t word;
    std::memcpy(&word, pending_, sizeof(word));
    hash_ = Mix(hash_, word);
    count_ += filled_;
    filled_ = 0;
  }

  std::uint64_t hash_ = kMultiplier;
  std::uint64_t count_ = 0;
  unsigned char pending_[8] = {};
  std::size_t filled_ = 0;
};

// Whether CompareNoCase finds the names equal: up to the first zero byte, ASCII letters folded,
// the byte after a lead byte compared exactly. Whole words of plain ASCII are compared at once.
bool SameName(const Kt_AString& nameA, const Kt_AString& nameB) {
  const char* a = nameA.c_str();
  const char* b = nameB.c_str();
  const std::size_t words = (nameA.Length() < nameB.Length() ? nameA.Length() : nameB.Length()) / 8;
  std::size_t i = 0;
  for (; i < words * 8; i += 8) {
    std::uint64_t wordA;
    std::uint64_t wordB;
    std::memcpy(&wordA, a + i, sizeof(wordA));
    std::memcpy(&wordB, b + i, sizeof(wordB));
    if (((wordA | wordB) & kHighBits) != 0 || HasZeroByte(wordA) || HasZeroByte(wordB)) break;
    if (FoldAsciiWord(wordA) != FoldAsciiWord(wordB)) return false;
  }
  for (;; ++i) {
    const auto byteA = static_cast<unsigned char>(a[i]);
    const auto byteB = static_cast<unsigned char>(b[i]);
    if (byteA != byteB) {
      // Bytes that differ are equal only as the two cases of one ASCII letter, never a lead byte.
      if (FoldByte(byteA) != FoldByte(byteB)) return false;
      continue;
    }
    if (byteA == 0) return true;
    if (byteA >= 0x80 && IsLeadByte(byteA)) {
      ++i;
      if (a[i] != b[i]) return false;
      if (a[i] == '\0') return true;
    }
  }
}

}  // namespace

std::uint32_t KeyIndex::Hash(const Kt_AString& key) {
  // The bytes as CompareNoCase sees them: up to the first zero byte, ASCII letters folded, the
  // byte after a lead byte taken exactly. Whole words of plain ASCII are folded at once; from the
  // first word with a zero byte or a byte of 0x80 and up, the bytes are taken one by one.
  const char* text = key.c_str();
  const std::size_t length = key.Length();
  WordHasher hasher;
  std::size_t i = 0;
  for (; i + sizeof(std::uint64_t) <= length; i += sizeof(std::uint64_t)) {
    std::uint64_t word;
    std::memcpy(&word, text + i, sizeof(word));
    if ((word & kHighBits) != 0 || HasZeroByte(word)) break;
    hasher.Word(FoldAsciiWord(word));
  }
  if (i < length && length - i < sizeof(std::uint64_t) && !std::memchr(text + i, 0, length - i)) {
    std::uint64_t word = 0;
    std::memcpy(&word, text + i, length - i);
    if ((word & kHighBits) == 0) {
      hasher.Tail(FoldAsciiWord(word), length - i);
      return hasher.Finish();
    }
  }
  for (; text[i] != '\0'; ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    hasher.Byte(FoldByte(byte));
    if (byte >= 0x80 && IsLeadByte(byte) && text[i + 1] != '\0') hasher.Byte(static_cast<unsigned char>(text[++i]));
  }
  return hasher.Finish();
}

std::size_t KeyIndex::Probe(const Kt_AString& key, std::uint32_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.row < 0) return i;
    if (slot.hash == hash && SameName(slot.key, key)) return i;
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

void KeyIndex::Prefetch(std::uint32_t hash) const {
#if defined(__GNUC__) || defined(__clang__)
  if (!slots_.empty()) __builtin_prefetch(&slots_[hash & (slots_.size() - 1)]);
#else
  (void)hash;
#endif
}

bool KeyIndex::Add(const Kt_AString& key, int row) { return Add(key, Hash(key), row); }

bool KeyIndex::Add(const Kt_AString& key, std::uint32_t hash, int row) {
  if (row < 0) return false;
  try {
    if ((count_ + 1) * 2 > slots_.size()) Rehash(SlotCountFor(count_ + 1));
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

int KeyIndex::Find(const Kt_AString& key) const { return Find(key, Hash(key)); }

int KeyIndex::Find(const Kt_AString& key, std::uint32_t hash) const {
  if (slots_.empty()) return -1;
  return slots_[Probe(key, hash)].row;
}

}  // namespace kt::engine
