#include "tools/qxlist/list_table.h"

#include <algorithm>
#include <string>
#include <vector>

#include "dataset/values/variant_types.h"

namespace qxlist {
namespace {

using Row = std::vector<std::string>;

// Control characters would break the table's lines; they are shown as escapes.
std::string Printable(const Kt_AString& text) {
  std::string shown;
  for (std::size_t i = 0; i < text.Length(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\t') shown += "\\t";
    else if (c == '\r') shown += "\\r";
    else if (c == '\n') shown += "\\n";
    else if (c < 0x20 || c == 0x7F) shown += "\\x" + std::string(1, "0123456789abcdef"[c >> 4]) + "0123456789abcdef"[c & 15];
    else shown += static_cast<char>(c);
  }
  return shown;
}

void PrintTable(const std::vector<Row>& rows, std::ostream& out) {
  std::vector<std::size_t> widths;
  for (const Row& row : rows)
    for (std::size_t c = 0; c < row.size(); ++c) {
      if (widths.size() <= c) widths.push_back(0);
      widths[c] = std::max(widths[c], row[c].size());
    }
  for (const Row& row : rows) {
    std::string line = "  ";
    for (std::size_t c = 0; c < row.size(); ++c) {
      line += row[c];
      if (c + 1 < row.size()) line.append(widths[c] - row[c].size() + 2, ' ');
    }
    line.erase(line.find_last_not_of(' ') + 1);
    out << line << '\n';
  }
}

char StateMark(std::uint8_t status) {
  switch (status) {
    case kRecordInserted: return 'I';
    case kRecordUpdated: return 'U';
    case kRecordDeleted: return 'D';
    default: return ' ';
  }
}

Row RecordRow(const Kt_Record& record, int columns, const std::string& number) {
  Row row{number, std::string(1, StateMark(record.status))};
  for (int c = 0; c < columns; ++c)
    row.push_back(c < static_cast<int>(record.cells.size()) ? Printable(record.cells[c].ToString()) : "");
  return row;
}

void PrintDataset(const Kt_Dataset& dataset, std::ostream& out) {
  const int columns = dataset.ColumnCount();
  int deleted = 0;
  for (int i = 0; i < dataset.OriginalCount(); ++i)
    if (dataset.GetOriginal(i)->status == kRecordDeleted) ++deleted;
  out << "dataset " << (dataset.Id().IsEmpty() ? "(unnamed)" : Printable(dataset.Id())) << ": " << columns
      << " columns, " << dataset.RecordCount() << " records";
  if (deleted) out << ", " << deleted << " deleted";
  out << '\n';
  const Kt_ParamList& constants = dataset.Constants();
  for (int i = 0; i < constants.Count(); ++i) {
    const Kt_Variable* constant = constants.At(i);
    out << "  constant " << Printable(constant->name) << " " << TypeName(constant->value.Kind()) << " = "
        << Printable(constant->value.ToString()) << '\n';
  }
  std::vector<Row> rows;
  Row header{"#", "S"};
  for (int c = 0; c < columns; ++c) {
    const Kt_ColInfo* column = dataset.GetColInfo(c);
    header.push_back(Printable(column->id) + ":" + ColumnTypeName(column->type));
  }
  rows.push_back(header);
  for (int r = 0; r < dataset.RecordCount(); ++r)
    rows.push_back(RecordRow(*dataset.GetRecord(r), columns, std::to_string(r + 1)));
  for (int i = 0; i < dataset.OriginalCount(); ++i) {
    const Kt_Record* original = dataset.GetOriginal(i);
    if (original->status == kRecordDeleted) rows.push_back(RecordRow(*original, columns, "-"));
  }
  PrintTable(rows, out);
}

}  // namespace

void PrintListDocument(const ListDocument& document, std::ostream& out) {
  out << "parameters: " << document.params.Count() << '\n';
  std::vector<Row> rows;
  for (int i = 0; i < document.params.Count(); ++i) {
    const Kt_Variable* param = document.params.At(i);
    rows.push_back({Printable(param->name), TypeName(param->value.Kind()), Printable(param->value.ToString())});
  }
  PrintTable(rows, out);
  for (int i = 0; i < document.datasets.Count(); ++i) PrintDataset(*document.datasets.At(i), out);
}

}  // namespace qxlist
