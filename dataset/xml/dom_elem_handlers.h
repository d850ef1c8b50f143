#ifndef KT_DATASET_DOM_ELEM_HANDLERS_H
#define KT_DATASET_DOM_ELEM_HANDLERS_H

#include "dataset/xml/dom_elem.h"
#include "dataset/xml/dom_elem_list.h"
#include "dataset/values/ptr_list.h"

// Element handlers that let a Kt_PtrList hold document-tree nodes (Kt_DOMElem) or node lists
// (Kt_DOMElemList). Copying is a deep copy; there is no order (Compare always reports -1), so
// such lists are never kept sorted. Each handler has one shared instance.

class Kt_DOMElemHandler : public Kt_ListObjHandler {
 public:
  static Kt_DOMElemHandler& Instance() noexcept;
  void* Construct(void* storage) noexcept override;
  void Destroy(void* element) noexcept override;
  // False when memory runs out or the source is deeper than kDomMaxDepth.
  bool Copy(void* target, const void* source) noexcept override;
  int Compare(const void* a, const void* b) const noexcept override;

 private:
  Kt_DOMElemHandler() noexcept : Kt_ListObjHandler(sizeof(Kt_DOMElem)) {}
};

class Kt_DOMElemListHandler : public Kt_ListObjHandler {
 public:
  static Kt_DOMElemListHandler& Instance() noexcept;
  void* Construct(void* storage) noexcept override;
  void Destroy(void* element) noexcept override;
  bool Copy(void* target, const void* source) noexcept override;
  int Compare(const void* a, const void* b) const noexcept override;

 private:
  Kt_DOMElemListHandler() noexcept : Kt_ListObjHandler(sizeof(Kt_DOMElemList)) {}
};

#endif
