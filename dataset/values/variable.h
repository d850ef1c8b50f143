#ifndef KT_DATASET_VARIABLE_H
#define KT_DATASET_VARIABLE_H

#include "dataset/text/astring.h"
#include "dataset/values/ptr_list.h"
#include "dataset/values/variant.h"

// A named value: a parameter, a constant column of a dataset.
struct Kt_Variable {
  Kt_AString name;
  Kt_Variant value;
};

// Orders variables by name, case-insensitively (double-byte aware, compare.h).
class Kt_VariableHandler : public Kt_TypedHandler<Kt_Variable> {
 public:
  static Kt_VariableHandler& Instance() noexcept;
  int Compare(const void* a, const void* b) const noexcept override;
};

// A parameter list: a sorted list of variables, so names are unique regardless of case. Used for
// the parameters of documents, name=value settings and the constant columns of datasets.
class Kt_ParamList : public Kt_PtrList {
 public:
  Kt_ParamList() noexcept : Kt_PtrList(Kt_VariableHandler::Instance(), true) {}

  Kt_Variable* At(int index) const noexcept { return Get<Kt_Variable>(index); }
  // The entry of that name (case-insensitive), or null.
  Kt_Variable* Find(const char* name) const noexcept;
  // Index of the entry of that name, or -1.
  int IndexOf(const char* name) const noexcept;
  // Adds the entry, or replaces the value of the entry of that name (which keeps its name as
  // first written); the entry's index, or -1 when memory ran out.
  int Set(const Kt_AString& name, const Kt_Variant& value) noexcept;
  // Stores a value (a text as a string value) at an index; the index, or -1 outside the list.
  int SetAt(int index, const Kt_Variant& value) noexcept;
  int SetAt(int index, const Kt_AString& text) noexcept;
  bool CopyFrom(const Kt_ParamList& other) noexcept { return Kt_PtrList::CopyFrom(other); }

  // Empties the list and fills it from name=value pairs: `a=1 b = "x y" c =2.5 d='q'`.
  // Tokens are cut at blanks, tabs, CR and LF outside quotes; a double or single quote runs to
  // the same quote, a backslash inside quotes takes the next character (\r \n \t stand for CR,
  // LF, tab), and a trail byte stays with its double-byte lead byte. A pair is `name=value`,
  // `name` `=value` or `name` `=` `value`. A quoted value loses its quotes and is a string; an
  // unquoted value of an optional sign and digits is an integer (a string when it does not fit
  // 32 bits), with one "." among the digits a decimal, and a string otherwise. A later pair
  // replaces an earlier one of the same name. Returns the count, -1 for a null text.
  int ParseParamString(const char* text) noexcept;
};

#endif
