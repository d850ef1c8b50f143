#pragma once
// The SHA-256 digests a component list publishes for its files (the optional SHA256 column),
// looked up by file name. A list without the column publishes none, and its files are taken as
// they come, as before the column existed.
#include <string>
#include <utility>
#include <vector>

#include "engine/core/component_item.h"

class Kt_Dataset;

namespace kt::engine {

class PublishedHashes {
 public:
  // Reads the server's list (null: none) with its default item.
  PublishedHashes(const Kt_Dataset* serverList, const ComponentItem& defaults);

  // The digest published for the file (name compared without regard to case) in lower case;
  // empty when the list publishes none for it.
  std::string For(const std::string& fileName) const;

 private:
  std::vector<std::pair<Kt_AString, std::string>> hashes_;
};

// True when `received` is the digest `expected` (hexadecimal, without regard to case).
bool SameDigest(const std::string& expected, const std::string& received);

}  // namespace kt::engine
