#ifndef KT_DATASET_DATASET_XML_READER_H
#define KT_DATASET_DATASET_XML_READER_H

#include <cstdint>
#include <string_view>
#include <vector>

#include "dataset/model/dataset.h"
#include "dataset/xml/dom_elem.h"
#include "dataset/values/variant_types.h"
#include "dataset/xml/xml_names.h"

// Reads a "dataset" element (see dataset_xml_writer.h) into the dataset, emptied first with
// `clear`. A non-empty "id" of an element named "dataset" becomes the dataset's id. Children, in
// order (names compare without regard to case; other children are ignored):
//  - "column": a constant column of the value type named by "type"; its text (own text, else the
//    first child's) converted by that type (INTEGER text-to-integer, DECIMAL text-to-number,
//    CURRENCY and DATE by their text forms, BLOB from base64, others as a string); empty text
//    gives null. Dates are read from "yyyyMMddHHmmss" or a leading part of it (so six digits
//    are a year and a month; documents never store the short time form, see DocumentDateText).
//  - "colinfo": a column with "type" (STRING when absent), "size" (255 when absent), "MapValue"
//    and the summary named by "summ" (summary_names.h); a column whose id exists already is not
//    added. A text summary takes its text from "summ" after "text:"; the other summaries whose
//    flags have bit 16 take the word for a subtotal in the system's language.
//  - "record": a record whose status follows the first letter of "type" (D deleted, I inserted,
//    U updated, anything else normal). An updated record with an "org_record" child gets an
//    original, read from that child's elements up to the first that names no column. Each child
//    element named by a column sets that cell: its text (own text, or its only child's) converted
//    by the column type; without text, an element with content tags gives an empty string in
//    text columns (STRING, URL, LONG, CHAR) and null in the others; an empty element gives null.
//    A deleted record is moved to the originals list.
// Values that do not convert cleanly are read by the lenient rules of the value conversions;
// they never reject the element.
//
// Returns the dataset's record count, -1 when it does not hold its own columns or memory runs
// out.
int ReadDataset(Kt_Dataset& dataset, const Kt_DOMElem& element, bool clear) noexcept;

// The status a record's "type" attribute gives: by its first letter, D deleted, I inserted,
// U updated, anything else (and no attribute) normal.
std::uint8_t RecordStatusFromType(std::string_view type) noexcept;

// A cell's value from an element of a column: null for an empty element; a non-empty text
// converted by the column type; otherwise an empty string in text columns and null in others.
Kt_Variant CellValueFromText(std::uint16_t columnType, bool emptyElement, Kt_AString text) noexcept;

// Reads the children of a "dataset" element one at a time, in document order, so that a document
// can be read while it is parsed (document_stream_builder.h) as well as from a whole tree.
class Kt_DatasetElementReader {
 public:
  explicit Kt_DatasetElementReader(Kt_Dataset& dataset) noexcept : m_dataset(dataset) {}

  // The id of an element named "dataset", when it has a non-empty one.
  void ReadIdentity(const Kt_DOMElem& element) noexcept;
  // One child: "column", "colinfo" or "record"; others are ignored. False when memory runs out.
  bool ReadChild(const Kt_DOMElem& child) noexcept;

  // A record read piece by piece: BeginRecord appends it with the status of its type (null when
  // memory runs out), AppendOriginal gives it an original, EndRecord moves a deleted record to
  // the originals list.
  Kt_Record* BeginRecord(std::string_view type) noexcept;
  Kt_Record* AppendOriginal() noexcept;
  bool EndRecord() noexcept;

  // Column ids, types and the kind of value each holds, looked up for every cell of every record.
  struct ColumnKey {
    std::string_view id;
    std::uint16_t type;
    Kt_VarKind kind;
  };
  const std::vector<ColumnKey>& Columns() const noexcept {
    if (m_columnsStale) RebuildColumns();
    return m_columns;
  }
  // The column an element name stands for (case-insensitive), or -1; `expected` is tried first.
  int FindColumn(std::string_view name, int expected = -1) const noexcept {
    const std::vector<ColumnKey>& columns = Columns();
    if (expected >= 0 && static_cast<std::size_t>(expected) < columns.size() &&
        XmlNamesEqual(columns[static_cast<std::size_t>(expected)].id, name))
      return expected;
    return FindColumnByScan(name);
  }
 private:
  std::uint16_t ColumnType(int column) const noexcept;
  static void SetCell(Kt_Record& record, int column, Kt_Variant&& value) noexcept;
  bool ReadConstant(const Kt_DOMElem& element) noexcept;
  bool ReadColumn(const Kt_DOMElem& element) noexcept;
  bool ReadRecord(const Kt_DOMElem& element) noexcept;
  void ReadCells(const Kt_DOMElem& element, Kt_Record& record, bool stopAtOtherName) noexcept;
  int FindColumnByScan(std::string_view name) const noexcept;
  // Columns are only added by this reader while a dataset is read: the table is rebuilt after.
  void RebuildColumns() const noexcept;

  Kt_Dataset& m_dataset;
  int m_row = -1;
  mutable std::vector<ColumnKey> m_columns;
  mutable bool m_columnsStale = true;
};

#endif
