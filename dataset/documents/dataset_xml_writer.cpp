#include "dataset/documents/dataset_xml_writer.h"

#include <new>

#include "dataset/text/base64.h"
#include "dataset/documents/document_nodes.h"
#include "dataset/text/number_text.h"
#include "dataset/model/summary_names.h"

using namespace kt_document;

namespace {

class DatasetElementBuilder {
 public:
  explicit DatasetElementBuilder(const Kt_Dataset& dataset) noexcept : m_dataset(dataset) {}

  // Builds the whole element; null when memory runs out.
  Kt_DOMElem* Build(int selection) noexcept {
    auto* element = new (std::nothrow) Kt_DOMElem(NodeElement, kDataset);
    if (!element) return nullptr;
    if (!AddNonEmptyAttribute(*element, kId, m_dataset.Id()) || !AddConstants(*element) || !AddColumns(*element) ||
        !AddRecords(*element, selection)) {
      delete element;
      return nullptr;
    }
    return element;
  }

  int RecordsWritten() const noexcept { return m_records; }

 private:
  bool AddConstants(Kt_DOMElem& element) noexcept {
    const Kt_ParamList& constants = m_dataset.Constants();
    for (int i = 0; i < constants.Count(); ++i) {
      const Kt_Variable* constant = constants.At(i);
      if (!constant) continue;
      Kt_DOMElem* column = element.AddChild(NodeElement, kColumn);
      const bool isBlob = constant->value.Kind() == Kt_VarKind::Blob;
      if (!column || !AddNonEmptyAttribute(*column, kId, constant->name) ||
          !column->AddAttribute(kType, TypeName(constant->value.Kind())) ||
          (isBlob && !column->AddAttribute(kEncrypt, kBase64))) {
        return false;
      }
      const Kt_AString text = isBlob ? Base64Encode(constant->value.BytesValue()) : DocumentValueText(constant->value);
      if (text.IsEmpty()) continue;
      Kt_DOMElem* child = column->AddChild(NodeText);
      if (!child) return false;
      child->SetText(text);
    }
    return true;
  }

  bool AddColumns(Kt_DOMElem& element) noexcept {
    const bool grouped = m_dataset.IsGrouped();
    for (int i = 0; i < m_dataset.ColumnCount(); ++i) {
      const Kt_ColInfo* info = m_dataset.GetColInfo(i);
      if (!info) continue;
      Kt_DOMElem* column = element.AddChild(NodeEmptyElement, kColInfo);
      if (!column || !AddNonEmptyAttribute(*column, kId, info->id) || !column->AddAttribute(kSize, IntToText(info->size)) ||
          !column->AddAttribute(kType, ColumnTypeName(info->type)) ||
          !AddNonEmptyAttribute(*column, kMapValue, info->mapValue) ||
          (info->type == static_cast<std::uint16_t>(Kt_ColType::Blob) && !column->AddAttribute(kEncrypt, kBase64))) {
        return false;
      }
      const std::uint16_t summary = grouped ? info->summaryKind : static_cast<std::uint16_t>(info->summaryFlags & kSummaryMask);
      if (const char* word = SummaryWord(summary)) {
        Kt_AString text(word);
        if (!text.Append(':') || !text.Append(info->summaryText) || !column->AddAttribute(kSumm, text)) return false;
      }
      if (grouped && !AddNonEmptyAttribute(*column, kBindCol, info->bindColumn)) return false;
    }
    return true;
  }

  bool AddRecords(Kt_DOMElem& element, int selection) noexcept {
    const int count = m_dataset.RecordCount();
    for (int row = 0; row < count; ++row) {
      const Kt_Record* record = m_dataset.GetRecord(row);
      if (!record) {
        if (selection != kSelectChangesOnly && !AddRecord(element, nullptr, nullptr)) return false;
        continue;
      }
      if (selection == kSelectAllRecords) {
        if (!AddRecord(element, record, nullptr)) return false;
        continue;
      }
      if (record->status == kRecordDeleted) continue;
      const char* type = record->status == kRecordInserted  ? "insert"
                         : record->status == kRecordUpdated ? "update"
                                                            : nullptr;
      if (selection == kSelectChangesOnly && !type) continue;
      if (!AddRecord(element, record, type)) return false;
    }
    return selection == kSelectAllRecords || AddDeletedRecords(element);
  }

  bool AddDeletedRecords(Kt_DOMElem& element) noexcept {
    if (m_dataset.OriginalCount() > 0) {
      for (int i = 0; i < m_dataset.OriginalCount(); ++i) {
        const Kt_Record* original = m_dataset.GetOriginal(i);
        if (original && original->status == kRecordDeleted && !AddRecord(element, original, "delete")) return false;
      }
    } else if (!m_dataset.ChangeTracking()) {
      for (int row = 0; row < m_dataset.RecordCount(); ++row) {
        const Kt_Record* record = m_dataset.GetRecord(row);
        if (record && record->status == kRecordDeleted && !AddRecord(element, record, "delete")) return false;
      }
    }
    return true;
  }

  // A record element; a missing record is an empty one.
  bool AddRecord(Kt_DOMElem& element, const Kt_Record* record, const char* type) noexcept {
    Kt_DOMElem* node = element.AddChild(record ? NodeElement : NodeEmptyElement, kRecord);
    if (!node) return false;
    ++m_records;
    if (!record) return true;
    if (type && !node->AddAttribute(kType, type)) return false;
    if (!AddValues(*node, *record)) return false;
    if (record->status != kRecordUpdated || !type) return true;
    const Kt_Record* original = m_dataset.GetOriginal(record->link);
    if (!original) return true;
    Kt_DOMElem* originalNode = node->AddChild(NodeElement, kOrgRecord);
    return originalNode && AddValues(*originalNode, *original);
  }

  bool AddValues(Kt_DOMElem& node, const Kt_Record& record) noexcept {
    for (int c = 0; c < m_dataset.ColumnCount(); ++c) {
      const Kt_ColInfo* info = m_dataset.GetColInfo(c);
      if (!info) continue;
      const auto index = static_cast<std::size_t>(c);
      const Kt_Variant& value = index < record.cells.size() ? record.cells[index] : Kt_Variant::Null();
      if (!AddValue(node, *info, value)) return false;
    }
    return true;
  }

  static bool AddValue(Kt_DOMElem& node, const Kt_ColInfo& info, const Kt_Variant& value) noexcept {
    if (value.IsNull()) return node.AddChild(NodeEmptyElement, info.id) != nullptr;
    if (value.Kind() == Kt_VarKind::String && value.StringValue().IsEmpty()) {
      return node.AddChild(NodeElement, info.id) != nullptr;
    }
    Kt_DOMElem* cell = node.AddChild(NodeTextElement, info.id);
    if (!cell) return false;
    if (info.type == static_cast<std::uint16_t>(Kt_ColType::Blob)) {
      cell->SetText(value.Kind() == Kt_VarKind::Blob ? Base64Encode(value.BytesValue()) : Base64Encode(TextBytes(value)));
    } else if (value.Kind() == Kt_VarKind::String) {
      cell->SetText(value.StringValue());
    } else {
      cell->SetText(DocumentValueText(value));
    }
    return true;
  }

  static Kt_Buffer TextBytes(const Kt_Variant& value) noexcept {
    const Kt_AString text = value.ToString();
    return Kt_Buffer(text.c_str(), text.Length());
  }

  const Kt_Dataset& m_dataset;
  int m_records = 0;
};

}  // namespace

int WriteDataset(const Kt_Dataset& dataset, Kt_DOMParent parent, bool withDeclaration, int selection) noexcept {
  if (!dataset.HoldsOwnColumns()) return -1;
  if (selection != kSelectAllRecords && selection != kSelectRecordsAndChanges && selection != kSelectChangesOnly) {
    return -1;
  }
  if (withDeclaration && !AppendDeclaration(parent, dataset.CodePage())) return -1;
  DatasetElementBuilder builder(dataset);
  Kt_DOMElem* element = builder.Build(selection);
  if (!element || !parent.Append(element)) return -1;
  return builder.RecordsWritten();
}
