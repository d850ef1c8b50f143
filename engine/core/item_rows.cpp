#include "engine/core/item_rows.h"

#include "dataset/dataset.h"

namespace kt::engine {

ItemReader::ItemReader(const Kt_Dataset& list, const ComponentItem& defaults)
    : list_(list), defaults_(defaults), columns_(list) {}

void ItemReader::Take(int row, int column, const Kt_AString& fallback, Kt_AString& field) const {
  const Kt_Variant* cell = column >= 0 ? list_.GetCell(row, column) : nullptr;
  if (cell && cell->Kind() == Kt_VarKind::String) {
    // String cells share their characters: no copy of the text is made.
    const Kt_AString& text = cell->StringValue();
    field = text.IsEmpty() ? fallback : text;
    return;
  }
  if (cell && !cell->IsNull()) {
    field = cell->ToString();
    if (!field.IsEmpty()) return;
  }
  field = fallback;
}

ComponentItem ItemReader::Read(int row) const {
  ComponentItem item;
  Kt_AString device;
  Take(row, columns_.device, Kt_AString(), device);
  item.device = DeviceKindOf(device, defaults_.device);
  Take(row, columns_.fileName, defaults_.fileName, item.fileName);
  Take(row, columns_.source, defaults_.source, item.source);
  Take(row, columns_.target, defaults_.target, item.target);
  Take(row, columns_.version, defaults_.version, item.version);
  Take(row, columns_.status, defaults_.status, item.status);
  Take(row, columns_.action, defaults_.action, item.action);
  Take(row, columns_.argument, defaults_.argument, item.argument);
  Take(row, columns_.oldVersion, defaults_.oldVersion, item.oldVersion);
  Take(row, columns_.patchFileName, defaults_.patchFileName, item.patchFileName);
  Take(row, columns_.uacFix, defaults_.uacFix, item.uacFix);
  DeriveAction(item);
  return item;
}

ComponentItem ItemReader::ReadKeyFields(int row) const {
  ComponentItem item;
  Take(row, columns_.action, defaults_.action, item.action);
  Take(row, columns_.target, defaults_.target, item.target);
  Take(row, columns_.fileName, defaults_.fileName, item.fileName);
  Take(row, columns_.source, defaults_.source, item.source);
  DeriveAction(item);
  return item;
}

ComponentItem ItemReader::ReadRecordFields(int row) const {
  ComponentItem item;
  Take(row, columns_.status, defaults_.status, item.status);
  Take(row, columns_.version, defaults_.version, item.version);
  Take(row, columns_.fileName, defaults_.fileName, item.fileName);
  return item;
}

Kt_AString ItemReader::Status(int row) const {
  Kt_AString status;
  Take(row, columns_.status, defaults_.status, status);
  return status;
}

ItemWriter::ItemWriter(Kt_Dataset& list, const ComponentItem& defaults)
    : list_(list), defaults_(defaults), columns_(list) {}

void ItemWriter::SetIfDifferent(int row, int column, const Kt_AString& value, const Kt_AString& fallback) {
  if (column >= 0 && value.Compare(fallback) != 0) list_.SetCellText(row, column, value);
}

bool ItemWriter::Write(const ComponentItem& item) {
  const int row = list_.AppendRecord(false);
  if (row < 0) return false;
  if (item.device != defaults_.device && columns_.device >= 0) {
    list_.SetCellText(row, columns_.device, item.device != kDevicePc ? "CE" : "WIN32");
  }
  SetIfDifferent(row, columns_.fileName, item.fileName, defaults_.fileName);
  SetIfDifferent(row, columns_.source, item.source, defaults_.source);
  SetIfDifferent(row, columns_.target, item.target, defaults_.target);
  SetIfDifferent(row, columns_.version, item.version, defaults_.version);
  SetIfDifferent(row, columns_.status, item.status, defaults_.status);
  SetIfDifferent(row, columns_.action, item.action, defaults_.action);
  SetIfDifferent(row, columns_.argument, item.argument, defaults_.argument);
  SetIfDifferent(row, columns_.oldVersion, item.oldVersion, defaults_.oldVersion);
  SetIfDifferent(row, columns_.patchFileName, item.patchFileName, defaults_.patchFileName);
  SetIfDifferent(row, columns_.uacFix, item.uacFix, defaults_.uacFix);
  return true;
}

ComponentItem ReadItem(const Kt_Dataset& list, int row, const ComponentItem& defaults) {
  return ItemReader(list, defaults).Read(row);
}

bool WriteItem(Kt_Dataset& list, const ComponentItem& item, const ComponentItem& defaults) {
  return ItemWriter(list, defaults).Write(item);
}

}  // namespace kt::engine
