#include "dataset/documents/document_form.h"

#include <string_view>

#include "dataset/binary/binary_document_format.h"
#include "dataset/binary/binary_document_reader.h"
#include "dataset/xml/dom_document.h"
#include "dataset/binary/packer.h"
#include "dataset/xml/xml_encoding.h"

namespace {

constexpr unsigned kUtf16CodePage = 1200;

// The encoding name as the document's declaration spells it, so that a write that keeps the
// encoding also keeps its name ("windows-1252" stays "windows-1252", not another name of code
// page 1252). Eight-bit XML text is scanned where it lies; binary documents and UTF-16 text keep
// their declaration in a form only a parse reads.
Kt_AString DeclaredEncoding(const std::vector<unsigned char>& plain, bool binary) {
  const std::string_view raw(reinterpret_cast<const char*>(plain.data()), plain.size());
  if (!binary && DetectXmlEncoding(raw).codePage != kUtf16CodePage) {
    const std::string_view name = DeclaredEncodingName(raw);
    return Kt_AString(name.data(), name.size());
  }
  Kt_DOMDocument tree;
  if (binary) {
    if (ReadBinaryDocument(plain.data(), plain.size(), tree) < 0) return Kt_AString();
  } else if (tree.LoadText(raw) <= 0) {
    return Kt_AString();
  }
  const Kt_DOMElem* declaration = tree.FindNode("xml");
  return declaration ? declaration->GetAttribute("encoding") : Kt_AString();
}

}  // namespace

int LoadDocumentInAnyForm(const unsigned char* data, std::size_t size, Kt_ParamList& params,
                          Kt_DatasetList& datasets, Kt_DocumentForm& form, Kt_DocumentStatus* status) noexcept {
  form = Kt_DocumentForm();
  int variant = 0;
  const bool packed = Kt_Packer::IsPacked(data, size, &variant);
  std::vector<unsigned char> plain;
  if (Kt_Packer::Unpack(data, size, plain) != Kt_Packer::kOk) {
    if (status != nullptr) {
      *status = Kt_DocumentStatus();
      status->error = Kt_DocumentError::DamagedEnvelope;
    }
    return -1;
  }
  form.packing = packed ? variant : 0;
  form.binary = IsBinaryDocument(plain.data(), plain.size());
  const int count = LoadDocument(plain, params, datasets, form.codePage, status);
  if (count >= 0) form.encodingName = DeclaredEncoding(plain, form.binary);
  return count;
}

std::ptrdiff_t SaveDocumentInForm(const Kt_ParamList& params, const Kt_DatasetList& datasets, int selection,
                                  const Kt_DocumentForm& form, std::vector<unsigned char>& out,
                                  int zlibLevel) noexcept {
  std::vector<unsigned char> plain;
  const char* encodingName = form.encodingName.IsEmpty() ? nullptr : form.encodingName.c_str();
  if (SaveDocument(params, datasets, selection, encodingName, form.codePage, form.binary, plain) < 0) {
    out.clear();
    return -1;
  }
  if (form.packing == 0) {
    out.swap(plain);
    return static_cast<std::ptrdiff_t>(out.size());
  }
  const int level = form.packing == Kt_Packer::kZlib ? zlibLevel : Kt_Packer::kDefaultLevel;
  if (Kt_Packer::Pack(plain, out, form.packing, level) != Kt_Packer::kOk) {
    out.clear();
    return -1;
  }
  return static_cast<std::ptrdiff_t>(out.size());
}
