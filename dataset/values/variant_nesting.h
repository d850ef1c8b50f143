#ifndef KT_DATASET_VARIANT_NESTING_H
#define KT_DATASET_VARIANT_NESTING_H

#include "dataset/values/variant.h"

// References may form chains or cycles and arrays may nest: every walk through values stops at
// this depth, treating what lies deeper as null.
constexpr int kMaxValueNesting = 32;

// The value at the end of a chain of references; `value` itself when it is no reference. Null
// for a null pointer at the end of the chain or a chain longer than kMaxValueNesting.
inline const Kt_Variant* FollowReferences(const Kt_Variant& value) noexcept {
  const Kt_Variant* current = &value;
  for (int depth = 0; current && current->Kind() == Kt_VarKind::Reference; ++depth) {
    if (depth >= kMaxValueNesting) return nullptr;
    current = current->ReferenceTarget();
  }
  return current;
}

#endif
