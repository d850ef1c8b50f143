#include "list_text.h"

#include <utility>

namespace kt::engine::testing {

namespace {

std::vector<std::pair<std::string, std::string>> Pairs(const std::string& text) {
  std::vector<std::pair<std::string, std::string>> pairs;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('|', start);
    if (end == std::string::npos) end = text.size();
    const std::string pair = text.substr(start, end - start);
    const std::size_t equals = pair.find('=');
    if (equals != std::string::npos) pairs.emplace_back(pair.substr(0, equals), pair.substr(equals + 1));
    start = end + 1;
  }
  return pairs;
}

}  // namespace

void FillList(Kt_Dataset& list, const std::vector<std::string>& rows) {
  for (const std::string& row : rows) {
    const int record = list.AppendRecord(false);
    for (const auto& [column, value] : Pairs(row)) {
      if (list.ColumnIndex(column.c_str()) < 0) list.AddColumn(column.c_str(), Kt_ColType::String);
      list.SetCellText(record, column.c_str(), value.c_str());
    }
  }
}

void FillParameters(Kt_ParamList& parameters, const std::string& pairs) {
  for (const auto& [name, value] : Pairs(pairs)) {
    parameters.Set(name.c_str(), Kt_Variant::FromString(value.c_str()));
  }
}

std::string CellText(const Kt_Dataset& list, int row, const char* column) {
  return list.GetCell(row, column).ToString().c_str();
}

std::vector<std::string> ColumnTexts(const Kt_Dataset& list, const char* column) {
  std::vector<std::string> texts;
  for (int row = 0; row < list.RecordCount(); ++row) texts.push_back(CellText(list, row, column));
  return texts;
}

}  // namespace kt::engine::testing
