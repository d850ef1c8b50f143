#include "tools/qxlist/list_document.h"

#include "dataset/binary_document_format.h"
#include "dataset/binary_document_reader.h"
#include "dataset/dom_document.h"
#include "dataset/dataset_xml_writer.h"
#include "dataset/document.h"
#include "dataset/packer.h"

namespace qxlist {
namespace {

// The encoding name as the document's declaration spells it, so that a conversion that keeps
// the encoding also keeps its name ("windows-1252" stays "windows-1252", not another name of
// code page 1252).
std::string DeclaredEncodingName(const Bytes& plain, Form form) {
  Kt_DOMDocument tree;
  if (form == Form::Binary) {
    if (ReadBinaryDocument(plain.data(), plain.size(), tree) < 0) return std::string();
  } else if (tree.LoadText(std::string_view(reinterpret_cast<const char*>(plain.data()), plain.size())) <= 0) {
    return std::string();
  }
  const Kt_DOMElem* declaration = tree.FindNode("xml");
  return declaration ? std::string(declaration->GetAttribute("encoding").c_str()) : std::string();
}

}  // namespace

bool ReadListDocument(const Bytes& data, ListDocument& document, WorkingCodePage& workingCodePage,
                      std::string& problem) {
  int variant = 0;
  const bool packed = Kt_Packer::IsPacked(data, &variant);
  Bytes plain;
  if (Kt_Packer::Unpack(data, plain) != Kt_Packer::kOk) {
    problem = "damaged packed envelope (broken stream or wrong check value)";
    return false;
  }
  document.packing = !packed ? Packing::None : variant == Kt_Packer::kZlib ? Packing::Zlib : Packing::Lzss;
  document.form = IsBinaryDocument(plain.data(), plain.size()) ? Form::Binary : Form::Xml;
  workingCodePage.ChooseFor(plain);
  Kt_DocumentStatus status;
  if (LoadDocument(plain, document.params, document.datasets, document.codePage, &status) < 0) {
    problem = DescribeDocumentStatus(status).c_str();
    if (packed) problem += " (after unpacking)";
    return false;
  }
  document.encodingName = DeclaredEncodingName(plain, document.form);
  return true;
}

bool WriteListDocument(const ListDocument& document, const WriteChoice& choice, Bytes& data, std::string& problem) {
  Bytes plain;
  if (SaveDocument(document.params, document.datasets, kSelectRecordsAndChanges,
                   choice.encodingName.empty() ? nullptr : choice.encodingName.c_str(), choice.codePage,
                   choice.form == Form::Binary, plain) < 0) {
    problem = "cannot be written in that form (a name or value it cannot hold, or text that the chosen "
              "encoding cannot hold exactly)";
    return false;
  }
  if (choice.packing == Packing::None) {
    data.swap(plain);
    return true;
  }
  const int variant = choice.packing == Packing::Zlib ? Kt_Packer::kZlib : Kt_Packer::kLzss;
  if (Kt_Packer::Pack(plain, data, variant, choice.level) != Kt_Packer::kOk) {
    problem = "cannot pack";
    return false;
  }
  return true;
}

bool IsConfigurationList(const ListDocument& document) {
  const Kt_Variable* config = document.params.Find("CONFIG");
  return config && config->value.ToString().CompareNoCase("true") == 0;
}

const char* PackingName(Packing packing) {
  switch (packing) {
    case Packing::Lzss: return "lzss";
    case Packing::Zlib: return "zlib";
    default: return "none";
  }
}

}  // namespace qxlist
