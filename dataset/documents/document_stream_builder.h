#ifndef KT_DATASET_DOCUMENT_STREAM_BUILDER_H
#define KT_DATASET_DOCUMENT_STREAM_BUILDER_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "dataset/model/dataset.h"
#include "dataset/documents/dataset_xml_reader.h"
#include "dataset/xml/dom_document.h"
#include "dataset/documents/record_stream_reader.h"
#include "dataset/xml/xml_dom_builder.h"

// Builds the tree of a list document while it is parsed and reads its datasets on the way, so
// that the records of a large list never become tree nodes.
//
// Everything is built as Kt_XmlDOMCtxHandler builds it, except below the "dataset" children of
// the document's root (the first top-level node named "root"): there each dataset is read into
// a new dataset appended to the list as its children complete, in document order and by the
// rules of ReadDataset, and the completed children are dropped from the tree. Records never
// become tree nodes: Kt_RecordStreamReader reads each one while it is parsed. Afterwards the tree
// holds the declaration, the root with its parameter block and empty dataset elements, and any
// other top-level node. White space and comments are not kept.
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
  Kt_DOMElem* LastNode() const noexcept;
  bool StartDataset(const Kt_DOMElem& element) noexcept;
  bool ReadDatasetChild(Kt_DOMElem& child) noexcept;

  Kt_DOMDocument& m_document;
  Kt_DatasetList& m_datasets;
  Open m_open[kDomMaxDepth];
  std::size_t m_depth = 0;
  std::optional<Kt_DatasetElementReader> m_reader;

  Kt_RecordStreamReader m_records;  // the record being read, when one is open
};

#endif
