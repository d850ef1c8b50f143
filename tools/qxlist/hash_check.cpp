#include "tools/qxlist/hash_check.h"

#include <filesystem>

#include "engine/core/list_columns.h"
#include "tools/qxlist/sha256.h"

namespace qxlist {
namespace {

using namespace kt::engine;

std::string Text(const Kt_AString& text) { return std::string(text.c_str(), text.Length()); }

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

// The cell's text, or the list parameter of the same name when the cell is empty.
std::string CellOrDefault(const ListDocument& document, const Kt_Dataset& rows, int row, const char* column) {
  std::string text = Text(rows.GetCell(row, column).ToString());
  if (text.empty()) {
    const Kt_Variable* fallback = document.params.Find(column);
    if (fallback) text = Text(fallback->value.ToString());
  }
  return text;
}

}  // namespace

int ReportHashMismatches(const ListDocument& document, const std::string& listPath, std::ostream& out) {
  if (document.datasets.Count() == 0 || IsConfigurationList(document)) return 0;
  const Kt_Dataset& rows = *document.datasets.At(0);
  if (rows.ColumnIndex(kColumnSha256) < 0) return 0;
  const std::filesystem::path folder = std::filesystem::u8path(listPath).parent_path();
  int mismatches = 0;
  int checked = 0;
  for (int row = 0; row < rows.RecordCount(); ++row) {
    const std::string expected = Lower(Text(rows.GetCell(row, kColumnSha256).ToString()));
    const std::string source = CellOrDefault(document, rows, row, kColumnSource);
    const std::string name = CellOrDefault(document, rows, row, kColumnFileName);
    if (expected.empty() || source.find("://") != std::string::npos) continue;
    ++checked;
    const std::filesystem::path file = folder / std::filesystem::u8path(source) / std::filesystem::u8path(name);
    std::string actual, problem;
    const std::string where = "  row " + std::to_string(row + 1) + " " + name + ": ";
    if (!FileSha256Hex(file.string(), actual, problem)) {
      out << where << file.string() << " " << problem << '\n';
      ++mismatches;
    } else if (actual != expected) {
      out << where << "SHA256 expected " << expected << ", the file has " << actual << '\n';
      ++mismatches;
    }
  }
  out << "  hashes: " << checked << " checked, " << mismatches << " not matching\n";
  return mismatches;
}

}  // namespace qxlist
