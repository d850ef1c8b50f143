#ifndef KT_DATASET_RECORD_STREAM_READER_H
#define KT_DATASET_RECORD_STREAM_READER_H

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "dataset/text/astring.h"
#include "dataset/model/block_arena.h"
#include "dataset/model/cell_allocator.h"
#include "dataset/documents/dataset_xml_reader.h"
#include "dataset/xml/node_kind.h"

// Reads one "record" element of a dataset while it is parsed, by the rules of ReadDataset, without
// building tree nodes for it.
//
// The record is appended when its start tag is seen (its "type" gives the status). Each child of
// the record is read when it ends: a child that holds at most one piece of text (or CDATA) and
// nothing else, the common cell, is set straight from that text; any other child is first
// collected in a small node list that follows the tree builder's rules (the move of an element's
// own text into a first child, text and CDATA pieces, nested elements) and read from it. The first
// "org_record" child of an updated record becomes its original. Cells are set in document order,
// so a later element for the same column wins, as when reading a tree. White space, comments and
// text directly inside the record do not name a column and are not kept.
//
// The parsed text must stay alive while a record is open: pieces of it are kept as spans. The
// values and the cell arrays of the records are carved from the reader's arena (block_arena.h).
class Kt_RecordStreamReader {
 public:
  Kt_RecordStreamReader() noexcept = default;
  Kt_RecordStreamReader(const Kt_RecordStreamReader&) = delete;
  Kt_RecordStreamReader& operator=(const Kt_RecordStreamReader&) = delete;

  bool Open() const noexcept { return m_row != nullptr; }
  // A new dataset starts: what was learned of the columns of the last one no longer holds.
  void StartDataset() noexcept { m_cacheUse.clear(); }

  // A record element starts; false when memory runs out.
  bool Begin(Kt_DatasetElementReader& reader, std::string_view attributeText) noexcept;
  // The events inside an open record. EndElement reports through `recordEnded` that the end tag
  // was the record's own (the record is then complete and no longer open). False when memory
  // runs out.
  // The plain cell, by far the most common child, is read inline; the rest out of line.
  bool StartElement(std::string_view name) noexcept {
    if (m_depth > 0) return StartNestedElement(name);
    m_childName = name;
    m_childText = std::string_view();
    m_childKind = NodeElement;
    m_childRaw = false;
    m_depth = 1;
    return true;
  }
  bool EmptyElement(std::string_view name) noexcept {
    if (m_depth > 0) return AddNestedEmptyElement(name);
    return ReadChild(NodeEmptyElement, name, std::string_view(), false);
  }
  bool EndElement(bool& recordEnded) noexcept {
    recordEnded = m_depth == 0;
    if (recordEnded) return End();
    --m_depth;
    if (m_collecting) return EndCollectedElement();
    return ReadChild(m_childKind, m_childName, m_childText, m_childRaw);
  }
  bool Declaration(std::string_view name) noexcept;
  bool MarkupDeclaration(std::string_view name, std::string_view raw) noexcept;
  bool Text(std::string_view text, bool cdata) noexcept {
    if (m_depth == 0) return true;  // text of the record itself names no column
    if (m_collecting || m_childKind != NodeElement) return AddChildText(text, cdata);
    m_childKind = cdata ? NodeCDataElement : NodeTextElement;
    m_childText = text;
    m_childRaw = cdata;
    return true;
  }
  // Completes the record: a deleted record moves to the originals.
  bool End() noexcept;

 private:
  // A node of a child that is not a plain cell: what the tree builder would have made of it.
  struct Node {
    NodeKind kind = NodeElement;
    bool rawText = false;  // CDATA or markup: taken as it is, not unescaped
    std::string_view name;
    std::string_view text;  // the node's own text, raw
    int parent = -1;
    int childCount = 0;
    int lastChild = -1;
  };

  std::string_view RecordType(std::string_view attributeText) noexcept;
  bool StartNestedElement(std::string_view name) noexcept;
  bool AddNestedEmptyElement(std::string_view name) noexcept;
  bool EndCollectedElement() noexcept;
  bool AddChildText(std::string_view text, bool cdata) noexcept;
  // Turns the plain child read so far into the first node of the node list.
  bool CollectChild() noexcept;
  int AddNode(NodeKind kind, std::string_view name) noexcept;
  Node* NewNode() noexcept;
  bool AddText(std::string_view text, bool raw) noexcept;
  // A child of the record is complete: it may be the original, and it may name a column.
  bool ReadChild(NodeKind kind, std::string_view name, std::string_view text, bool rawText) noexcept;
  const Node& TextSource(const Node& node) const noexcept;
  bool ReadCollectedChild() noexcept;
  void ReadOriginalCells(Kt_Record& original) noexcept;
  void SetCell(Kt_Record& record, int column, NodeKind kind, std::string_view text, bool rawText) noexcept;
  bool ValueText(std::string_view raw, bool rawText, std::size_t column, Kt_AString& out) noexcept;
  bool CarvedText(std::string_view raw, bool rawText, Kt_AString& out) noexcept;

  Kt_DatasetElementReader* m_reader = nullptr;
  Kt_Record* m_row = nullptr;  // the open record
  // The dataset's column table while a record is open: no column is added before it ends.
  const Kt_DatasetElementReader::ColumnKey* m_columns = nullptr;
  std::size_t m_width = 0;  // columns that both the table and the record's cells have
  bool m_takesOriginal = false;  // an updated record whose first "org_record" is still to come
  int m_depth = 0;               // elements open inside the record
  int m_position = 0;            // children of the record so far: the column tried first
  Kt_AString m_type;             // the record's unescaped "type"

  // The open child of the record while it is a plain cell.
  std::string_view m_childName;
  std::string_view m_childText;
  NodeKind m_childKind = NodeElement;
  bool m_childRaw = false;
  bool m_collecting = false;  // the open child is held in m_nodes instead
  std::vector<Node> m_nodes;
  int m_current = -1;  // the innermost open node of m_nodes

  // Recent short cell values, shared instead of copied. A slot holds the bytes of the last value
  // that hashed to it, and its string only once that value came a second time: values that never
  // repeat (a file name, a version) cost no reference counting. A cached string's count is raised
  // for a batch of copies at a time (Kt_AString::AddShares): one atomic step per batch.
  static constexpr std::size_t kCacheSlots = 512;
  static constexpr std::size_t kKeyWords = 4;
  static constexpr std::size_t kLongestCachedValue = kKeyWords * 8;
  static constexpr std::uint32_t kSharesPerBatch = 64;
  struct CacheKey {
    std::uint64_t words[kKeyWords];
  };
  struct CachedValue {
    CacheKey key{};
    std::uint8_t length = 0;
    std::uint32_t unspent = 0;  // shares of `shared` taken and not yet handed out
    Kt_AString shared;
    ~CachedValue() { shared.DropShares(unspent); }
    void Forget() noexcept {
      shared.DropShares(unspent);
      unspent = 0;
      shared.Clear();
    }
  };
  CachedValue m_values[kCacheSlots];
  // How the cache serves each column of the dataset being read. A column whose values missed it
  // kMissesBeforeBypass times in a row (a file name, a version) has its values carved at once,
  // except every 256th, which looks again in case the column's values start to repeat.
  static constexpr std::uint8_t kMissesBeforeBypass = 16;
  struct ColumnCacheUse {
    std::uint8_t misses = 0;
    std::uint8_t bypassed = 0;
  };
  std::vector<ColumnCacheUse> m_cacheUse;
  Kt_BlockArena m_arena;  // storage of the cell values read
  // and of the cell arrays of the records appended on this thread while the reader lives (a
  // reader is made, used and dropped on one thread, by one load)
  Kt_CellArenaScope m_cellStorage{m_arena};
};

#endif
