#pragma once
// Reading list rows into items and writing items back as rows.
#include "engine/core/component_item.h"
#include "engine/core/item_classification.h"
#include "engine/core/list_columns.h"

class Kt_Dataset;
struct Kt_Record;

namespace kt::engine {

// Reads the rows of one dataset with one default item; the columns are looked up once.
class ItemReader {
 public:
  ItemReader(const Kt_Dataset& list, const ComponentItem& defaults);

  // Every field from its cell, or from the default item when the cell is missing or empty; an
  // empty DEVICE cell gives the default item's kind. The action code and plain-target flag are
  // then derived (DeriveAction).
  ComponentItem Read(int row) const;
  // The row's key (see ItemKey), reading only the cells it depends on. Borrowed from the cell or
  // the default item; the text of a cell that holds no string is converted into `converted`.
  const Kt_AString& Key(int row, bool configurationList, Kt_AString& converted) const;
  // Only what classifying a server item needs of its local record (STATUS, VERSION, FILENAME),
  // borrowed in the same way; `converted` holds the texts of cells that hold no string.
  LocalRecord ReadRecordFields(int row, ComponentItem& converted) const;
  // The row's STATUS, or the default's when the cell is empty.
  Kt_AString Status(int row) const;

 private:
  // The cell's text into `field`, or `fallback` when the cell is missing or empty.
  static void Take(const Kt_Record* record, int column, const Kt_AString& fallback, Kt_AString& field);
  // The same text without a copy: the cell's own string, `fallback`, or the text of a cell that
  // holds no string converted into `converted`.
  static const Kt_AString& Borrow(const Kt_Record* record, int column, const Kt_AString& fallback,
                                  Kt_AString& converted);

  const Kt_Dataset& list_;
  const ComponentItem& defaults_;
  ListColumns columns_;
};

// Appends items to a working list (see PrepareWorkingList) with one default item.
class ItemWriter {
 public:
  ItemWriter(Kt_Dataset& list, const ComponentItem& defaults);

  // Appends a row holding only what differs from the default item: DEVICE ("CE" or "WIN32")
  // when the kind differs, every text field when it differs exactly (FILENAME only when the
  // list has that column). Cells equal to the default stay empty. False when the row could not
  // be appended. The rvalue form moves the item's texts into the cells.
  bool Write(const ComponentItem& item);
  bool Write(ComponentItem&& item);

 private:
  // `record` is the appended row's record when cells take their text as it is, else null.
  void Store(Kt_Record* record, int row, int column, Kt_AString&& value);
  void SetIfDifferent(Kt_Record* record, int row, int column, Kt_AString& value, const Kt_AString& fallback);

  Kt_Dataset& list_;
  const ComponentItem& defaults_;
  ListColumns columns_;
  bool direct_;  // cells take their text as it is (see StoresTextDirectly)
};

// One row, read with its own column lookup.
ComponentItem ReadItem(const Kt_Dataset& list, int row, const ComponentItem& defaults);
// One item appended with its own column lookup.
bool WriteItem(Kt_Dataset& list, const ComponentItem& item, const ComponentItem& defaults);

}  // namespace kt::engine
