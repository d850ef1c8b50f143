#include "dataset/document_stream_builder.h"

#include <cstring>
#include <new>
#include <utility>

#include "dataset/document_nodes.h"
#include "dataset/xml_attributes.h"
#include "dataset/xml_escape.h"
#include "dataset/xml_names.h"

using namespace kt_document;

namespace {

// A cheap hash of a short value from its length and its first and last (up to) eight bytes,
// where the values of a list differ (a counter, a file name's number, a version's last part).
std::uint32_t HashOf(std::string_view text) noexcept {
  std::uint64_t head = 0;
  std::uint64_t tail = 0;
  const std::size_t part = text.size() < 8 ? text.size() : 8;
  std::memcpy(&head, text.data(), part);
  std::memcpy(&tail, text.data() + text.size() - part, part);
  std::uint64_t mixed = (head * 0x9E3779B97F4A7C15ull) ^ (tail + text.size()) * 0xC2B2AE3D27D4EB4Full;
  return static_cast<std::uint32_t>(mixed >> 32);
}

bool HasTextOwnContent(NodeKind kind) noexcept { return kind == NodeTextElement || kind == NodeCDataElement; }

}  // namespace

Kt_DocumentStreamBuilder::Kt_DocumentStreamBuilder(Kt_DOMDocument& document, Kt_DatasetList& datasets) noexcept
    : Kt_XmlDOMCtxHandler(document), m_document(document), m_datasets(datasets) {}

Kt_DocumentStreamBuilder::~Kt_DocumentStreamBuilder() = default;

// The node the tree builder appended last at the current level.
Kt_DOMElem* Kt_DocumentStreamBuilder::LastNode() const noexcept {
  if (m_depth == 0) return m_document.Nodes().At(m_document.Nodes().Count() - 1);
  const Kt_DOMElem* parent = m_open[m_depth - 1].node;
  return parent->ChildAt(parent->ChildCount() - 1);
}

bool Kt_DocumentStreamBuilder::StartDataset(const Kt_DOMElem& element) noexcept {
  auto* dataset = static_cast<Kt_Dataset*>(m_datasets.AppendNew());
  if (!dataset) return false;
  m_reader.emplace(*dataset);
  m_reader->ReadIdentity(element);
  return true;
}

// A completed child of a dataset is read and then dropped with its siblings (text between the
// children, which reading ignores).
bool Kt_DocumentStreamBuilder::ReadDatasetChild(Kt_DOMElem& child) noexcept {
  if (!m_reader->ReadChild(child)) return false;
  m_open[m_depth - 1].node->ClearChildren();
  return true;
}

Kt_SAXCtxHandler::Content Kt_DocumentStreamBuilder::OnStartElement(std::string_view name,
                                                                   std::string_view attributeText) {
  if (!m_record.empty()) {
    const int node = AddRecordNode(NodeElement, name, attributeText);
    if (node < 0) return Content::Stop;
    m_current = node;
    return Content::Parse;
  }
  const Role parentRole = m_depth ? m_open[m_depth - 1].role : Role::Other;
  if (parentRole == Role::Dataset && XmlNamesEqual(name, View(kRecord))) {
    return BeginRecord(NodeElement, name, attributeText) ? Content::Parse : Content::Stop;
  }
  const Content content = Kt_XmlDOMCtxHandler::OnStartElement(name, attributeText);
  if (content == Content::Stop) return content;
  Kt_DOMElem* node = LastNode();
  Role role = Role::Other;
  if (m_depth == 0 && XmlNamesEqual(name, View(kRoot)) && m_document.FindNode(View(kRoot)) == node) {
    role = Role::Root;
  } else if (parentRole == Role::Root && XmlNamesEqual(name, View(kDataset))) {
    if (!StartDataset(*node)) return Content::Stop;
    role = Role::Dataset;
  } else if (parentRole == Role::Dataset) {
    role = Role::DatasetChild;
  }
  m_open[m_depth++] = Open{node, role};
  return content;
}

bool Kt_DocumentStreamBuilder::OnEmptyElement(std::string_view name, std::string_view attributeText) {
  if (!m_record.empty()) return AddRecordNode(NodeEmptyElement, name, attributeText) >= 0;
  const Role parentRole = m_depth ? m_open[m_depth - 1].role : Role::Other;
  if (parentRole == Role::Dataset && XmlNamesEqual(name, View(kRecord))) {
    return BeginRecord(NodeEmptyElement, name, attributeText) && FinishRecord();
  }
  if (!Kt_XmlDOMCtxHandler::OnEmptyElement(name, attributeText)) return false;
  if (parentRole == Role::Root && XmlNamesEqual(name, View(kDataset))) return StartDataset(*LastNode());
  if (parentRole == Role::Dataset) return ReadDatasetChild(*LastNode());
  return true;
}

bool Kt_DocumentStreamBuilder::OnEndElement(std::string_view name) {
  if (!m_record.empty()) {
    m_current = m_record[static_cast<std::size_t>(m_current)].parent;
    return m_current >= 0 || FinishRecord();
  }
  if (m_depth == 0 || !Kt_XmlDOMCtxHandler::OnEndElement(name)) return false;
  const Open closed = m_open[--m_depth];
  return closed.role != Role::DatasetChild || ReadDatasetChild(*closed.node);
}

bool Kt_DocumentStreamBuilder::OnDeclaration(std::string_view name, std::string_view attributeText) {
  if (!m_record.empty()) return AddRecordNode(NodeDeclaration, name, attributeText) >= 0;
  return Kt_XmlDOMCtxHandler::OnDeclaration(name, attributeText);
}

bool Kt_DocumentStreamBuilder::OnMarkupDeclaration(std::string_view name, std::string_view raw) {
  if (m_record.empty()) return Kt_XmlDOMCtxHandler::OnMarkupDeclaration(name, raw);
  const int node = AddRecordNode(NodeMarkup, name, std::string_view());
  if (node < 0) return false;
  m_record[static_cast<std::size_t>(node)].text = raw;
  m_record[static_cast<std::size_t>(node)].rawText = true;
  return true;
}

bool Kt_DocumentStreamBuilder::OnWhitespace(std::string_view text) {
  return !m_record.empty() || Kt_XmlDOMCtxHandler::OnWhitespace(text);
}

bool Kt_DocumentStreamBuilder::OnComment(std::string_view text) {
  return !m_record.empty() || Kt_XmlDOMCtxHandler::OnComment(text);
}

bool Kt_DocumentStreamBuilder::OnCharacterData(std::string_view text) {
  return m_record.empty() ? Kt_XmlDOMCtxHandler::OnCharacterData(text) : AddRecordText(text, false);
}

bool Kt_DocumentStreamBuilder::OnCData(std::string_view text) {
  return m_record.empty() ? Kt_XmlDOMCtxHandler::OnCData(text) : AddRecordText(text, true);
}

bool Kt_DocumentStreamBuilder::BeginRecord(NodeKind kind, std::string_view name, std::string_view attributes) noexcept {
  m_current = -1;
  m_current = AddRecordNode(kind, name, attributes);
  return m_current == 0;
}

// Appends a node to the innermost open node of the record, moving that node's own text into a
// first child when it has one, as the tree builder does.
int Kt_DocumentStreamBuilder::AddRecordNode(NodeKind kind, std::string_view name, std::string_view attributes) noexcept {
  try {
    const int parent = m_current;
    if (parent >= 0 && HasTextOwnContent(m_record[static_cast<std::size_t>(parent)].kind)) {
      RecordNode& owner = m_record[static_cast<std::size_t>(parent)];
      const RecordNode moved{owner.kind == NodeTextElement ? NodeText : NodeCData, {}, {}, owner.text, owner.rawText,
                             parent, 0, -1};
      owner.kind = NodeElement;
      owner.text = std::string_view();
      m_record.push_back(moved);
      m_record[static_cast<std::size_t>(parent)].childCount = 1;
      m_record[static_cast<std::size_t>(parent)].lastChild = static_cast<int>(m_record.size() - 1);
    }
    m_record.push_back(RecordNode{kind, name, attributes, {}, false, parent, 0, -1});
    const int index = static_cast<int>(m_record.size() - 1);
    if (parent >= 0) {
      ++m_record[static_cast<std::size_t>(parent)].childCount;
      m_record[static_cast<std::size_t>(parent)].lastChild = index;
    }
    return index;
  } catch (const std::bad_alloc&) {
    m_record.clear();
    return -1;
  }
}

bool Kt_DocumentStreamBuilder::AddRecordText(std::string_view text, bool raw) noexcept {
  RecordNode& owner = m_record[static_cast<std::size_t>(m_current)];
  if (owner.kind == NodeElement && owner.childCount == 0) {
    owner.kind = raw ? NodeCDataElement : NodeTextElement;
    owner.text = text;
    owner.rawText = raw;
    return true;
  }
  const int saved = m_current;
  const int node = AddRecordNode(raw ? NodeCData : NodeText, std::string_view(), std::string_view());
  if (node < 0) return false;
  m_record[static_cast<std::size_t>(node)].text = text;
  m_record[static_cast<std::size_t>(node)].rawText = raw;
  m_current = saved;
  return true;
}

// The unescaped value of the record's first "type" attribute, empty without one.
std::string_view Kt_DocumentStreamBuilder::RecordType() noexcept {
  Kt_XmlAttributeReader reader(m_record[0].attributes);
  std::string_view name;
  std::string_view value;
  Kt_AString unescapedName;
  while (reader.Next(name, value) == Kt_XmlAttributeReader::Pair) {
    if (std::memchr(name.data(), '&', name.size()) && AssignUnescaped(unescapedName, name)) name = View(unescapedName);
    if (!XmlNamesEqual(name, View(kType))) continue;
    if (!AssignUnescaped(m_type, value)) return std::string_view();
    return View(m_type);
  }
  return std::string_view();
}

bool Kt_DocumentStreamBuilder::FinishRecord() noexcept {
  Kt_Record* record = m_reader->BeginRecord(RecordType());
  bool read = record != nullptr;
  if (read && record->status == kRecordUpdated) {
    for (std::size_t i = 1; i < m_record.size(); ++i) {
      if (m_record[i].parent != 0 || !XmlNamesEqual(m_record[i].name, View(kOrgRecord))) continue;
      Kt_Record* original = m_reader->AppendOriginal();
      read = original != nullptr;
      if (read) ReadRecordCells(static_cast<int>(i), *original, true);
      break;
    }
  }
  if (read) {
    ReadRecordCells(0, *record, false);
    read = m_reader->EndRecord();
  }
  m_record.clear();
  m_current = -1;
  return read;
}

void Kt_DocumentStreamBuilder::ReadRecordCells(int parent, Kt_Record& record, bool stopAtOtherName) noexcept {
  int position = 0;
  for (std::size_t i = static_cast<std::size_t>(parent) + 1; i < m_record.size(); ++i) {
    const RecordNode& cell = m_record[i];
    if (cell.parent != parent) continue;
    const int column = m_reader->FindColumn(cell.name, position++);
    if (column < 0) {
      if (stopAtOtherName) return;
      continue;
    }
    // The element's own text, else the text of its only child.
    const RecordNode* source = &cell;
    if (!HasTextOwnContent(cell.kind) && cell.childCount == 1) source = &m_record[static_cast<std::size_t>(cell.lastChild)];
    Kt_AString text;
    if (!source->text.empty() && !ValueText(source->text, source->rawText, text)) continue;
    Kt_DatasetElementReader::SetCell(record, column,
                                     CellValueFromText(m_reader->ColumnType(column), cell.kind == NodeEmptyElement, std::move(text)));
  }
}

// Short values repeat from record to record (a target folder, a device, a status): those are
// shared with the previous occurrence instead of copied again.
bool Kt_DocumentStreamBuilder::ValueText(std::string_view raw, bool rawText, Kt_AString& out) noexcept {
  const bool plain = rawText || std::memchr(raw.data(), '&', raw.size()) == nullptr;
  if (!plain) return AssignUnescaped(out, raw);
  if (raw.size() > kLongestCachedValue) return out.Assign(raw.data(), raw.size());
  Kt_AString& slot = m_values[HashOf(raw) % kCacheSlots];
  if (slot.Length() == raw.size() && std::memcmp(slot.c_str(), raw.data(), raw.size()) == 0) {
    out = slot;
    return true;
  }
  if (!out.Assign(raw.data(), raw.size())) return false;
  slot = out;
  return true;
}
