#ifndef KT_DATASET_VARIANT_OBJECT_H
#define KT_DATASET_VARIANT_OBJECT_H

#include "dataset/text/astring.h"

class Kt_Variant;

// A scriptable object held by a value of kind Object. Values hold one reference each (AddRef on
// copy, Release on destruction). Nothing in this system creates such objects; the interface
// keeps what values need of them: their own text, a default property, a class name and an
// equality test.
class Kt_VariantObject {
 public:
  virtual void AddRef() noexcept = 0;
  virtual void Release() noexcept = 0;
  // The object's own text form, when it has one.
  virtual bool RenderText(Kt_AString& text) const noexcept = 0;
  // The value of the default property, when it has one.
  virtual bool DefaultProperty(Kt_Variant& value) const noexcept = 0;
  // Null when the object has no class name.
  virtual const char* ClassName() const noexcept = 0;
  virtual bool IsEqualTo(const Kt_VariantObject& other) const noexcept = 0;

 protected:
  virtual ~Kt_VariantObject() = default;
};

#endif
