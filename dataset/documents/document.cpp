#include "dataset/documents/document.h"

#include <memory>
#include <new>
#include <string_view>

#include "dataset/binary/binary_document_format.h"
#include "dataset/binary/binary_document_writer.h"
#include "dataset/text/codepage.h"
#include "dataset/documents/dataset_xml_reader.h"
#include "dataset/documents/document_nodes.h"
#include "dataset/documents/document_stream_builder.h"
#include "dataset/xml/dom_document.h"
#include "dataset/text/encoding_names.h"
#include "dataset/documents/params_xml.h"
#include "dataset/text/text_recode.h"
#include "dataset/xml/xml_encoding.h"
#include "dataset/xml/xml_names.h"
#include "dataset/xml/xml_tokenizer.h"
#include "dataset/xml/xml_writer.h"

using namespace kt_document;

namespace {

int Failed(Kt_DocumentStatus& status, Kt_DocumentError error, std::size_t offset = 0) noexcept {
  status.error = error;
  status.offset = offset;
  return -1;
}

// Parses XML text into the tree, in the system code page (XmlTextInSystemCodePage). Its datasets
// are read into the list while the text is parsed.
int ParseXml(std::string_view bytes, Kt_DOMDocument& document, Kt_DatasetList& datasets,
             Kt_DocumentStatus& status) noexcept {
  Kt_AString converted;
  std::string_view text;
  if (!XmlTextInSystemCodePage(bytes, converted, text)) {
    status.xmlError = Kt_XmlError::Conversion;
    return Failed(status, Kt_DocumentError::XmlSyntax);
  }
  Kt_XmlStatus xml;
  // The builder holds its open-element stack and string caches (tens of kilobytes): on the heap,
  // since documents are loaded on a browser's UI thread whose stack is not ours to spend.
  std::unique_ptr<Kt_DocumentStreamBuilder> builder(new (std::nothrow) Kt_DocumentStreamBuilder(document, datasets));
  if (!builder) return Failed(status, Kt_DocumentError::OutOfMemory);
  const std::ptrdiff_t position = TokenizeXml(text, *builder, &xml);
  if (position > 0) return 0;
  document.Clear();
  datasets.Clear();
  if (position == 0) return Failed(status, Kt_DocumentError::EmptyInput);
  status.xmlError = xml.error;
  return Failed(status, xml.error == Kt_XmlError::Stopped ? Kt_DocumentError::OutOfMemory : Kt_DocumentError::XmlSyntax,
                xml.offset);
}

// Reads the binary form into the tree, its datasets into the list while the data is read, as
// ParseXml does for text.
int ParseBinary(const unsigned char* data, std::size_t size, Kt_DOMDocument& document, Kt_DatasetList& datasets,
                Kt_DocumentStatus& status) noexcept {
  status.binary = true;
  std::unique_ptr<Kt_DocumentStreamBuilder> builder(new (std::nothrow) Kt_DocumentStreamBuilder(document, datasets));
  if (!builder) return Failed(status, Kt_DocumentError::OutOfMemory);
  Kt_BinaryReadStatus binary;
  const std::ptrdiff_t position = ReadBinaryDocumentEvents(data, size, *builder, &binary);
  builder.reset();
  status.binaryError = binary.error;
  status.offset = binary.offset;
  if (position < 0) {
    document.Clear();
    datasets.Clear();
    return Failed(status,
                  binary.error == Kt_BinaryReadError::OutOfMemory ? Kt_DocumentError::OutOfMemory
                                                                  : Kt_DocumentError::Binary,
                  binary.offset);
  }
  return 0;
}

// A missing or empty root of a truncated binary document is reported as the truncation.
int RootMissing(Kt_DocumentStatus& status, Kt_DocumentError error) noexcept {
  if (status.binaryError == Kt_BinaryReadError::Truncated) return Failed(status, Kt_DocumentError::Binary, status.offset);
  return Failed(status, error);
}

}  // namespace

Kt_AString DescribeDocumentStatus(const Kt_DocumentStatus& status) noexcept {
  Kt_AString text;
  switch (status.error) {
    case Kt_DocumentError::None:
      text = "no error";
      break;
    case Kt_DocumentError::EmptyInput:
      text = "empty document";
      break;
    case Kt_DocumentError::XmlSyntax: {
      Kt_XmlStatus xml;
      xml.error = status.xmlError;
      xml.offset = status.offset;
      text = DescribeXmlStatus(xml);
      break;
    }
    case Kt_DocumentError::Binary: {
      Kt_BinaryReadStatus binary;
      binary.error = status.binaryError;
      binary.offset = status.offset;
      text = DescribeBinaryReadStatus(binary);
      break;
    }
    case Kt_DocumentError::NoRoot:
      text = "no root element";
      break;
    case Kt_DocumentError::EmptyRoot:
      text = "the root element is empty";
      break;
    case Kt_DocumentError::DamagedEnvelope:
      text = "damaged packed envelope (broken stream or wrong check value)";
      break;
    case Kt_DocumentError::OutOfMemory:
      text = "out of memory";
      break;
  }
  return text;
}

int LoadDocument(const unsigned char* data, std::size_t size, Kt_ParamList& params, Kt_DatasetList& datasets,
                 unsigned& codePage, Kt_DocumentStatus* status) noexcept {
  Kt_DocumentStatus local;
  Kt_DocumentStatus& result = status ? *status : local;
  result = Kt_DocumentStatus();
  params.Clear();
  datasets.Clear();
  if (data == nullptr) size = 0;

  Kt_DOMDocument document;
  const bool binary = IsBinaryDocument(data, size);
  const int parsed =
      binary ? ParseBinary(data, size, document, datasets, result)
             : ParseXml(std::string_view(reinterpret_cast<const char*>(data), size), document, datasets, result);
  if (parsed < 0) return -1;

  codePage = document.DeclaredCodePage();
  const Kt_DOMElem* root = document.FindNode(View(kRoot));
  if (!root || root->ChildCount() == 0) {
    datasets.Clear();
    return RootMissing(result, root ? Kt_DocumentError::EmptyRoot : Kt_DocumentError::NoRoot);
  }

  if (const Kt_DOMElem* paramsElement = root->FindChild(View(kParams))) {
    if (ReadParams(params, *paramsElement, true) < 0) {
      datasets.Clear();
      return Failed(result, Kt_DocumentError::OutOfMemory);
    }
  }
  // A truncated binary document that still held a usable root is a success.
  result.error = Kt_DocumentError::None;
  return datasets.Count();
}

std::ptrdiff_t SaveDocument(const Kt_ParamList& params, const Kt_DatasetList& datasets, int selection,
                            const char* encodingName, unsigned codePage, bool binary,
                            std::vector<unsigned char>& out) noexcept {
  out.clear();
  Kt_DOMDocument document;
  Kt_DOMElem* declaration = document.Nodes().Add(NodeDeclaration, kXml);
  Kt_DOMElem* root = document.Nodes().Add(NodeElement, kRoot);
  const char* encoding =
      encodingName && *encodingName ? encodingName : NameFromCodePage(ResolveCodePage(codePage));
  if (!declaration || !root || !declaration->AddAttribute(kVersion, "1.0") ||
      !declaration->AddAttribute(kEncoding, encoding)) {
    return -1;
  }
  if (params.Count() > 0 && WriteParams(params, *root, false) < 0) return -1;
  for (int i = 0; i < datasets.Count(); ++i) {
    const Kt_Dataset* dataset = datasets.At(i);
    if (dataset && WriteDataset(*dataset, *root, false, selection) < 0) return -1;
  }
  if (binary) return WriteBinaryDocument(document, codePage, out);

  Kt_AString text;
  if (!WriteXml(document.Nodes(), text) || !RecodeText(text, 0, codePage, text)) return -1;
  try {
    out.assign(reinterpret_cast<const unsigned char*>(text.c_str()),
               reinterpret_cast<const unsigned char*>(text.c_str()) + text.Length());
  } catch (const std::bad_alloc&) {
    out.clear();
    return -1;
  }
  return static_cast<std::ptrdiff_t>(out.size());
}
