#pragma once
// Finding a row by a name compared without regard to case, in constant time.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "dataset/astring.h"

namespace kt::engine {

// Maps names to the first row that carried them. Names are equal when CompareNoCase finds them
// equal (ASCII letters folded, trail bytes of double-byte characters exact), so a lookup finds
// exactly the row a front-to-back scan with CompareNoCase would find first.
//
// An open-addressing table of (hash, entry) pairs: one allocation for the table, and most
// lookups touch one slot and compare one name.
class KeyIndex {
 public:
  // Makes room for `count` names without growing.
  void Reserve(std::size_t count);
  // Records `row` for `key` unless an earlier row has the same key. False when memory ran out.
  bool Add(const Kt_AString& key, int row);
  // The first row added for `key`, or -1.
  int Find(const Kt_AString& key) const;

 private:
  struct Slot {
    std::uint32_t hash;
    std::int32_t entry;  // index into entries_, -1 for a free slot
  };
  struct Entry {
    Kt_AString key;
    int row;
  };
  static std::uint32_t FoldedHash(const Kt_AString& key);
  // The slot holding `key`, or the free slot where it would go.
  std::size_t Probe(const Kt_AString& key, std::uint32_t hash) const;
  void Rehash(std::size_t slotCount);

  std::vector<Slot> slots_;  // a power of two in size, at most half full
  std::vector<Entry> entries_;
};

}  // namespace kt::engine
