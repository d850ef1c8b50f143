#ifndef KT_DATASET_DOCUMENT_H
#define KT_DATASET_DOCUMENT_H

#include <cstddef>
#include <vector>

#include "dataset/text/astring.h"
#include "dataset/binary/binary_document_reader.h"
#include "dataset/model/dataset.h"
#include "dataset/documents/dataset_xml_writer.h"
#include "dataset/values/variable.h"
#include "dataset/xml/xml_error.h"

// List documents: an XML text (or its binary form) whose "root" element holds an optional
// "params" block and any number of "dataset" elements.
//
//   <?xml version="1.0" encoding="euc-kr"?>
//   <root>
//     <params>...</params>          params_xml.h
//     <dataset id="LIST">...</dataset>   dataset_xml_writer.h, dataset_xml_reader.h
//   </root>

// Why LoadDocument failed.
enum class Kt_DocumentError {
  None,
  EmptyInput,   // no bytes, or only zero bytes
  XmlSyntax,    // the XML text is malformed: see xmlError
  Binary,       // the binary form could not be read: see binaryError
  NoRoot,       // no top-level "root" element
  EmptyRoot,    // the "root" element has no children
  OutOfMemory,
  DamagedEnvelope,  // a packed envelope whose stream is broken or whose check value is wrong
};

// The outcome of LoadDocument, for messages such as "mismatched end tag at byte 120". The offset
// counts bytes of the input, except for XML text that was converted from its declared code page
// before parsing, where it counts bytes of the converted text.
struct Kt_DocumentStatus {
  Kt_DocumentError error = Kt_DocumentError::None;
  std::size_t offset = 0;
  Kt_XmlError xmlError = Kt_XmlError::None;
  Kt_BinaryReadError binaryError = Kt_BinaryReadError::None;
  bool binary = false;  // the input was a binary document

  bool Failed() const noexcept { return error != Kt_DocumentError::None; }
};

// One line: "no error", "mismatched end tag at byte 120", "binary document ends inside a field
// at byte 37", "no root element", ...
Kt_AString DescribeDocumentStatus(const Kt_DocumentStatus& status) noexcept;

// Reads a document, binary (IsBinaryDocument) or XML text in any declared encoding, into the
// parameter list and the dataset list; both are emptied first. `codePage` receives the code page
// the document declares: CodePageFromName of the "encoding" of its top-level "xml" declaration
// (0 for a name it does not know), the system code page when there is no declaration or it names
// no encoding. The first "params" child of the root fills the parameter list; every "dataset"
// child of the root, in order, is read into a new dataset appended to the list.
//
// Returns the number of datasets read, or -1 when the input is empty, the XML text is malformed,
// the binary form is refused (wrong magic, nesting too deep), there is no "root" element or it
// has no children, or memory runs out. A truncated binary document gives what was read before
// the data ended, and fails only when that holds no usable root. On failure `status` (optional)
// holds the reason and the byte position; on success it reports no error (its binaryError tells
// when a binary document was truncated all the same).
int LoadDocument(const unsigned char* data, std::size_t size, Kt_ParamList& params, Kt_DatasetList& datasets,
                 unsigned& codePage, Kt_DocumentStatus* status = nullptr) noexcept;

inline int LoadDocument(const std::vector<unsigned char>& data, Kt_ParamList& params, Kt_DatasetList& datasets,
                        unsigned& codePage, Kt_DocumentStatus* status = nullptr) noexcept {
  return LoadDocument(data.data(), data.size(), params, datasets, codePage, status);
}

// Writes the parameters (when there are any) and the datasets, with the record selection
// (Kt_RecordSelection), as a document into `out`, replacing its contents. The declaration names
// `encodingName` when it is given and not empty, else NameFromCodePage(codePage) (code page 0:
// the system code page). With `binary` the binary form is written with its strings in
// `codePage`; otherwise the XML text, indented with tabs and CR LF and without a line break after
// the last line, converted to `codePage`.
//
// Returns the length written, or -1 (with `out` empty) when a dataset does not hold its own
// columns, the selection is unknown, the tree cannot be written in the chosen form (for example
// a name that is no XML name, or a zero byte in a value of an XML text), a conversion fails or
// memory runs out.
std::ptrdiff_t SaveDocument(const Kt_ParamList& params, const Kt_DatasetList& datasets, int selection,
                            const char* encodingName, unsigned codePage, bool binary,
                            std::vector<unsigned char>& out) noexcept;

#endif
