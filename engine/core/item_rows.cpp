#include "engine/core/item_rows.h"

#include <cstring>
#include <utility>

#include "dataset/model/dataset.h"

namespace kt::engine {

ItemReader::ItemReader(const Kt_Dataset& list, const ComponentItem& defaults)
    : list_(list), defaults_(defaults), columns_(list) {}

const Kt_AString& ItemReader::Borrow(const Kt_Record* record, int column, const Kt_AString& fallback,
                                     Kt_AString& converted) {
  const Kt_Variant* cell = record && column >= 0 && static_cast<std::size_t>(column) < record->cells.size()
                               ? &record->cells[static_cast<std::size_t>(column)]
                               : nullptr;
  if (cell && cell->Kind() == Kt_VarKind::String) {
    const Kt_AString& text = cell->StringValue();
    return text.IsEmpty() ? fallback : text;
  }
  if (cell && !cell->IsNull()) {
    converted = cell->ToString();
    if (!converted.IsEmpty()) return converted;
  }
  return fallback;
}

void ItemReader::Take(const Kt_Record* record, int column, const Kt_AString& fallback, Kt_AString& field) {
  // String cells share their characters: no copy of the text is made.
  const Kt_AString& text = Borrow(record, column, fallback, field);
  if (&text != &field) field = text;
}

ComponentItem ItemReader::Read(int row) const {
  const Kt_Record* record = list_.GetRecord(row);
  ComponentItem item;
  Kt_AString device;
  Take(record, columns_.device, Kt_AString(), device);
  item.device = DeviceKindOf(device, defaults_.device);
  Take(record, columns_.fileName, defaults_.fileName, item.fileName);
  Take(record, columns_.source, defaults_.source, item.source);
  Take(record, columns_.target, defaults_.target, item.target);
  Take(record, columns_.version, defaults_.version, item.version);
  Take(record, columns_.status, defaults_.status, item.status);
  Take(record, columns_.action, defaults_.action, item.action);
  Take(record, columns_.argument, defaults_.argument, item.argument);
  Take(record, columns_.oldVersion, defaults_.oldVersion, item.oldVersion);
  Take(record, columns_.patchFileName, defaults_.patchFileName, item.patchFileName);
  Take(record, columns_.uacFix, defaults_.uacFix, item.uacFix);
  DeriveAction(item);
  return item;
}

const Kt_AString& ItemReader::Key(int row, bool configurationList, Kt_AString& converted) const {
  const Kt_Record* record = list_.GetRecord(row);
  if (configurationList) return Borrow(record, columns_.source, defaults_.source, converted);
  Kt_AString convertedAction;
  const Kt_AString& action = Borrow(record, columns_.action, defaults_.action, convertedAction);
  if (IsInstallerAction(ActionOf(std::string_view(action.c_str(), action.Length())))) {
    return Borrow(record, columns_.target, defaults_.target, converted);
  }
  return Borrow(record, columns_.fileName, defaults_.fileName, converted);
}

LocalRecord ItemReader::ReadRecordFields(int row, ComponentItem& converted) const {
  const Kt_Record* record = list_.GetRecord(row);
  return {Borrow(record, columns_.status, defaults_.status, converted.status),
          Borrow(record, columns_.version, defaults_.version, converted.version),
          Borrow(record, columns_.fileName, defaults_.fileName, converted.fileName)};
}

Kt_AString ItemReader::Status(int row) const {
  const Kt_Record* record = list_.GetRecord(row);
  Kt_AString status;
  Take(record, columns_.status, defaults_.status, status);
  return status;
}

namespace {

// A list whose cells can take a text as it is: it tracks no changes and all its columns hold
// strings, so SetCellText would store the same value after its conversions.
bool StoresTextDirectly(const Kt_Dataset& list) {
  if (list.ChangeTracking()) return false;
  for (int column = 0; column < list.ColumnCount(); ++column) {
    if (list.GetColInfo(column)->type != static_cast<std::uint16_t>(Kt_ColType::String)) return false;
  }
  return true;
}

}  // namespace

ItemWriter::ItemWriter(Kt_Dataset& list, const ComponentItem& defaults)
    : list_(list), defaults_(defaults), columns_(list), direct_(StoresTextDirectly(list)) {}

void ItemWriter::Store(Kt_Record* record, int row, int column, Kt_AString&& value) {
  if (record && static_cast<std::size_t>(column) < record->cells.size()) {
    record->cells[static_cast<std::size_t>(column)].SetString(std::move(value));
  } else {
    list_.SetCellText(row, column, value);
  }
}

namespace {

// Exactly the same bytes, as Kt_AString::Compare finds them; shared texts are not read.
bool SameText(const Kt_AString& a, const Kt_AString& b) {
  return a.Length() == b.Length() && (a.c_str() == b.c_str() || std::memcmp(a.c_str(), b.c_str(), a.Length()) == 0);
}

}  // namespace

void ItemWriter::SetIfDifferent(Kt_Record* record, int row, int column, Kt_AString& value,
                                const Kt_AString& fallback) {
  if (column >= 0 && !SameText(value, fallback)) Store(record, row, column, std::move(value));
}

bool ItemWriter::Write(const ComponentItem& item) {
  ComponentItem copy(item);
  return Write(std::move(copy));
}

bool ItemWriter::Write(ComponentItem&& item) {
  const int row = list_.AppendRecord(false);
  if (row < 0) return false;
  Kt_Record* record = direct_ ? list_.GetRecord(row) : nullptr;
  if (item.device != defaults_.device && columns_.device >= 0) {
    // Shared texts: no allocation per row.
    static const Kt_AString kCeDevice("CE");
    static const Kt_AString kPcDevice("WIN32");
    Store(record, row, columns_.device, Kt_AString(item.device != kDevicePc ? kCeDevice : kPcDevice));
  }
  SetIfDifferent(record, row, columns_.fileName, item.fileName, defaults_.fileName);
  SetIfDifferent(record, row, columns_.source, item.source, defaults_.source);
  SetIfDifferent(record, row, columns_.target, item.target, defaults_.target);
  SetIfDifferent(record, row, columns_.version, item.version, defaults_.version);
  SetIfDifferent(record, row, columns_.status, item.status, defaults_.status);
  SetIfDifferent(record, row, columns_.action, item.action, defaults_.action);
  SetIfDifferent(record, row, columns_.argument, item.argument, defaults_.argument);
  SetIfDifferent(record, row, columns_.oldVersion, item.oldVersion, defaults_.oldVersion);
  SetIfDifferent(record, row, columns_.patchFileName, item.patchFileName, defaults_.patchFileName);
  SetIfDifferent(record, row, columns_.uacFix, item.uacFix, defaults_.uacFix);
  return true;
}

ComponentItem ReadItem(const Kt_Dataset& list, int row, const ComponentItem& defaults) {
  return ItemReader(list, defaults).Read(row);
}

bool WriteItem(Kt_Dataset& list, const ComponentItem& item, const ComponentItem& defaults) {
  return ItemWriter(list, defaults).Write(item);
}

}  // namespace kt::engine
