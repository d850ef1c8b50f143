#ifndef KT_DATASET_LIST_HANDLERS_H
#define KT_DATASET_LIST_HANDLERS_H

#include "dataset/text/astring.h"
#include "dataset/text/buffer.h"
#include "dataset/values/ptr_list.h"
#include "dataset/values/variant.h"
#include "dataset/text/wstring.h"

// Element handlers of the library's value types. Each has one shared instance.

// Byte-wise, case-sensitive order; the empty string first.
class Kt_AStringHandler : public Kt_TypedHandler<Kt_AString> {
 public:
  static Kt_AStringHandler& Instance() noexcept;
  int Compare(const void* a, const void* b) const noexcept override;
};

// Code-unit order; the empty string first.
class Kt_WStringHandler : public Kt_TypedHandler<Kt_WString> {
 public:
  static Kt_WStringHandler& Instance() noexcept;
  int Compare(const void* a, const void* b) const noexcept override;
};

// Shorter blocks first, equal sizes byte-wise.
class Kt_BufferHandler : public Kt_TypedHandler<Kt_Buffer> {
 public:
  static Kt_BufferHandler& Instance() noexcept;
  int Compare(const void* a, const void* b) const noexcept override;
};

// Values have no list order: always -1, so value lists are never kept sorted.
class Kt_VariantHandler : public Kt_TypedHandler<Kt_Variant> {
 public:
  static Kt_VariantHandler& Instance() noexcept;
  int Compare(const void* a, const void* b) const noexcept override;
};

#endif
