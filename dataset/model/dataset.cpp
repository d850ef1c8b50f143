#include "dataset/model/dataset.h"

#include "dataset/text/codepage.h"
#include "dataset/text/compare.h"

Kt_Dataset::Kt_Dataset() noexcept
    : m_codePage(SystemCodePage()),
      m_columns(Kt_ColInfoHandler::Instance(), false),
      m_records(Kt_RecordHandler::Instance(), false),
      m_originals(Kt_RecordHandler::Instance(), false) {}

Kt_Dataset::~Kt_Dataset() { ReleaseSpareRecords(); }

void Kt_Dataset::ReleaseSpareRecords() noexcept {
  for (Kt_Record* record : m_spareRecords) m_records.Handler().DeleteElement(record);
  m_spareRecords.clear();
}

void Kt_Dataset::SetKind(int kind, bool ownColumns) noexcept {
  m_kind = kind;
  m_ownColumns = ownColumns;
}

bool Kt_Dataset::HoldsOwnColumns() const noexcept { return m_kind < kFirstViewKind || IsGrouped(); }

void Kt_Dataset::Clear() noexcept {
  ReleaseSpareRecords();
  m_records.Clear();
  ClearAllButRecords();
}

void Kt_Dataset::ClearAllButRecords() noexcept {
  m_originals.Clear();
  m_columns.Clear();
  m_constants.Clear();
  m_insertedCount = 0;
}

void Kt_Dataset::ClearKeepingRecords() noexcept {
  try {
    m_spareRecords.reserve(m_spareRecords.size() + static_cast<std::size_t>(m_records.Count()));
    // Taken from the end, so that the first record is reused first.
    while (m_records.Count() > 0) {
      auto* record = static_cast<Kt_Record*>(m_records.DetachAt(m_records.Count() - 1));
      if (record) m_spareRecords.push_back(record);  // cannot throw: reserved
    }
  } catch (...) {
    // No room to keep them: they are freed as Clear frees them.
  }
  // An emptied record list keeps the room of its array as well.
  if (m_records.Count() > 0) m_records.Clear();
  ClearAllButRecords();
}

int Kt_Dataset::CopyFrom(const Kt_Dataset& other) noexcept {
  if (!HoldsOwnColumns() || !other.HoldsOwnColumns()) return 0;
  if (&other == this) return RecordCount();
  if (m_id.IsEmpty()) m_id = other.m_id;
  m_codePage = other.m_codePage;
  m_changeTracking = other.m_changeTracking;
  m_insertedCount = other.m_insertedCount;
  if (!m_constants.CopyFrom(other.m_constants) || !m_columns.CopyFrom(other.m_columns) ||
      !m_records.CopyFrom(other.m_records) || !m_originals.CopyFrom(other.m_originals)) {
    Clear();
    return 0;
  }
  return RecordCount();
}

int Kt_Dataset::RecordCount() const noexcept { return HoldsOwnColumns() ? m_records.Count() : -1; }

int Kt_Dataset::ColumnCount() const noexcept { return HoldsOwnColumns() ? m_columns.Count() : -1; }

int Kt_Dataset::ColumnCountAll() const noexcept {
  return HoldsOwnColumns() ? m_columns.Count() + m_constants.Count() : -1;
}

int Kt_Dataset::ColumnIndex(const char* name) const noexcept {
  if (!HoldsOwnColumns()) return -1;
  for (int i = 0; i < m_columns.Count(); ++i) {
    const Kt_ColInfo* column = m_columns.Get<Kt_ColInfo>(i);
    if (column && CompareNoCase(column->id.c_str(), name) == 0) return i;
  }
  int constant = m_constants.IndexOf(name);
  return constant >= 0 ? m_columns.Count() + constant : -1;
}

bool Kt_Dataset::AppendNullCells(Kt_PtrList& records, int columnCount) noexcept {
  auto width = static_cast<std::size_t>(columnCount);
  for (int i = 0; i < records.Count(); ++i) {
    Kt_Record* record = records.Get<Kt_Record>(i);
    if (!record) continue;
    try {
      record->cells.resize(width);
    } catch (...) {
      return false;
    }
  }
  return true;
}

int Kt_Dataset::AppendColumn(const Kt_ColInfo& column) noexcept {
  if (!HoldsOwnColumns() || ColumnIndex(column.id.c_str()) >= 0 || m_columns.Count() >= kMaxColumns) return -1;
  int index = m_columns.Add(&column);
  if (index < 0) return -1;
  m_columns.Get<Kt_ColInfo>(index)->position = static_cast<std::uint16_t>(index);
  if (!AppendNullCells(m_records, index + 1) || !AppendNullCells(m_originals, index + 1)) {
    // Out of memory: undo, so that every record keeps one cell per column.
    m_columns.RemoveAt(index);
    AppendNullCells(m_records, index);
    AppendNullCells(m_originals, index);
    return -1;
  }
  return index;
}

int Kt_Dataset::AddColumn(const Kt_AString& id, Kt_ColType type, std::uint16_t size, std::uint16_t summaryFlags,
                          const Kt_AString& mapValue) noexcept {
  Kt_ColInfo column;
  column.id = id;
  column.type = static_cast<std::uint16_t>(type);
  column.size = size;
  column.summaryFlags = summaryFlags;
  column.mapValue = mapValue;
  return AppendColumn(column);
}

int Kt_Dataset::AddGroupedColumn(const Kt_AString& id, Kt_ColType type, std::uint16_t size,
                                 std::uint16_t summaryFlags, const Kt_AString& bindColumn,
                                 std::uint16_t summaryKind) noexcept {
  Kt_ColInfo column;
  column.id = id;
  column.type = static_cast<std::uint16_t>(type);
  column.size = size;
  column.summaryFlags = summaryFlags;
  column.bindColumn = bindColumn;
  column.summaryKind = summaryKind;
  return AppendColumn(column);
}

Kt_ColInfo* Kt_Dataset::GetColInfo(int index) const noexcept {
  return HoldsOwnColumns() ? m_columns.Get<Kt_ColInfo>(index) : nullptr;
}

Kt_Variant* Kt_Dataset::GetConstant(const char* name) const noexcept {
  Kt_Variable* constant = m_constants.Find(name);
  return constant ? &constant->value : nullptr;
}

Kt_Variant* Kt_Dataset::GetConstant(int index) const noexcept {
  Kt_Variable* constant = m_constants.At(index);
  return constant ? &constant->value : nullptr;
}

int Kt_Dataset::SetConstant(const Kt_AString& name, const Kt_Variant& value) noexcept {
  return m_constants.Set(name, value);
}

bool Kt_Dataset::SetConstant(int index, const Kt_Variant& value) noexcept {
  return m_constants.SetAt(index, value) >= 0;
}

int Kt_Dataset::AppendRecord(bool track) noexcept {
  if (!HoldsOwnColumns()) return -1;
  const auto width = static_cast<std::size_t>(m_columns.Count());
  Kt_Record* record = nullptr;
  if (!m_spareRecords.empty()) {
    record = m_spareRecords.back();
    m_spareRecords.pop_back();
    record->link = -1;
    if (record->cells.size() == width) {
      for (Kt_Variant& cell : record->cells) cell.SetNull();
    } else {
      record->cells.clear();  // keeps the cells' storage
    }
  } else {
    record = static_cast<Kt_Record*>(m_records.Handler().NewElement());
  }
  if (!record) return -1;
  try {
    record->cells.resize(width);
  } catch (...) {
    m_records.Handler().DeleteElement(record);
    return -1;
  }
  bool inserted = track && m_changeTracking;
  record->status = inserted ? kRecordInserted : kRecordNormal;
  int row = m_records.Adopt(record);
  if (row >= 0 && inserted) ++m_insertedCount;
  return row;
}

Kt_Record* Kt_Dataset::GetRecord(int row) const noexcept {
  return HoldsOwnColumns() ? m_records.Get<Kt_Record>(row) : nullptr;
}

int Kt_Dataset::AppendOriginalOf(int row) noexcept {
  Kt_Record* record = GetRecord(row);
  if (!record) return -1;
  auto* original = static_cast<Kt_Record*>(m_originals.Handler().NewElement());
  if (!original) return -1;
  try {
    original->cells.resize(static_cast<std::size_t>(m_columns.Count()));
  } catch (...) {
    m_originals.Handler().DeleteElement(original);
    return -1;
  }
  original->link = row;
  int index = m_originals.Adopt(original);
  if (index >= 0) record->link = index;
  return index;
}

bool Kt_Dataset::MoveRecordToOriginals(int row) noexcept {
  if (!GetRecord(row)) return false;
  auto* record = static_cast<Kt_Record*>(m_records.DetachAt(row));
  record->link = -1;
  if (m_originals.Adopt(record) < 0) return false;
  for (int i = 0; i < m_originals.Count(); ++i) {
    Kt_Record* original = m_originals.Get<Kt_Record>(i);
    if (original && original != record && original->link > row) --original->link;
  }
  return true;
}

void* Kt_DatasetHandler::Construct(void* storage) noexcept { return new (storage) Kt_Dataset(); }

void Kt_DatasetHandler::Destroy(void* element) noexcept { static_cast<Kt_Dataset*>(element)->~Kt_Dataset(); }

bool Kt_DatasetHandler::Copy(void* target, const void* source) noexcept {
  auto* to = static_cast<Kt_Dataset*>(target);
  const auto* from = static_cast<const Kt_Dataset*>(source);
  to->SetKind(from->Kind(), from->HoldsOwnColumns());
  to->CopyFrom(*from);
  return to->RecordCount() == from->RecordCount();
}

int Kt_DatasetHandler::Compare(const void* a, const void* b) const noexcept {
  return CompareNoCase(static_cast<const Kt_Dataset*>(a)->Id().c_str(), static_cast<const Kt_Dataset*>(b)->Id().c_str());
}

Kt_DatasetHandler& Kt_DatasetHandler::Instance() noexcept {
  static Kt_DatasetHandler handler;
  return handler;
}
