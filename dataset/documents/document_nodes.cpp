#include "dataset/documents/document_nodes.h"

#include "dataset/values/date_value.h"

#include <new>

#include "dataset/text/codepage.h"
#include "dataset/text/encoding_names.h"

namespace kt_document {

const Kt_AString kXml("xml");
const Kt_AString kVersion("version");
const Kt_AString kEncoding("encoding");
const Kt_AString kRoot("root");
const Kt_AString kParams("params");
const Kt_AString kParam("param");
const Kt_AString kDataset("dataset");
const Kt_AString kColumn("column");
const Kt_AString kColInfo("colinfo");
const Kt_AString kRecord("record");
const Kt_AString kOrgRecord("org_record");
const Kt_AString kId("id");
const Kt_AString kType("type");
const Kt_AString kSize("size");
const Kt_AString kMapValue("MapValue");
const Kt_AString kEncrypt("encrypt");
const Kt_AString kBase64("base64");
const Kt_AString kSumm("summ");
const Kt_AString kBindCol("bindcol");

bool AppendDeclaration(Kt_DOMParent parent, unsigned codePage) noexcept {
  auto* declaration = new (std::nothrow) Kt_DOMElem(NodeDeclaration, kXml);
  if (!declaration) return false;
  if (!declaration->AddAttribute(kVersion, "1.0") ||
      !declaration->AddAttribute(kEncoding, NameFromCodePage(ResolveCodePage(codePage)))) {
    delete declaration;
    return false;
  }
  return parent.Append(declaration);
}

const Kt_AString& ElementValueText(const Kt_DOMElem& element) noexcept {
  static const Kt_AString kEmpty;
  if (element.Kind() == NodeTextElement || element.Kind() == NodeCDataElement) return element.Text();
  if (element.ChildCount() == 1) return element.ChildAt(0)->Text();
  return kEmpty;
}

Kt_AString DocumentValueText(const Kt_Variant& value) noexcept {
  return value.Kind() == Kt_VarKind::Date ? DocumentDateText(value.DateValue()) : value.ToString();
}

}  // namespace kt_document
