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

// Up to eight bytes of text from `offset` on as a little-endian word, zero beyond the text. Every
// load is a whole aligned-size read inside the text (no byte-wise copy that a word load would have
// to wait for).
std::uint64_t LoadPaddedWord(std::string_view text, std::size_t offset) noexcept {
  if (offset >= text.size()) return 0;
  const char* p = text.data() + offset;
  const std::size_t count = text.size() - offset;
  if (count >= 8) {
    std::uint64_t word;
    std::memcpy(&word, p, 8);
    return word;
  }
  if (count >= 4) {  // two overlapping four-byte reads
    std::uint32_t low;
    std::uint32_t high;
    std::memcpy(&low, p, 4);
    std::memcpy(&high, p + count - 4, 4);
    return low | static_cast<std::uint64_t>(high) << ((count - 4) * 8);
  }
  const auto byte = [p](std::size_t i) { return static_cast<std::uint64_t>(static_cast<unsigned char>(p[i])); };
  return byte(0) | byte(count / 2) << (count / 2 * 8) | byte(count - 1) << ((count - 1) * 8);
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
  const int parent = m_current;
  if (parent >= 0 && HasTextOwnContent(m_record[static_cast<std::size_t>(parent)].kind)) {
    RecordNode* moved = NewRecordNode();
    if (!moved) return -1;
    RecordNode& owner = m_record[static_cast<std::size_t>(parent)];
    moved->kind = owner.kind == NodeTextElement ? NodeText : NodeCData;
    moved->text = owner.text;
    moved->rawText = owner.rawText;
    moved->parent = parent;
    owner.kind = NodeElement;
    owner.text = std::string_view();
    owner.childCount = 1;
    owner.lastChild = static_cast<int>(m_record.size() - 1);
  }
  RecordNode* node = NewRecordNode();
  if (!node) return -1;
  node->kind = kind;
  node->name = name;
  node->attributes = attributes;
  node->parent = parent;
  const int index = static_cast<int>(m_record.size() - 1);
  if (parent >= 0) {
    ++m_record[static_cast<std::size_t>(parent)].childCount;
    m_record[static_cast<std::size_t>(parent)].lastChild = index;
  }
  return index;
}

// A blank node at the end of the record; null (and the record dropped) when memory runs out.
Kt_DocumentStreamBuilder::RecordNode* Kt_DocumentStreamBuilder::NewRecordNode() noexcept {
  if (m_record.size() == m_record.capacity()) {
    try {
      m_record.reserve(m_record.capacity() < 32 ? 32 : m_record.capacity() * 2);
    } catch (const std::bad_alloc&) {
      m_record.clear();
      return nullptr;
    }
  }
  m_record.emplace_back();  // cannot throw: the room is there
  return &m_record.back();
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
  const auto& columns = m_reader->Columns();
  const std::size_t columnCount = columns.size() < record.cells.size() ? columns.size() : record.cells.size();
  const RecordNode* nodes = m_record.data();
  const std::size_t nodeCount = m_record.size();
  std::size_t position = 0;
  for (std::size_t i = static_cast<std::size_t>(parent) + 1; i < nodeCount; ++i) {
    const RecordNode& cell = nodes[i];
    if (cell.parent != parent) continue;
    // Cells nearly always come in column order: the column at the cell's position is tried first.
    std::size_t column = position++;
    if (column >= columnCount || !XmlNamesEqual(columns[column].id, cell.name)) {
      const int found = m_reader->FindColumn(cell.name);
      if (found < 0 || static_cast<std::size_t>(found) >= columnCount) {
        if (stopAtOtherName && found < 0) return;
        continue;
      }
      column = static_cast<std::size_t>(found);
    }
    Kt_Variant& value = record.cells[column];
    if (cell.kind == NodeEmptyElement) {
      value.SetNull();
      continue;
    }
    // The element's own text, else the text of its only child.
    const RecordNode* source = &cell;
    if (!HasTextOwnContent(cell.kind) && cell.childCount == 1) source = &nodes[static_cast<std::size_t>(cell.lastChild)];
    Kt_AString text;
    if (!source->text.empty() && !ValueText(source->text, source->rawText, text)) continue;
    if (columns[column].kind == Kt_VarKind::String) {
      value.SetString(std::move(text));  // text columns keep any text, the empty one included
    } else {
      value = CellValueFromText(columns[column].type, false, std::move(text));
    }
  }
}

// Short values repeat from record to record (a target folder, a device, a status): those are
// shared with the previous occurrence instead of copied again. The value's bytes are copied once
// into a zero-padded key that is checked for '&', hashed and compared a word at a time.
bool Kt_DocumentStreamBuilder::ValueText(std::string_view raw, bool rawText, Kt_AString& out) noexcept {
  if (raw.size() > kLongestCachedValue) {
    if (!rawText && std::memchr(raw.data(), '&', raw.size())) return AssignUnescaped(out, raw);
    return out.AssignCarved(m_arena, raw.data(), raw.size());
  }
  CacheKey key;
  for (std::size_t i = 0; i < kKeyWords; ++i) key.words[i] = LoadPaddedWord(raw, i * 8);
  std::uint64_t hash = raw.size();
  std::uint64_t ampersands = 0;
  for (std::uint64_t word : key.words) {
    hash = (hash ^ word) * 0x9E3779B97F4A7C15ull;
    const std::uint64_t marked = word ^ 0x2626262626262626ull;  // zero where a byte is '&'
    ampersands |= (marked - 0x0101010101010101ull) & ~marked & 0x8080808080808080ull;
  }
  if (ampersands && !rawText) return AssignUnescaped(out, raw);
  CachedValue& slot = m_values[(hash >> 40) % kCacheSlots];
  bool same = slot.length == raw.size();
  for (std::size_t i = 0; i < kKeyWords; ++i) same &= slot.key.words[i] == key.words[i];
  if (same) {
    if (slot.shared.IsEmpty()) {
      if (!out.AssignCarved(m_arena, raw.data(), raw.size())) return false;
      slot.shared = out;
      return true;
    }
    if (slot.unspent == 0) {
      slot.shared.AddShares(kSharesPerBatch);
      slot.unspent = kSharesPerBatch;
    }
    --slot.unspent;
    out = slot.shared.ShareReserved();
    return true;
  }
  slot.Forget();
  slot.key = key;
  slot.length = static_cast<std::uint8_t>(raw.size());
  return out.AssignCarved(m_arena, raw.data(), raw.size());
}
