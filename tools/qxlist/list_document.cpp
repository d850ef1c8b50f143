#include "tools/qxlist/list_document.h"

#include "dataset/documents/document_form.h"
#include "dataset/binary/packer.h"

namespace qxlist {
namespace {

Packing PackingOf(int variant) {
  return variant == Kt_Packer::kZlib ? Packing::Zlib : variant == Kt_Packer::kLzss ? Packing::Lzss : Packing::None;
}

int VariantOf(Packing packing) {
  return packing == Packing::Zlib ? Kt_Packer::kZlib : packing == Packing::Lzss ? Kt_Packer::kLzss : 0;
}

}  // namespace

bool ReadListDocument(const Bytes& data, ListDocument& document, WorkingCodePage& workingCodePage,
                      std::string& problem) {
  // The code page to work in comes from the unpacked bytes; a damaged envelope is reported by
  // the reading itself.
  Bytes plain;
  if (Kt_Packer::Unpack(data, plain) == Kt_Packer::kOk) workingCodePage.ChooseFor(plain);
  Kt_DocumentForm form;
  Kt_DocumentStatus status;
  if (LoadDocumentInAnyForm(data, document.params, document.datasets, form, &status) < 0) {
    problem = DescribeDocumentStatus(status).c_str();
    if (form.packing != 0) problem += " (after unpacking)";
    return false;
  }
  document.packing = PackingOf(form.packing);
  document.form = form.binary ? Form::Binary : Form::Xml;
  document.codePage = form.codePage;
  document.encodingName = form.encodingName.c_str();
  return true;
}

bool WriteListDocument(const ListDocument& document, const WriteChoice& choice, Bytes& data, std::string& problem) {
  Kt_DocumentForm form;
  form.packing = VariantOf(choice.packing);
  form.binary = choice.form == Form::Binary;
  form.codePage = choice.codePage;
  form.encodingName = choice.encodingName.c_str();
  if (SaveDocumentInForm(document.params, document.datasets, kSelectRecordsAndChanges, form, data, choice.level) < 0) {
    problem = "cannot be written in that form (a name or value it cannot hold, or text that the chosen "
              "encoding cannot hold exactly)";
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
