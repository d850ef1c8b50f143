#pragma once
// Finding a row by a name compared without regard to case, in constant time.
#include <cstddef>
#include <unordered_map>

#include "dataset/astring.h"

namespace kt::engine {

// Maps names to the first row that carried them. Names are equal when CompareNoCase finds them
// equal (ASCII letters folded, trail bytes of double-byte characters exact), so a lookup finds
// exactly the row a front-to-back scan with CompareNoCase would find first.
class KeyIndex {
 public:
  void Reserve(std::size_t count) { rows_.reserve(count); }
  // Records `row` for `key` unless an earlier row has the same key.
  void Add(const Kt_AString& key, int row) { rows_.emplace(key, row); }
  // The first row added for `key`, or -1.
  int Find(const Kt_AString& key) const;

 private:
  struct FoldedHash {
    std::size_t operator()(const Kt_AString& key) const;
  };
  struct FoldedEqual {
    bool operator()(const Kt_AString& a, const Kt_AString& b) const { return a.CompareNoCase(b) == 0; }
  };
  std::unordered_map<Kt_AString, int, FoldedHash, FoldedEqual> rows_;
};

}  // namespace kt::engine
