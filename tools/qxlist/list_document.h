#pragma once

#include <string>

#include "dataset/model/dataset.h"
#include "dataset/values/variable.h"
#include "tools/qxlist/file_io.h"
#include "tools/qxlist/working_code_page.h"

namespace qxlist {

enum class Packing { None, Lzss, Zlib };
enum class Form { Xml, Binary };

// A list document as read from a file, with the form it came in.
struct ListDocument {
  Packing packing = Packing::None;
  Form form = Form::Xml;
  unsigned codePage = 0;  // of the text (XML) or of the strings (binary)
  std::string encodingName;  // as the declaration spells it; empty when it names none
  Kt_ParamList params;
  Kt_DatasetList datasets;
};

// Reads a document in any form: XML in any declared encoding, binary, packed with LZSS or zlib.
// The library then works in a code page that holds the document's text (`workingCodePage`,
// which must outlive every use of the document). False with a one-line reason (and the byte
// position where the text has one) in `problem`.
bool ReadListDocument(const Bytes& data, ListDocument& document, WorkingCodePage& workingCodePage,
                      std::string& problem);

// How a document is to be written.
struct WriteChoice {
  Form form = Form::Xml;
  unsigned codePage = 0;
  std::string encodingName;  // written into the XML declaration; empty: the code page's own name
  Packing packing = Packing::None;
  int level = -1;  // zlib level
};

// Writes the document with every record state kept. False with the reason in `problem`, also
// when the chosen code page cannot hold the document's text exactly.
bool WriteListDocument(const ListDocument& document, const WriteChoice& choice, Bytes& data, std::string& problem);

// True when the parameter CONFIG is "true" (any case): a configuration list.
bool IsConfigurationList(const ListDocument& document);

const char* PackingName(Packing packing);

}  // namespace qxlist
