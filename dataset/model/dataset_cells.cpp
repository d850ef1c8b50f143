#include <cstring>

#include "dataset/model/dataset.h"

namespace {

// Whether `value` restores the original's cell: a null original only by null, an integer by
// ToInt, a decimal by exact ToDouble, a date by equal dates; byte blocks never; anything else by
// equal text forms. A null value restores only a null original, so that clearing a cell is never
// mistaken for restoring it.
bool RestoresOriginal(const Kt_Variant& original, const Kt_Variant& value) noexcept {
  if (original.IsNull() || value.IsNull()) return original.IsNull() && value.IsNull();
  switch (original.Kind()) {
    case Kt_VarKind::Integer:
      return original.IntValue() == value.ToInt();
    case Kt_VarKind::Decimal:
      return original.DoubleValue() == value.ToDouble();
    case Kt_VarKind::Date:
      return value.Kind() == Kt_VarKind::Date && original.DateValue() == value.DateValue();
    case Kt_VarKind::Blob:
      return false;
    default:
      return original.ToString() == value.ToString();
  }
}

bool CellsEqual(const Kt_Variant& a, const Kt_Variant& b) noexcept {
  return (a.IsNull() && b.IsNull()) || Kt_Variant::Equals(a, b);
}

}  // namespace

const Kt_Variant* Kt_Dataset::GetCell(int row, int column) const noexcept {
  int columnCount = ColumnCount();
  if (column < 0 || columnCount < 0) return nullptr;
  if (column >= columnCount) return GetConstant(column - columnCount);
  Kt_Record* record = GetRecord(row);
  if (!record || static_cast<std::size_t>(column) >= record->cells.size()) return nullptr;
  return &record->cells[static_cast<std::size_t>(column)];
}

const Kt_Variant& Kt_Dataset::GetCell(int row, const char* columnName) const noexcept {
  const Kt_Variant* cell = GetCell(row, ColumnIndex(columnName));
  return cell ? *cell : Kt_Variant::Null();
}

int Kt_Dataset::SetCellText(int row, int column, const Kt_AString& text) noexcept {
  return StoreCell(row, column, Kt_Variant::FromString(text));
}

int Kt_Dataset::SetCellText(int row, const char* columnName, const Kt_AString& text) noexcept {
  return SetCellText(row, ColumnIndex(columnName), text);
}

// Stores a cell value:
//  1. a column index from ColumnCount() on stores the constant column's value as it is;
//  2. otherwise the row must name a record, and a non-null value is converted to the column's
//     kind (INT integer, DECIMAL decimal, CURRENCY currency, DATE date, BLOB byte block,
//     everything else string);
//  3. without change tracking the value is stored;
//  4. with change tracking an Inserted record just stores; an Updated record that gets back the
//     original's value in this and every other cell returns to Normal and loses its original;
//     any other record keeps an unchanged value as it is, and on a real change becomes Updated
//     with a copy of itself as it was in the originals list.
int Kt_Dataset::SetCell(int row, int column, const Kt_Variant& value) noexcept {
  return StoreCell(row, column, Kt_Variant(value));
}

int Kt_Dataset::StoreCell(int row, int column, Kt_Variant&& value) noexcept {
  int columnCount = ColumnCount();
  if (column < 0 || columnCount < 0) return 0;
  if (column >= columnCount) return SetConstant(column - columnCount, value) ? 1 : 0;
  Kt_Record* record = GetRecord(row);
  const Kt_ColInfo* info = GetColInfo(column);
  if (!record || !info || static_cast<std::size_t>(column) >= record->cells.size()) return 0;
  // A value of the column's kind is stored as it is, without a converted copy.
  if (!value.IsNull()) value.ChangeType(ColumnValueKind(info->type));
  if (!m_changeTracking) {
    record->cells[static_cast<std::size_t>(column)] = std::move(value);
    return 1;
  }
  return StoreTracked(*record, row, column, value);
}

int Kt_Dataset::StoreTracked(Kt_Record& record, int row, int column, Kt_Variant& value) noexcept {
  auto cell = static_cast<std::size_t>(column);
  if (record.status == kRecordInserted) {
    record.cells[cell] = std::move(value);
    return 1;
  }
  if (record.status == kRecordUpdated) {
    Kt_Record* original = GetOriginal(record.link);
    if (original && original->cells.size() == record.cells.size() && RestoresOriginal(original->cells[cell], value)) {
      bool othersEqual = true;
      for (std::size_t i = 0; i < record.cells.size() && othersEqual; ++i) {
        if (i != cell) othersEqual = CellsEqual(record.cells[i], original->cells[i]);
      }
      if (othersEqual) {
        RemoveOriginal(record.link);
        record.status = kRecordNormal;
        record.link = -1;
      }
    }
    record.cells[cell] = std::move(value);
    return 1;
  }
  if (Kt_Variant::Compare(record.cells[cell], value) == 0) return 1;
  int index = m_originals.Add(&record);
  if (index < 0) return 0;
  Kt_Record* copy = GetOriginal(index);
  copy->link = row;
  record.status = kRecordUpdated;
  record.link = index;
  record.cells[cell] = std::move(value);
  return 1;
}

void Kt_Dataset::RemoveOriginal(int index) noexcept {
  if (!m_originals.RemoveAt(index)) return;
  for (int i = 0; i < m_records.Count(); ++i) {
    Kt_Record* record = m_records.Get<Kt_Record>(i);
    if (record && record->link > index) --record->link;
  }
}
