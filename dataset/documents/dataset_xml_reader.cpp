#include "dataset/documents/dataset_xml_reader.h"

#include <new>
#include <utility>

#include "dataset/text/base64.h"
#include "dataset/text/codepage.h"
#include "dataset/values/currency.h"
#include "dataset/values/date_value.h"
#include "dataset/documents/document_nodes.h"
#include "dataset/text/number_text.h"
#include "dataset/model/summary_names.h"
#include "dataset/xml/xml_names.h"

using namespace kt_document;

namespace {

constexpr std::uint16_t kSummaryTextBit = 128;
constexpr std::uint16_t kSummaryDefaultBit = 16;
constexpr unsigned kKorean = 0x12;
constexpr unsigned kChinese = 0x04;
constexpr unsigned kJapanese = 0x11;

// The word shown for a subtotal, in the system's language.
const char* SubtotalWord() noexcept {
  const unsigned language = PrimaryLanguage(SystemLanguage());
  if (language == kKorean) return "\xBC\xD2\xB0\xE8";
  if (language == kChinese || language == kJapanese) return "\xE1\xB3\xCD\xAA";
  return "subtotal";
}

// A non-empty text as a value of the given kind.
Kt_Variant ValueFromText(Kt_VarKind kind, Kt_AString text) noexcept {
  switch (kind) {
    case Kt_VarKind::Integer:
      return Kt_Variant::FromInt(TextToInt(text));
    case Kt_VarKind::Decimal:
      return Kt_Variant::FromDouble(TextToDouble(text));
    case Kt_VarKind::Currency:
      return Kt_Variant::FromCurrency(CurrencyFromText(text));
    case Kt_VarKind::Date: {
      double days = 0;
      DateFromText(text, days);  // an invalid text leaves the cleared date 0
      return Kt_Variant::FromDate(days);
    }
    case Kt_VarKind::Blob: {
      Kt_Buffer bytes;
      Base64Decode(text, bytes);
      Kt_Variant value;
      value.SetBytes(bytes);
      return value;
    }
    default:
      return Kt_Variant::FromString(std::move(text));
  }
}

bool IsTextColumn(std::uint16_t type) noexcept { return ColumnValueKind(type) == Kt_VarKind::String; }

}  // namespace

std::uint8_t RecordStatusFromType(std::string_view type) noexcept {
  switch (type.empty() ? '\0' : type[0]) {
    case 'D':
    case 'd':
      return kRecordDeleted;
    case 'I':
    case 'i':
      return kRecordInserted;
    case 'U':
    case 'u':
      return kRecordUpdated;
    default:
      return kRecordNormal;
  }
}

Kt_Variant CellValueFromText(std::uint16_t columnType, bool emptyElement, Kt_AString text) noexcept {
  if (emptyElement) return Kt_Variant();
  if (!text.IsEmpty()) return ValueFromText(ColumnValueKind(columnType), std::move(text));
  return IsTextColumn(columnType) ? Kt_Variant::FromString(std::move(text)) : Kt_Variant();
}

void Kt_DatasetElementReader::ReadIdentity(const Kt_DOMElem& element) noexcept {
  if (!XmlNamesEqual(element.NameView(), View(kDataset))) return;
  const Kt_AString* id = element.FindAttribute(View(kId));
  if (id && !id->IsEmpty()) m_dataset.SetId(*id);
}

bool Kt_DatasetElementReader::ReadChild(const Kt_DOMElem& child) noexcept {
  const std::string_view name = child.NameView();
  if (XmlNamesEqual(name, View(kRecord))) return ReadRecord(child);
  if (XmlNamesEqual(name, View(kColInfo))) return ReadColumn(child);
  if (XmlNamesEqual(name, View(kColumn))) return ReadConstant(child);
  return true;
}

bool Kt_DatasetElementReader::ReadConstant(const Kt_DOMElem& element) noexcept {
  const Kt_VarKind kind = TypeFromName(element.GetAttribute(View(kType)).c_str());
  const Kt_DOMElem* first = element.ChildAt(0);
  const Kt_AString& text = (element.Kind() == NodeTextElement || element.Kind() == NodeCDataElement || !first)
                               ? element.Text()
                               : first->Text();
  const Kt_Variant value = text.IsEmpty() ? Kt_Variant() : ValueFromText(kind, text);
  return m_dataset.SetConstant(element.GetAttribute(View(kId)), value) >= 0;
}

bool Kt_DatasetElementReader::ReadColumn(const Kt_DOMElem& element) noexcept {
  const Kt_AString id = element.GetAttribute(View(kId));
  const Kt_ColType type = ColumnTypeFromName(element.GetAttribute(View(kType)).c_str());
  const Kt_AString* sizeText = element.FindAttribute(View(kSize));
  const auto size = static_cast<std::uint16_t>(sizeText ? TextToInt(*sizeText) : kDefaultColumnSize);
  const Kt_AString summ = element.GetAttribute(View(kSumm));
  const std::uint16_t summary = SummaryFromText(View(summ));
  const auto flags = static_cast<std::uint16_t>(kColumnFromDocument | summary);

  const bool exists = FindColumn(View(id)) >= 0 || m_dataset.ColumnIndex(id.c_str()) >= 0;
  if (exists) return true;
  m_columnsStale = true;
  const int index = m_dataset.IsGrouped()
                        ? m_dataset.AddGroupedColumn(id, type, size, flags, element.GetAttribute(View(kBindCol)),
                                                     summary ? summary : static_cast<std::uint16_t>(kSummaryDefault))
                        : m_dataset.AddColumn(id, type, size, flags, element.GetAttribute(View(kMapValue)));
  Kt_ColInfo* column = m_dataset.GetColInfo(index);
  if (!column) return false;
  if ((flags & kSummaryTextBit) && (flags & kSummaryDefaultBit)) {
    column->summaryText = summ.Mid(5);
  } else if (flags & kSummaryDefaultBit) {
    column->summaryText = SubtotalWord();
  }
  return true;
}

void Kt_DatasetElementReader::RebuildColumns() const noexcept {
  m_columns.clear();
  const int count = m_dataset.ColumnCount();
  try {
    m_columns.reserve(static_cast<std::size_t>(count > 0 ? count : 0));
  } catch (const std::bad_alloc&) {
    return;  // stays stale and empty: every name is then looked up as unknown
  }
  for (int c = 0; c < count; ++c) {
    const Kt_ColInfo* info = m_dataset.GetColInfo(c);
    m_columns.push_back(ColumnKey{View(info->id), info->type, ColumnValueKind(info->type)});
  }
  m_columnsStale = false;
}

int Kt_DatasetElementReader::FindColumnByScan(std::string_view name) const noexcept {
  const std::vector<ColumnKey>& columns = Columns();
  for (std::size_t c = 0; c < columns.size(); ++c) {
    if (XmlNamesEqual(columns[c].id, name)) return static_cast<int>(c);
  }
  return -1;
}

std::uint16_t Kt_DatasetElementReader::ColumnType(int column) const noexcept {
  const std::vector<ColumnKey>& columns = Columns();
  return column >= 0 && static_cast<std::size_t>(column) < columns.size() ? columns[static_cast<std::size_t>(column)].type
                                                                          : static_cast<std::uint16_t>(Kt_ColType::String);
}

bool Kt_DatasetElementReader::ReadRecord(const Kt_DOMElem& element) noexcept {
  const Kt_AString* type = element.FindAttribute(View(kType));
  Kt_Record* record = BeginRecord(type ? View(*type) : std::string_view());
  if (!record) return false;
  if (record->status == kRecordUpdated) {
    if (const Kt_DOMElem* originalElement = element.FindChild(View(kOrgRecord))) {
      Kt_Record* original = AppendOriginal();
      if (!original) return false;
      ReadCells(*originalElement, *original, true);
    }
  }
  ReadCells(element, *record, false);
  return EndRecord();
}

Kt_Record* Kt_DatasetElementReader::BeginRecord(std::string_view type) noexcept {
  m_row = m_dataset.AppendRecord(false);
  Kt_Record* record = m_dataset.GetRecord(m_row);
  if (record) record->status = RecordStatusFromType(type);
  return record;
}

Kt_Record* Kt_DatasetElementReader::AppendOriginal() noexcept {
  return m_dataset.GetOriginal(m_dataset.AppendOriginalOf(m_row));
}

bool Kt_DatasetElementReader::EndRecord() noexcept {
  const Kt_Record* record = m_dataset.GetRecord(m_row);
  return !record || record->status != kRecordDeleted || m_dataset.MoveRecordToOriginals(m_row);
}

void Kt_DatasetElementReader::ReadCells(const Kt_DOMElem& element, Kt_Record& record, bool stopAtOtherName) noexcept {
  for (std::size_t i = 0; i < element.ChildCount(); ++i) {
    const Kt_DOMElem& cell = *element.ChildAt(i);
    const int column = FindColumn(cell.NameView(), static_cast<int>(i));
    if (column < 0) {
      if (stopAtOtherName) return;
      continue;
    }
    SetCell(record, column, CellValueFromText(ColumnType(column), cell.Kind() == NodeEmptyElement, ElementValueText(cell)));
  }
}

void Kt_DatasetElementReader::SetCell(Kt_Record& record, int column, Kt_Variant&& value) noexcept {
  const auto index = static_cast<std::size_t>(column);
  if (index < record.cells.size()) record.cells[index] = std::move(value);
}

int ReadDataset(Kt_Dataset& dataset, const Kt_DOMElem& element, bool clear) noexcept {
  if (!dataset.HoldsOwnColumns()) return -1;
  if (clear) dataset.Clear();
  Kt_DatasetElementReader reader(dataset);
  reader.ReadIdentity(element);
  for (std::size_t i = 0; i < element.ChildCount(); ++i) {
    if (!reader.ReadChild(*element.ChildAt(i))) return -1;
  }
  return dataset.RecordCount();
}
