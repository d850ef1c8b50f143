#pragma once
// Lists for tests, written as text: one row per string of "COLUMN=value" pairs joined by '|'
// ("FILENAME=a.dll|ACTION=DOWNREG|VERSION=1.0"), parameters the same way.
#include <string>
#include <vector>

#include "dataset/model/dataset.h"
#include "dataset/values/variable.h"

namespace kt::engine::testing {

// Adds every column a row names (string columns, in order of first use) and one record per row.
void FillList(Kt_Dataset& list, const std::vector<std::string>& rows);
// Sets every pair as a string parameter.
void FillParameters(Kt_ParamList& parameters, const std::string& pairs);
// The text of a cell, "" for a missing column.
std::string CellText(const Kt_Dataset& list, int row, const char* column);
// One column of every row.
std::vector<std::string> ColumnTexts(const Kt_Dataset& list, const char* column);

}  // namespace kt::engine::testing
