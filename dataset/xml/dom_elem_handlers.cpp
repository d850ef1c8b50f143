#include "dataset/xml/dom_elem_handlers.h"

#include <new>

Kt_DOMElemHandler& Kt_DOMElemHandler::Instance() noexcept {
  static Kt_DOMElemHandler instance;
  return instance;
}

void* Kt_DOMElemHandler::Construct(void* storage) noexcept { return new (storage) Kt_DOMElem(); }

void Kt_DOMElemHandler::Destroy(void* element) noexcept { static_cast<Kt_DOMElem*>(element)->~Kt_DOMElem(); }

bool Kt_DOMElemHandler::Copy(void* target, const void* source) noexcept {
  return static_cast<Kt_DOMElem*>(target)->CopyFrom(*static_cast<const Kt_DOMElem*>(source));
}

int Kt_DOMElemHandler::Compare(const void*, const void*) const noexcept { return -1; }

Kt_DOMElemListHandler& Kt_DOMElemListHandler::Instance() noexcept {
  static Kt_DOMElemListHandler instance;
  return instance;
}

void* Kt_DOMElemListHandler::Construct(void* storage) noexcept { return new (storage) Kt_DOMElemList(); }

void Kt_DOMElemListHandler::Destroy(void* element) noexcept {
  static_cast<Kt_DOMElemList*>(element)->~Kt_DOMElemList();
}

bool Kt_DOMElemListHandler::Copy(void* target, const void* source) noexcept {
  return static_cast<Kt_DOMElemList*>(target)->CopyFrom(*static_cast<const Kt_DOMElemList*>(source));
}

int Kt_DOMElemListHandler::Compare(const void*, const void*) const noexcept { return -1; }
