#ifndef KT_DATASET_DATASET_H
#define KT_DATASET_DATASET_H

#include <cstdint>
#include <vector>

#include "dataset/text/astring.h"
#include "dataset/model/col_info.h"
#include "dataset/values/ptr_list.h"
#include "dataset/model/record.h"
#include "dataset/values/variable.h"
#include "dataset/values/variant.h"

// A named table: column descriptions, records with one typed value per column, named constant
// columns that hold one value for the whole dataset, and the originals of changed records.
//
// This implementation holds plain datasets only: views, sorting, filtering and grouping are not
// built; a dataset whose kind marks it as a view has no columns of its own and refuses column
// and cell operations. Row numbers are record positions. Failures are reported by the return
// value (-1, 0 or null), never by exceptions.
class Kt_Dataset {
 public:
  // Kinds from this value up mark views; kGroupedKind with its own-columns flag a grouped dataset.
  static constexpr int kFirstViewKind = 32;
  static constexpr int kGroupedKind = 35;
  static constexpr int kMaxColumns = 0xFFFF;

  Kt_Dataset() noexcept;
  ~Kt_Dataset();
  Kt_Dataset(const Kt_Dataset&) = delete;
  Kt_Dataset& operator=(const Kt_Dataset&) = delete;

  const Kt_AString& Id() const noexcept { return m_id; }
  void SetId(const Kt_AString& id) noexcept { m_id = id; }
  // The code page documents written from this dataset declare; the system code page at creation.
  unsigned CodePage() const noexcept { return m_codePage; }
  void SetCodePage(unsigned codePage) noexcept { m_codePage = codePage; }

  int Kind() const noexcept { return m_kind; }
  void SetKind(int kind, bool ownColumns) noexcept;
  bool HoldsOwnColumns() const noexcept;
  bool IsGrouped() const noexcept { return m_kind == kGroupedKind && m_ownColumns; }

  bool ChangeTracking() const noexcept { return m_changeTracking; }
  void SetChangeTracking(bool on) noexcept { m_changeTracking = on; }
  int InsertedCount() const noexcept { return m_insertedCount; }

  // Empties records, columns, constant columns and originals.
  void Clear() noexcept;
  // Empties the dataset as Clear does, but keeps the storage of its records for the next
  // AppendRecord calls, so that refilling a dataset of about the same size allocates nothing per
  // row. Kept records release their values when they are reused.
  void ClearKeepingRecords() noexcept;
  // Frees the kept records that no AppendRecord has reused, with the values they still hold
  // (Clear and the destructor do this as well).
  void ReleaseSpareRecords() noexcept;
  // Replaces everything by a copy of `other` (its id only when this dataset has none). Returns
  // the record count; 0 when either dataset does not hold its own columns or memory ran out.
  int CopyFrom(const Kt_Dataset& other) noexcept;

  // -1 for a dataset without its own columns.
  int RecordCount() const noexcept;
  int ColumnCount() const noexcept;
  int ColumnCountAll() const noexcept;

  // The column of that name (case-insensitive); else, for a constant column, ColumnCount() + its
  // index; else -1.
  int ColumnIndex(const char* name) const noexcept;
  // Appends a column and a null cell to every record and original. Returns the new column's
  // index; -1 when a column or constant column of that id exists, the dataset has no columns of
  // its own, the column limit is reached, or memory ran out.
  int AddColumn(const Kt_AString& id, Kt_ColType type, std::uint16_t size = kDefaultColumnSize,
                std::uint16_t summaryFlags = 0, const Kt_AString& mapValue = Kt_AString()) noexcept;
  // The same for a grouped dataset's column, with its bind column and summary kind.
  int AddGroupedColumn(const Kt_AString& id, Kt_ColType type, std::uint16_t size, std::uint16_t summaryFlags,
                       const Kt_AString& bindColumn, std::uint16_t summaryKind) noexcept;
  Kt_ColInfo* GetColInfo(int index) const noexcept;

  // Constant columns (a sorted parameter list).
  const Kt_ParamList& Constants() const noexcept { return m_constants; }
  Kt_Variant* GetConstant(const char* name) const noexcept;
  Kt_Variant* GetConstant(int index) const noexcept;
  // Adds or replaces; the constant's index, or -1.
  int SetConstant(const Kt_AString& name, const Kt_Variant& value) noexcept;
  // Replaces the value of an existing constant; false outside the list.
  bool SetConstant(int index, const Kt_Variant& value) noexcept;

  // Appends a record of null cells: Inserted when `track` is given and change tracking is on
  // (the inserted count grows), else Normal. The new row number, or -1.
  int AppendRecord(bool track) noexcept;
  Kt_Record* GetRecord(int row) const noexcept;

  // The cell, or null for an unknown row or column; columns from ColumnCount() on address the
  // constant columns.
  const Kt_Variant* GetCell(int row, int column) const noexcept;
  // As above by name, with the shared null value (Kt_Variant::Null()) for anything unknown.
  const Kt_Variant& GetCell(int row, const char* columnName) const noexcept;
  // Stores a value converted to the column's kind (null stays null), with change tracking as
  // described in dataset_cells.cpp. Returns 1 when stored or unchanged, 0 on a bad row or column.
  int SetCell(int row, int column, const Kt_Variant& value) noexcept;
  int SetCellText(int row, int column, const Kt_AString& text) noexcept;
  int SetCellText(int row, const char* columnName, const Kt_AString& text) noexcept;

  // Originals of updated records, and deleted records.
  int OriginalCount() const noexcept { return m_originals.Count(); }
  Kt_Record* GetOriginal(int index) const noexcept { return m_originals.Get<Kt_Record>(index); }
  // For reading documents: appends an original of null cells for the record at `row` and links
  // the two both ways. The original's index, or -1.
  int AppendOriginalOf(int row) noexcept;
  // For reading documents: moves the record at `row` to the end of the originals list (a
  // deleted record lives only there); links of originals to later records move down by one.
  bool MoveRecordToOriginals(int row) noexcept;

 private:
  bool AppendNullCells(Kt_PtrList& records, int columnCount) noexcept;
  int AppendColumn(const Kt_ColInfo& column) noexcept;
  // SetCell with a value of its own, converted and moved into the cell.
  int StoreCell(int row, int column, Kt_Variant&& value) noexcept;
  int StoreTracked(Kt_Record& record, int row, int column, Kt_Variant& value) noexcept;
  void RemoveOriginal(int index) noexcept;
  // Originals, columns, constant columns and the inserted count: what both ways of clearing empty.
  void ClearAllButRecords() noexcept;

  Kt_AString m_id;
  unsigned m_codePage;
  int m_kind = 0;
  bool m_ownColumns = true;
  bool m_changeTracking = false;
  int m_insertedCount = 0;
  Kt_ParamList m_constants;
  Kt_PtrList m_columns;
  Kt_PtrList m_records;
  Kt_PtrList m_originals;
  // Records kept by ClearKeepingRecords, the next one to reuse last; made by m_records' handler.
  std::vector<Kt_Record*> m_spareRecords;
};

// Orders datasets by id, case-insensitively; copies with Kt_Dataset::CopyFrom.
class Kt_DatasetHandler : public Kt_ListObjHandler {
 public:
  static Kt_DatasetHandler& Instance() noexcept;
  Kt_DatasetHandler() noexcept : Kt_ListObjHandler(sizeof(Kt_Dataset)) {}
  void* Construct(void* storage) noexcept override;
  void Destroy(void* element) noexcept override;
  bool Copy(void* target, const void* source) noexcept override;
  int Compare(const void* a, const void* b) const noexcept override;
};

// An unsorted list of datasets, as documents hold them.
class Kt_DatasetList : public Kt_PtrList {
 public:
  Kt_DatasetList() noexcept : Kt_PtrList(Kt_DatasetHandler::Instance(), false) {}
  Kt_Dataset* At(int index) const noexcept { return Get<Kt_Dataset>(index); }
};

#endif
