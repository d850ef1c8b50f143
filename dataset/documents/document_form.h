#ifndef KT_DATASET_DOCUMENT_FORM_H
#define KT_DATASET_DOCUMENT_FORM_H

#include <cstddef>
#include <vector>

#include "dataset/text/astring.h"
#include "dataset/model/dataset.h"
#include "dataset/documents/document.h"
#include "dataset/values/variable.h"

// The form a list document came in: packed or not, binary or XML text, and its encoding. A list
// read in one form is written back in the same form, so that a local copy of a server's list
// looks like the server's.
struct Kt_DocumentForm {
  int packing = 0;          // 0 (not packed), Kt_Packer::kLzss or Kt_Packer::kZlib
  bool binary = false;      // the binary form (IsBinaryDocument), else XML text
  unsigned codePage = 0;    // of the text (XML) or of the strings (binary), as LoadDocument gives it
  Kt_AString encodingName;  // as the declaration spells it; empty when it names none
};

// Reads a document in any form: a packed envelope (either variant) is unpacked first, then the
// document is read by LoadDocument. `form` receives what was found. Returns the number of
// datasets, or -1 with the reason in `status` (optional): a damaged envelope gives
// Kt_DocumentError::DamagedEnvelope, anything else LoadDocument's reason.
int LoadDocumentInAnyForm(const unsigned char* data, std::size_t size, Kt_ParamList& params,
                          Kt_DatasetList& datasets, Kt_DocumentForm& form,
                          Kt_DocumentStatus* status = nullptr) noexcept;

inline int LoadDocumentInAnyForm(const std::vector<unsigned char>& data, Kt_ParamList& params,
                                 Kt_DatasetList& datasets, Kt_DocumentForm& form,
                                 Kt_DocumentStatus* status = nullptr) noexcept {
  return LoadDocumentInAnyForm(data.data(), data.size(), params, datasets, form, status);
}

// Writes a document in `form` (SaveDocument, then Pack with the form's variant; `zlibLevel` is
// the zlib level from -1 to 9). The declaration names the form's encodingName when it has one,
// else its code page's name. Returns the length written, or -1 (with `out` empty) when
// SaveDocument or packing fails.
std::ptrdiff_t SaveDocumentInForm(const Kt_ParamList& params, const Kt_DatasetList& datasets, int selection,
                                  const Kt_DocumentForm& form, std::vector<unsigned char>& out,
                                  int zlibLevel = -1) noexcept;

#endif
