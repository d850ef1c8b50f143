#include "dataset/values/variable.h"

#include "dataset/text/compare.h"

Kt_VariableHandler& Kt_VariableHandler::Instance() noexcept {
  static Kt_VariableHandler handler;
  return handler;
}

int Kt_VariableHandler::Compare(const void* a, const void* b) const noexcept {
  return CompareNoCase(static_cast<const Kt_Variable*>(a)->name.c_str(),
                       static_cast<const Kt_Variable*>(b)->name.c_str());
}

int Kt_ParamList::IndexOf(const char* name) const noexcept {
  Kt_Variable key;
  key.name = name;
  return Kt_PtrList::Find(&key);
}

Kt_Variable* Kt_ParamList::Find(const char* name) const noexcept { return At(IndexOf(name)); }

int Kt_ParamList::Set(const Kt_AString& name, const Kt_Variant& value) noexcept {
  int index = IndexOf(name.c_str());
  if (index >= 0) return SetAt(index, value);  // the entry keeps the letter case of its name
  Kt_Variable entry;
  entry.name = name;
  entry.value = value;
  return Add(&entry);
}

int Kt_ParamList::SetAt(int index, const Kt_Variant& value) noexcept {
  Kt_Variable* entry = At(index);
  if (!entry) return -1;
  entry->value = value;
  return index;
}

int Kt_ParamList::SetAt(int index, const Kt_AString& text) noexcept {
  return SetAt(index, Kt_Variant::FromString(text));
}
