#include "engine/core/list_columns.h"

#include "dataset/model/dataset.h"

namespace kt::engine {

namespace {

// A column of the dataset's own; constant columns are answered by ColumnIndex as well, but a
// list's cells live only in real columns.
int RealColumn(const Kt_Dataset& dataset, const char* name) {
  const int index = dataset.ColumnIndex(name);
  return index < dataset.ColumnCount() ? index : -1;
}

}  // namespace

ListColumns::ListColumns(const Kt_Dataset& dataset)
    : source(RealColumn(dataset, kColumnSource)),
      fileName(RealColumn(dataset, kColumnFileName)),
      target(RealColumn(dataset, kColumnTarget)),
      version(RealColumn(dataset, kColumnVersion)),
      status(RealColumn(dataset, kColumnStatus)),
      action(RealColumn(dataset, kColumnAction)),
      device(RealColumn(dataset, kColumnDevice)),
      argument(RealColumn(dataset, kColumnArgument)),
      oldVersion(RealColumn(dataset, kColumnOldVersion)),
      patchFileName(RealColumn(dataset, kColumnPatchFileName)),
      uacFix(RealColumn(dataset, kColumnUacFix)) {}

bool PrepareWorkingList(Kt_Dataset& working, bool withFileName) {
  // The rows about to be written reuse the storage of the rows the list held.
  working.ClearKeepingRecords();
  for (const char* name : {kColumnSource, kColumnFileName, kColumnTarget, kColumnVersion, kColumnStatus,
                           kColumnAction, kColumnDevice, kColumnArgument, kColumnOldVersion, kColumnPatchFileName,
                           kColumnUacFix}) {
    if (!withFileName && name == kColumnFileName) continue;
    if (working.AddColumn(name, Kt_ColType::String, kDefaultColumnSize) < 0) return false;
  }
  return true;
}

}  // namespace kt::engine
