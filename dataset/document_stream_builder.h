#ifndef KT_DATASET_DOCUMENT_STREAM_BUILDER_H
#define KT_DATASET_DOCUMENT_STREAM_BUILDER_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "dataset/astring.h"
#include "dataset/block_arena.h"
#include "dataset/dataset.h"
#include "dataset/dataset_xml_reader.h"
#include "dataset/dom_document.h"
#include "dataset/xml_dom_builder.h"

// Builds the tree of a list document while it is parsed and reads its datasets on the way, so
// that the records of a large list never become tree nodes.
//
// Everything is built as Kt_XmlDOMCtxHandler builds it, except below the "dataset" children of
// the document's root (the first top-level node named "root"): there each dataset is read into
// a new dataset appended to the list as its children complete, in document order and by the
// rules of ReadDataset, and the completed children are dropped from the tree. Records are held
// in a small reusable node list that follows the tree builder's rules (text, CDATA and element
// content, the move of an element's own text into a first child), and their cells are read from
// it when the record ends. Afterwards the tree holds the declaration, the root with its
// parameter block and empty dataset elements, and any other top-level node.
//
// The tokenizer passes spans of the text it parses; the text must stay alive while it runs,
// which it does, since the spans of one record are used at the record's end tag.
// White space and comments are not kept.
class Kt_DocumentStreamBuilder : public Kt_XmlDOMCtxHandler {
 public:
  Kt_DocumentStreamBuilder(Kt_DOMDocument& document, Kt_DatasetList& datasets) noexcept;
  ~Kt_DocumentStreamBuilder() override;

  bool OnDeclaration(std::string_view name, std::string_view attributeText) override;
  bool OnMarkupDeclaration(std::string_view name, std::string_view raw) override;
  bool OnEmptyElement(std::string_view name, std::string_view attributeText) override;
  Content OnStartElement(std::string_view name, std::string_view attributeText) override;
  bool OnEndElement(std::string_view name) override;
  bool OnWhitespace(std::string_view text) override;
  bool OnCharacterData(std::string_view text) override;
  bool OnCData(std::string_view text) override;
  bool OnComment(std::string_view text) override;

 private:
  enum class Role : std::uint8_t { Other, Root, Dataset, DatasetChild };
  struct Open {
    Kt_DOMElem* node;
    Role role;
  };
  // A node of the record being read: what the tree builder would have made of it.
  struct RecordNode {
    NodeKind kind = NodeElement;
    bool rawText = false;  // CDATA or markup: taken as it is, not unescaped
    std::string_view name;
    std::string_view attributes;
    std::string_view text;  // the node's own text, raw
    int parent = -1;
    int childCount = 0;
    int lastChild = -1;
  };

  Kt_DOMElem* LastNode() const noexcept;
  bool StartDataset(const Kt_DOMElem& element) noexcept;
  bool ReadDatasetChild(Kt_DOMElem& child) noexcept;

  bool BeginRecord(NodeKind kind, std::string_view name, std::string_view attributes) noexcept;
  int AddRecordNode(NodeKind kind, std::string_view name, std::string_view attributes) noexcept;
  RecordNode* NewRecordNode() noexcept;
  bool AddRecordText(std::string_view text, bool raw) noexcept;
  bool FinishRecord() noexcept;
  void ReadRecordCells(int parent, Kt_Record& record, bool stopAtOtherName) noexcept;
  std::string_view RecordType() noexcept;
  bool ValueText(std::string_view raw, bool rawText, Kt_AString& out) noexcept;

  Kt_DOMDocument& m_document;
  Kt_DatasetList& m_datasets;
  Open m_open[kDomMaxDepth];
  std::size_t m_depth = 0;
  std::optional<Kt_DatasetElementReader> m_reader;

  std::vector<RecordNode> m_record;  // empty when no record is open
  int m_current = -1;                // the innermost open node of the record
  Kt_AString m_type;                 // the record's unescaped "type"
  // Recent short cell values, shared instead of copied. A slot holds the bytes of the last value
  // that hashed to it, and its string only once that value came a second time: values that never
  // repeat (a file name, a version) cost no reference counting.
  static constexpr std::size_t kCacheSlots = 512;
  static constexpr std::size_t kKeyWords = 4;
  static constexpr std::size_t kLongestCachedValue = kKeyWords * 8;
  struct CacheKey {
    std::uint64_t words[kKeyWords];
  };
  // A cached string's count is raised for a batch of copies at a time (Kt_AString::AddShares):
  // one atomic step per batch instead of one per copy.
  static constexpr std::uint32_t kSharesPerBatch = 64;
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
  Kt_BlockArena m_arena;  // storage of the cell values read
};

#endif
