#include "dataset/documents/document_stream_builder.h"

#include "dataset/documents/document_nodes.h"
#include "dataset/xml/xml_names.h"

using namespace kt_document;

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
  m_records.StartDataset();
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
  if (m_records.Open()) return m_records.StartElement(name) ? Content::Parse : Content::Stop;
  const Role parentRole = m_depth ? m_open[m_depth - 1].role : Role::Other;
  if (parentRole == Role::Dataset && XmlNamesEqual(name, View(kRecord))) {
    return m_records.Begin(*m_reader, attributeText) ? Content::Parse : Content::Stop;
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
  if (m_records.Open()) return m_records.EmptyElement(name);
  const Role parentRole = m_depth ? m_open[m_depth - 1].role : Role::Other;
  if (parentRole == Role::Dataset && XmlNamesEqual(name, View(kRecord))) {
    return m_records.Begin(*m_reader, attributeText) && m_records.End();
  }
  if (!Kt_XmlDOMCtxHandler::OnEmptyElement(name, attributeText)) return false;
  if (parentRole == Role::Root && XmlNamesEqual(name, View(kDataset))) return StartDataset(*LastNode());
  if (parentRole == Role::Dataset) return ReadDatasetChild(*LastNode());
  return true;
}

bool Kt_DocumentStreamBuilder::OnEndElement(std::string_view name) {
  if (m_records.Open()) {
    bool recordEnded = false;
    return m_records.EndElement(recordEnded);
  }
  if (m_depth == 0 || !Kt_XmlDOMCtxHandler::OnEndElement(name)) return false;
  const Open closed = m_open[--m_depth];
  return closed.role != Role::DatasetChild || ReadDatasetChild(*closed.node);
}

bool Kt_DocumentStreamBuilder::OnDeclaration(std::string_view name, std::string_view attributeText) {
  if (m_records.Open()) return m_records.Declaration(name);
  return Kt_XmlDOMCtxHandler::OnDeclaration(name, attributeText);
}

bool Kt_DocumentStreamBuilder::OnMarkupDeclaration(std::string_view name, std::string_view raw) {
  if (m_records.Open()) return m_records.MarkupDeclaration(name, raw);
  return Kt_XmlDOMCtxHandler::OnMarkupDeclaration(name, raw);
}

bool Kt_DocumentStreamBuilder::OnWhitespace(std::string_view text) {
  return m_records.Open() || Kt_XmlDOMCtxHandler::OnWhitespace(text);
}

bool Kt_DocumentStreamBuilder::OnComment(std::string_view text) {
  return m_records.Open() || Kt_XmlDOMCtxHandler::OnComment(text);
}

bool Kt_DocumentStreamBuilder::OnCharacterData(std::string_view text) {
  return m_records.Open() ? m_records.Text(text, false) : Kt_XmlDOMCtxHandler::OnCharacterData(text);
}

bool Kt_DocumentStreamBuilder::OnCData(std::string_view text) {
  return m_records.Open() ? m_records.Text(text, true) : Kt_XmlDOMCtxHandler::OnCData(text);
}
