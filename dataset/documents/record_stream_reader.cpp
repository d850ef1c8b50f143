#include "dataset/documents/record_stream_reader.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "dataset/documents/document_nodes.h"
#include "dataset/xml/xml_attributes.h"
#include "dataset/xml/xml_escape.h"
#include "dataset/xml/xml_names.h"

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

bool Kt_RecordStreamReader::Begin(Kt_DatasetElementReader& reader, std::string_view attributeText) noexcept {
  m_reader = &reader;
  m_row = reader.BeginRecord(RecordType(attributeText));
  if (!m_row) return false;
  m_takesOriginal = m_row->status == kRecordUpdated;
  const auto& columns = reader.Columns();
  m_columns = columns.data();
  m_width = std::min(columns.size(), m_row->cells.size());
  if (m_cacheUse.size() != columns.size()) {
    try {
      m_cacheUse.resize(columns.size());
    } catch (const std::bad_alloc&) {
      m_cacheUse.clear();  // without it, every value is looked up in the cache
    }
  }
  m_depth = 0;
  m_position = 0;
  m_collecting = false;
  m_nodes.clear();
  m_current = -1;
  return true;
}

bool Kt_RecordStreamReader::End() noexcept {
  const bool moved = m_reader->EndRecord();
  m_row = nullptr;
  m_nodes.clear();
  m_collecting = false;
  return moved;
}

// The unescaped value of the record's first "type" attribute, empty without one.
std::string_view Kt_RecordStreamReader::RecordType(std::string_view attributeText) noexcept {
  Kt_XmlAttributeReader reader(attributeText);
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

bool Kt_RecordStreamReader::StartNestedElement(std::string_view name) noexcept {
  if (!m_collecting && !CollectChild()) return false;
  const int node = AddNode(NodeElement, name);
  if (node < 0) return false;
  m_current = node;
  ++m_depth;
  return true;
}

bool Kt_RecordStreamReader::AddNestedEmptyElement(std::string_view name) noexcept {
  if (!m_collecting && !CollectChild()) return false;
  return AddNode(NodeEmptyElement, name) >= 0;
}

bool Kt_RecordStreamReader::Declaration(std::string_view name) noexcept {
  if (m_depth == 0) return ReadChild(NodeDeclaration, name, std::string_view(), false);
  if (!m_collecting && !CollectChild()) return false;
  return AddNode(NodeDeclaration, name) >= 0;
}

bool Kt_RecordStreamReader::MarkupDeclaration(std::string_view name, std::string_view raw) noexcept {
  if (m_depth == 0) return ReadChild(NodeMarkup, name, raw, true);
  if (!m_collecting && !CollectChild()) return false;
  const int node = AddNode(NodeMarkup, name);
  if (node < 0) return false;
  m_nodes[static_cast<std::size_t>(node)].text = raw;
  m_nodes[static_cast<std::size_t>(node)].rawText = true;
  return true;
}

// Text for a child that already has content, or is collected.
bool Kt_RecordStreamReader::AddChildText(std::string_view text, bool cdata) noexcept {
  if (!m_collecting && !CollectChild()) return false;
  return AddText(text, cdata);
}

// The end of an element of a collected child; the child is read when its own end comes.
bool Kt_RecordStreamReader::EndCollectedElement() noexcept {
  m_current = m_nodes[static_cast<std::size_t>(m_current)].parent;
  if (m_depth > 0) return true;
  const bool read = ReadCollectedChild();
  m_nodes.clear();
  m_collecting = false;
  m_current = -1;
  return read;
}

bool Kt_RecordStreamReader::CollectChild() noexcept {
  m_nodes.clear();
  Node* child = NewNode();
  if (!child) return false;
  child->kind = m_childKind;
  child->name = m_childName;
  child->text = m_childText;
  child->rawText = m_childRaw;
  m_current = 0;
  m_collecting = true;
  return true;
}

// Appends a node to the innermost open node, moving that node's own text into a first child when
// it has one, as the tree builder does.
int Kt_RecordStreamReader::AddNode(NodeKind kind, std::string_view name) noexcept {
  const int parent = m_current;
  if (parent >= 0 && HasTextOwnContent(m_nodes[static_cast<std::size_t>(parent)].kind)) {
    Node* moved = NewNode();
    if (!moved) return -1;
    Node& owner = m_nodes[static_cast<std::size_t>(parent)];
    moved->kind = owner.kind == NodeTextElement ? NodeText : NodeCData;
    moved->text = owner.text;
    moved->rawText = owner.rawText;
    moved->parent = parent;
    owner.kind = NodeElement;
    owner.text = std::string_view();
    owner.childCount = 1;
    owner.lastChild = static_cast<int>(m_nodes.size() - 1);
  }
  Node* node = NewNode();
  if (!node) return -1;
  node->kind = kind;
  node->name = name;
  node->parent = parent;
  const int index = static_cast<int>(m_nodes.size() - 1);
  if (parent >= 0) {
    ++m_nodes[static_cast<std::size_t>(parent)].childCount;
    m_nodes[static_cast<std::size_t>(parent)].lastChild = index;
  }
  return index;
}

// A blank node at the end of the list; null when memory runs out.
Kt_RecordStreamReader::Node* Kt_RecordStreamReader::NewNode() noexcept {
  try {
    m_nodes.emplace_back();
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  return &m_nodes.back();
}

bool Kt_RecordStreamReader::AddText(std::string_view text, bool raw) noexcept {
  Node& owner = m_nodes[static_cast<std::size_t>(m_current)];
  if (owner.kind == NodeElement && owner.childCount == 0) {
    owner.kind = raw ? NodeCDataElement : NodeTextElement;
    owner.text = text;
    owner.rawText = raw;
    return true;
  }
  const int saved = m_current;
  const int node = AddNode(raw ? NodeCData : NodeText, std::string_view());
  if (node < 0) return false;
  m_nodes[static_cast<std::size_t>(node)].text = text;
  m_nodes[static_cast<std::size_t>(node)].rawText = raw;
  m_current = saved;
  return true;
}

bool Kt_RecordStreamReader::ReadChild(NodeKind kind, std::string_view name, std::string_view text,
                                      bool rawText) noexcept {
  const int position = m_position++;
  if (m_takesOriginal && XmlNamesEqual(name, View(kOrgRecord))) {
    m_takesOriginal = false;
    Kt_Record* original = m_reader->AppendOriginal();
    if (!original) return false;
    if (m_collecting) ReadOriginalCells(*original);
  }
  int column = position;
  if (static_cast<std::size_t>(position) >= m_width || !XmlNamesEqual(m_columns[position].id, name)) {
    column = m_reader->FindColumn(name);
  }
  if (column >= 0) SetCell(*m_row, column, kind, text, rawText);
  return true;
}

// The node whose text is a collected node's value: the node itself when it has its own text, else
// its only child.
const Kt_RecordStreamReader::Node& Kt_RecordStreamReader::TextSource(const Node& node) const noexcept {
  if (HasTextOwnContent(node.kind) || node.childCount != 1) return node;
  return m_nodes[static_cast<std::size_t>(node.lastChild)];
}

bool Kt_RecordStreamReader::ReadCollectedChild() noexcept {
  const Node& child = m_nodes[0];
  const Node& source = TextSource(child);
  return ReadChild(child.kind, child.name, source.text, source.rawText);
}

// The original's cells: the elements of "org_record" up to the first that names no column.
void Kt_RecordStreamReader::ReadOriginalCells(Kt_Record& original) noexcept {
  int position = 0;
  for (std::size_t i = 1; i < m_nodes.size(); ++i) {
    const Node& cell = m_nodes[i];
    if (cell.parent != 0) continue;
    const int column = m_reader->FindColumn(cell.name, position++);
    if (column < 0) return;
    const Node& source = TextSource(cell);
    SetCell(original, column, cell.kind, source.text, source.rawText);
  }
}

void Kt_RecordStreamReader::SetCell(Kt_Record& record, int column, NodeKind kind, std::string_view text,
                                    bool rawText) noexcept {
  const auto index = static_cast<std::size_t>(column);
  if (index >= m_width || index >= record.cells.size()) return;
  Kt_Variant& value = record.cells[index];
  if (kind == NodeEmptyElement) {
    value.SetNull();
    return;
  }
  Kt_AString cellText;
  if (!text.empty() && !ValueText(text, rawText, index, cellText)) return;
  if (m_columns[index].kind == Kt_VarKind::String) {
    value.SetString(std::move(cellText));  // text columns keep any text, the empty one included
  } else {
    value = CellValueFromText(m_columns[index].type, false, std::move(cellText));
  }
}

// Short values repeat from record to record (a target folder, a device, a status): those are
// shared with the previous occurrence instead of copied again. The value is read as zero-padded
// words, which are checked for '&', hashed and compared a word at a time.
bool Kt_RecordStreamReader::ValueText(std::string_view raw, bool rawText, std::size_t column,
                                      Kt_AString& out) noexcept {
  if (raw.size() > kLongestCachedValue) return CarvedText(raw, rawText, out);
  ColumnCacheUse* use = column < m_cacheUse.size() ? &m_cacheUse[column] : nullptr;
  if (use && use->misses >= kMissesBeforeBypass && ++use->bypassed != 0) return CarvedText(raw, rawText, out);
  // Only the words the value covers take part: equal lengths and equal covered words are equal
  // values, whatever a slot holds beyond them.
  const std::size_t wordCount = (raw.size() + 7) / 8;
  CacheKey key;
  std::uint64_t hash = raw.size();
  std::uint64_t ampersands = 0;
  for (std::size_t i = 0; i < wordCount; ++i) {
    const std::uint64_t word = LoadPaddedWord(raw, i * 8);
    key.words[i] = word;
    hash = (hash ^ word) * 0x9E3779B97F4A7C15ull;
    const std::uint64_t marked = word ^ 0x2626262626262626ull;  // zero where a byte is '&'
    ampersands |= (marked - 0x0101010101010101ull) & ~marked & 0x8080808080808080ull;
  }
  if (ampersands && !rawText) return AssignUnescaped(out, raw);
  CachedValue& slot = m_values[(hash >> 40) % kCacheSlots];
  bool same = slot.length == raw.size();
  for (std::size_t i = 0; same && i < wordCount; ++i) same = slot.key.words[i] == key.words[i];
  if (!same) {
    if (use && use->misses < 255) ++use->misses;
    slot.Forget();
    for (std::size_t i = 0; i < wordCount; ++i) slot.key.words[i] = key.words[i];
    slot.length = static_cast<std::uint8_t>(raw.size());
    return out.AssignCarved(m_arena, raw.data(), raw.size());
  }
  if (use) use->misses = 0;
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

// The value copied into the arena (unescaped when it holds a reference), not looked up.
bool Kt_RecordStreamReader::CarvedText(std::string_view raw, bool rawText, Kt_AString& out) noexcept {
  if (!rawText && std::memchr(raw.data(), '&', raw.size())) return AssignUnescaped(out, raw);
  return out.AssignCarved(m_arena, raw.data(), raw.size());
}
