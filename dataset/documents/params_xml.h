#ifndef KT_DATASET_PARAMS_XML_H
#define KT_DATASET_PARAMS_XML_H

#include "dataset/xml/dom_elem.h"
#include "dataset/xml/dom_parent.h"
#include "dataset/values/variable.h"

// The parameter block of dataset documents:
//   <params>
//     <param id="NAME" type="STRING">text</param>     one per parameter, in list order
//     <param id="EMPTY" type="null"/>                 a null value
//   </params>
// and <params/> for an empty list.

// Appends the "params" element to `parent`, after an "xml" declaration (with the system code
// page's name) when asked. Each parameter is a "param" element with "id" and "type" (the type name
// of its value, "null" for a null value) and, for a non-null value, a text child with the value's
// text form. Returns the number of parameters, -1 when memory runs out (nothing is appended
// then, apart from a declaration).
int WriteParams(const Kt_ParamList& params, Kt_DOMParent parent, bool withDeclaration) noexcept;

// Reads the "param" children of a "params" element into the list (emptied first with `clear`):
// the text is the element's own text (kinds 51 and 52), else its first child's text when that
// child is a text or CDATA node. Type INTEGER (any name TypeFromName reads as integer) is read by
// text-to-integer, DECIMAL by text-to-number; type "null" without text gives a null value;
// every other type is kept as a string holding the text. A later parameter replaces an earlier
// one of the same name (case-insensitive). Returns the number of parameters in the list, -1
// when memory runs out.
int ReadParams(Kt_ParamList& params, const Kt_DOMElem& element, bool clear) noexcept;

#endif
