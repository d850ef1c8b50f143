#pragma once
// Finding a row by a name compared without regard to case, in constant time.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "dataset/text/astring.h"

namespace kt::engine {

// Maps names to the first row that carried them. Names are equal when CompareNoCase finds them
// equal (ASCII letters folded, trail bytes of double-byte characters exact), so a lookup finds
// exactly the row a front-to-back scan with CompareNoCase would find first.
//
// An open-addressing table whose slots hold the hash, the row and the name itself: one allocation
// for the table, and most lookups touch one slot and compare one name.
class KeyIndex {
 public:
  // Makes room for `count` names without growing.
  void Reserve(std::size_t count);
  // Records `row` (0 or more) for `key` unless an earlier row has the same key. False when memory
  // ran out or the row is negative.
  bool Add(const Kt_AString& key, int row);
  // The first row added for `key`, or -1.
  int Find(const Kt_AString& key) const;

  // For lookups in a loop: the hash of a key, and a hint that a lookup of it follows soon, so that
  // the processor fetches its slot while other rows are being worked on. Add and Find then take
  // the hash (which must be Hash(key)) instead of computing it again.
  static std::uint32_t Hash(const Kt_AString& key);
  void Prefetch(std::uint32_t hash) const;
  bool Add(const Kt_AString& key, std::uint32_t hash, int row);
  int Find(const Kt_AString& key, std::uint32_t hash) const;

 private:
  struct Slot {
    std::uint32_t hash = 0;
    std::int32_t row = -1;  // -1 for a free slot
    Kt_AString key;
  };
  // The slot holding `key`, or the free slot where it would go.
  std::size_t Probe(const Kt_AString& key, std::uint32_t hash) const;
  void Rehash(std::size_t slotCount);

  std::vector<Slot> slots_;  // a power of two in size, at most half full
  std::size_t count_ = 0;
};

}  // namespace kt::engine
