#ifndef KT_DATASET_DOCUMENT_NODES_H
#define KT_DATASET_DOCUMENT_NODES_H

#include <string_view>

#include "dataset/text/astring.h"
#include "dataset/xml/dom_elem.h"
#include "dataset/xml/dom_parent.h"
#include "dataset/values/variant.h"

// Small pieces shared by the readers and writers of dataset documents.
namespace kt_document {

// Element and attribute names of dataset documents, as they are written.
extern const Kt_AString kXml;
extern const Kt_AString kVersion;
extern const Kt_AString kEncoding;
extern const Kt_AString kRoot;
extern const Kt_AString kParams;
extern const Kt_AString kParam;
extern const Kt_AString kDataset;
extern const Kt_AString kColumn;
extern const Kt_AString kColInfo;
extern const Kt_AString kRecord;
extern const Kt_AString kOrgRecord;
extern const Kt_AString kId;
extern const Kt_AString kType;
extern const Kt_AString kSize;
extern const Kt_AString kMapValue;
extern const Kt_AString kEncrypt;
extern const Kt_AString kBase64;
extern const Kt_AString kSumm;
extern const Kt_AString kBindCol;

inline std::string_view View(const Kt_AString& text) noexcept { return std::string_view(text.c_str(), text.Length()); }

// Adds an attribute unless its value is empty: documents never carry empty attributes.
inline bool AddNonEmptyAttribute(Kt_DOMElem& node, const Kt_AString& name, const Kt_AString& value) noexcept {
  return value.IsEmpty() || node.AddAttribute(name, value);
}

// Appends the declaration node "xml" with "version" "1.0" and "encoding" `NameFromCodePage` of
// the code page (0: the system code page).
bool AppendDeclaration(Kt_DOMParent parent, unsigned codePage) noexcept;

// The text a value is stored as in a document: dates in their document form (DocumentDateText),
// every other value in its text form (Kt_Variant::ToString), so that it reads back as it was.
Kt_AString DocumentValueText(const Kt_Variant& value) noexcept;

// The text an element holds as a value: its own text for kinds 51 and 52, else the text of its
// only child when it has exactly one, else empty.
const Kt_AString& ElementValueText(const Kt_DOMElem& element) noexcept;

}  // namespace kt_document

#endif
