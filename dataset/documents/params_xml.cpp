#include "dataset/documents/params_xml.h"

#include <new>

#include "dataset/text/compare.h"
#include "dataset/documents/document_nodes.h"
#include "dataset/text/number_text.h"
#include "dataset/xml/xml_names.h"

using namespace kt_document;

namespace {

// Builds one "param" element; false when memory runs out.
bool AddParam(Kt_DOMElem& params, const Kt_Variable& entry) noexcept {
  const bool isNull = entry.value.IsNull();
  Kt_DOMElem* param = params.AddChild(isNull ? NodeEmptyElement : NodeElement, kParam);
  if (!param || !AddNonEmptyAttribute(*param, kId, entry.name) || !param->AddAttribute(kType, TypeName(entry.value.Kind()))) {
    return false;
  }
  if (isNull) return true;
  Kt_DOMElem* text = param->AddChild(NodeText);
  if (!text) return false;
  text->SetText(DocumentValueText(entry.value));
  return true;
}

const Kt_AString& ParamText(const Kt_DOMElem& param) noexcept {
  static const Kt_AString kEmpty;
  if (param.Kind() == NodeTextElement || param.Kind() == NodeCDataElement) return param.Text();
  const Kt_DOMElem* first = param.ChildAt(0);
  if (first && (first->Kind() == NodeText || first->Kind() == NodeCData)) return first->Text();
  return kEmpty;
}

Kt_Variant ParamValue(const Kt_AString& type, const Kt_AString& text) noexcept {
  switch (TypeFromName(type.c_str())) {
    case Kt_VarKind::Integer:
      return Kt_Variant::FromInt(TextToInt(text));
    case Kt_VarKind::Decimal:
      return Kt_Variant::FromDouble(TextToDouble(text));
    default:
      if (text.IsEmpty() && CompareNoCase(type.c_str(), "null") == 0) return Kt_Variant();
      return Kt_Variant::FromString(text);
  }
}

}  // namespace

int WriteParams(const Kt_ParamList& params, Kt_DOMParent parent, bool withDeclaration) noexcept {
  if (withDeclaration && !AppendDeclaration(parent, 0)) return -1;
  const int count = params.Count();
  auto* element = new (std::nothrow) Kt_DOMElem(count == 0 ? NodeEmptyElement : NodeElement, kParams);
  if (!element) return -1;
  for (int i = 0; i < count; ++i) {
    const Kt_Variable* entry = params.At(i);
    if (entry && !AddParam(*element, *entry)) {
      delete element;
      return -1;
    }
  }
  return parent.Append(element) ? count : -1;
}

int ReadParams(Kt_ParamList& params, const Kt_DOMElem& element, bool clear) noexcept {
  if (clear) params.Clear();
  for (std::size_t i = 0; i < element.ChildCount(); ++i) {
    const Kt_DOMElem& param = *element.ChildAt(i);
    if (!XmlNamesEqual(param.NameView(), View(kParam))) continue;
    const Kt_AString type = param.GetAttribute(View(kType));
    const Kt_AString id = param.GetAttribute(View(kId));
    if (params.Set(id, ParamValue(type, ParamText(param))) < 0) return -1;
  }
  return params.Count();
}
