#include "engine/core/published_hashes.h"

#include "dataset/model/dataset.h"
#include "engine/core/item_rows.h"
#include "engine/core/list_columns.h"

namespace kt::engine {
namespace {

char LowerHex(char c) { return c >= 'A' && c <= 'F' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

PublishedHashes::PublishedHashes(const Kt_Dataset* serverList, const ComponentItem& defaults) {
  if (serverList == nullptr) return;
  const int column = serverList->ColumnIndex(kColumnSha256);
  if (column < 0) return;
  const ItemReader reader(*serverList, defaults);
  for (int row = 0; row < serverList->RecordCount(); ++row) {
    const Kt_Variant* cell = serverList->GetCell(row, column);
    if (cell == nullptr) continue;
    const Kt_AString text = cell->ToString();
    // Blanks around the digest (a list written by hand) are no part of it.
    std::string digest(text.c_str(), text.Length());
    const std::size_t first = digest.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) continue;
    digest = digest.substr(first, digest.find_last_not_of(" \t\r\n") - first + 1);
    for (char& c : digest) c = LowerHex(c);
    hashes_.emplace_back(reader.Read(row).fileName, digest);
  }
}

std::string PublishedHashes::For(const std::string& fileName) const {
  const Kt_AString name(fileName.c_str(), fileName.size());
  for (const auto& entry : hashes_)
    if (entry.first.CompareNoCase(name) == 0) return entry.second;
  return std::string();
}

bool SameDigest(const std::string& expected, const std::string& received) {
  if (expected.size() != received.size()) return false;
  for (std::size_t i = 0; i < expected.size(); ++i)
    if (LowerHex(expected[i]) != LowerHex(received[i])) return false;
  return true;
}

}  // namespace kt::engine
