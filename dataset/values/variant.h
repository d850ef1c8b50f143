#ifndef KT_DATASET_VARIANT_H
#define KT_DATASET_VARIANT_H

#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>
#include <vector>

#include "dataset/text/astring.h"
#include "dataset/text/buffer.h"
#include "dataset/values/variant_object.h"
#include "dataset/values/variant_types.h"

// A typed value: a 16-bit kind code and an 8-byte payload (see variant_types.h for the kinds).
// Copies are independent: strings and byte blocks share their copy-on-write storage, arrays are
// copied item by item, objects are shared by reference count, references keep pointing at the
// same (not owned) value. Conversions never fail: text that is not a number converts to 0.
class Kt_Variant {
 public:
  Kt_Variant() noexcept { m_payload.currency = 0; }
  Kt_Variant(const Kt_Variant& other) noexcept;
  Kt_Variant(Kt_Variant&& other) noexcept : m_kind(other.m_kind) { TakePayload(other); }
  Kt_Variant& operator=(const Kt_Variant& other) noexcept;
  Kt_Variant& operator=(Kt_Variant&& other) noexcept {
    if (this != &other) {
      Kt_Variant old(std::move(*this));  // released after the move, in case other lives inside it
      m_kind = other.m_kind;
      TakePayload(other);
    }
    return *this;
  }
  ~Kt_Variant() {
    if (m_kind == Kt_VarKind::String) {
      m_payload.text.~Kt_AString();  // the common case of every list cell, inline
    } else if (OwnsPayload()) {
      ReleasePayload();
    }
  }

  static Kt_Variant FromInt(std::int32_t value) noexcept;
  static Kt_Variant FromDouble(double value) noexcept;
  static Kt_Variant FromCurrency(std::int64_t tenThousandths) noexcept;
  static Kt_Variant FromDate(double days) noexcept;
  static Kt_Variant FromString(const Kt_AString& text) noexcept;
  static Kt_Variant FromString(Kt_AString&& text) noexcept;
  // The shared null value that lookups return for a missing column or parameter.
  static const Kt_Variant& Null() noexcept;

  Kt_VarKind Kind() const noexcept { return m_kind; }
  bool IsNull() const noexcept { return m_kind == Kt_VarKind::Null; }

  void SetNull() noexcept { Reset(); }
  void SetInt(std::int32_t value) noexcept;
  void SetDouble(double value) noexcept;
  void SetCurrency(std::int64_t tenThousandths) noexcept;
  void SetDate(double days) noexcept;
  void SetString(const Kt_AString& text) noexcept;
  void SetString(Kt_AString&& text) noexcept {  // inline: every text cell of a list is set this way
    Kt_AString keep(std::move(text));  // the text may live inside this value
    Reset();
    new (&m_payload.text) Kt_AString(std::move(keep));
    m_kind = Kt_VarKind::String;
  }
  bool SetString(const char* bytes, std::size_t length) noexcept;
  void SetBytes(const Kt_Buffer& bytes) noexcept;
  bool SetBytes(const void* bytes, std::size_t size) noexcept;
  // An empty array; items are added with AppendItem.
  void SetArray() noexcept;
  // False when the value is not an array.
  bool AppendItem(const Kt_Variant& item) noexcept;
  // Takes a reference of its own on the object (null gives a null value).
  void SetObject(Kt_VariantObject* object) noexcept;
  // Points at another value without owning it; the target must outlive this value.
  void SetReference(Kt_Variant* target) noexcept;

  // Kind-specific content; a neutral answer (0, empty, null) for another kind.
  std::int32_t IntValue() const noexcept { return m_kind == Kt_VarKind::Integer ? m_payload.integer : 0; }
  double DoubleValue() const noexcept { return m_kind == Kt_VarKind::Decimal ? m_payload.real : 0.0; }
  std::int64_t CurrencyValue() const noexcept { return m_kind == Kt_VarKind::Currency ? m_payload.currency : 0; }
  double DateValue() const noexcept { return m_kind == Kt_VarKind::Date ? m_payload.real : 0.0; }
  const Kt_AString& StringValue() const noexcept;
  const Kt_Buffer& BytesValue() const noexcept;
  std::size_t ItemCount() const noexcept;
  const Kt_Variant* Item(std::size_t index) const noexcept;
  Kt_VariantObject* ObjectValue() const noexcept { return m_kind == Kt_VarKind::Object ? m_payload.object : nullptr; }
  Kt_Variant* ReferenceTarget() const noexcept {
    return m_kind == Kt_VarKind::Reference ? m_payload.reference : nullptr;
  }

  // Text form: "" for null, decimal digits, DecimalToText, CurrencyToText, the document date
  // text, the string itself, "[binary]", "[" items joined by "," "]", the object's text or
  // "[object:<class>]", the referenced value's text.
  Kt_AString ToString() const noexcept;
  // Saturates to the 32-bit range; see the conversion rules in variant_convert.cpp.
  std::int32_t ToInt() const noexcept;
  double ToDouble() const noexcept;

  // Converts this value, or `source` into this value, to `target` (a reference is followed
  // first; an empty string to a number or date gives null). False only for a target kind that
  // values cannot be converted to (array, object, reference, unknown codes); the value is then
  // unchanged.
  bool ChangeType(Kt_VarKind target) noexcept;
  bool ChangeType(Kt_VarKind target, const Kt_Variant& source) noexcept;

  // Ordering of values of one kind (references followed; different kinds give 1).
  static int Compare(const Kt_Variant& a, const Kt_Variant& b) noexcept;
  static bool Equals(const Kt_Variant& a, const Kt_Variant& b) noexcept;

 private:
  using Items = std::vector<Kt_Variant>;
  union Payload {
    std::int32_t integer;
    double real;  // decimal and date
    std::int64_t currency;
    Kt_AString text;
    Kt_Buffer bytes;
    Items* items;
    Kt_VariantObject* object;
    Kt_Variant* reference;
    Payload() noexcept {}
    ~Payload() {}
  };
  static_assert(sizeof(Payload) == 8, "the payload is 8 bytes");

  bool OwnsPayload() const noexcept {
    return m_kind == Kt_VarKind::String || m_kind == Kt_VarKind::Blob || m_kind == Kt_VarKind::Array ||
           m_kind == Kt_VarKind::Object;
  }
  void ReleasePayload() noexcept;
  void Reset() noexcept {
    if (OwnsPayload()) ReleasePayload();
    m_kind = Kt_VarKind::Null;
    m_payload.currency = 0;
  }
  // Moves other's payload of kind m_kind into this value's unset payload; other becomes null.
  void TakePayload(Kt_Variant& other) noexcept {
    switch (m_kind) {
      case Kt_VarKind::String:
        new (&m_payload.text) Kt_AString(std::move(other.m_payload.text));
        other.m_payload.text.~Kt_AString();
        break;
      case Kt_VarKind::Blob:
        new (&m_payload.bytes) Kt_Buffer(std::move(other.m_payload.bytes));
        other.m_payload.bytes.~Kt_Buffer();
        break;
      default:
        CopyScalar(other.m_payload);
        break;
    }
    other.m_kind = Kt_VarKind::Null;
    other.m_payload.currency = 0;
  }
  void CopyFrom(const Kt_Variant& other) noexcept;
  // Copies the payload of a kind that owns nothing (m_kind says which), reading only the union
  // member that kind uses; a null value's payload is all zero.
  void CopyScalar(const Payload& from) noexcept {
    switch (m_kind) {
      case Kt_VarKind::Integer:
        m_payload.currency = 0;
        m_payload.integer = from.integer;
        break;
      case Kt_VarKind::Decimal:
      case Kt_VarKind::Date:
        m_payload.real = from.real;
        break;
      case Kt_VarKind::Currency:
        m_payload.currency = from.currency;
        break;
      case Kt_VarKind::Reference:
        m_payload.reference = from.reference;
        break;
      case Kt_VarKind::Array:
        m_payload.items = from.items;
        break;
      case Kt_VarKind::Object:
        m_payload.object = from.object;
        break;
      default:
        m_payload.currency = 0;
        break;
    }
  }

  Kt_VarKind m_kind = Kt_VarKind::Null;
  Payload m_payload;
};

#endif
