#include "dataset/values/variant.h"

#include <new>
#include <utility>

Kt_Variant::Kt_Variant(const Kt_Variant& other) noexcept {
  m_payload.currency = 0;
  CopyFrom(other);
}

Kt_Variant& Kt_Variant::operator=(const Kt_Variant& other) noexcept {
  if (this != &other) {
    Kt_Variant copy(other);  // other may live inside this value (an array item)
    *this = std::move(copy);
  }
  return *this;
}

void Kt_Variant::CopyFrom(const Kt_Variant& other) noexcept {
  Reset();
  switch (other.m_kind) {
    case Kt_VarKind::String:
      new (&m_payload.text) Kt_AString(other.m_payload.text);
      break;
    case Kt_VarKind::Blob:
      new (&m_payload.bytes) Kt_Buffer(other.m_payload.bytes);
      break;
    case Kt_VarKind::Array:
      try {
        m_payload.items = new Items(*other.m_payload.items);
      } catch (...) {
        return;  // out of memory: the copy stays null
      }
      break;
    case Kt_VarKind::Object:
      m_payload.object = other.m_payload.object;
      m_payload.object->AddRef();
      break;
    default:
      m_kind = other.m_kind;
      CopyScalar(other.m_payload);
      break;
  }
  m_kind = other.m_kind;
}

void Kt_Variant::ReleasePayload() noexcept {
  switch (m_kind) {
    case Kt_VarKind::String:
      m_payload.text.~Kt_AString();
      break;
    case Kt_VarKind::Blob:
      m_payload.bytes.~Kt_Buffer();
      break;
    case Kt_VarKind::Array:
      delete m_payload.items;
      break;
    case Kt_VarKind::Object:
      m_payload.object->Release();
      break;
    default:
      break;
  }
}

Kt_Variant Kt_Variant::FromInt(std::int32_t value) noexcept {
  Kt_Variant v;
  v.SetInt(value);
  return v;
}

Kt_Variant Kt_Variant::FromDouble(double value) noexcept {
  Kt_Variant v;
  v.SetDouble(value);
  return v;
}

Kt_Variant Kt_Variant::FromCurrency(std::int64_t tenThousandths) noexcept {
  Kt_Variant v;
  v.SetCurrency(tenThousandths);
  return v;
}

Kt_Variant Kt_Variant::FromDate(double days) noexcept {
  Kt_Variant v;
  v.SetDate(days);
  return v;
}

Kt_Variant Kt_Variant::FromString(const Kt_AString& text) noexcept {
  Kt_Variant v;
  v.SetString(text);
  return v;
}

Kt_Variant Kt_Variant::FromString(Kt_AString&& text) noexcept {
  Kt_Variant v;
  v.SetString(std::move(text));
  return v;
}

const Kt_Variant& Kt_Variant::Null() noexcept {
  static const Kt_Variant kNull;
  return kNull;
}

void Kt_Variant::SetInt(std::int32_t value) noexcept {
  Reset();
  m_kind = Kt_VarKind::Integer;
  m_payload.integer = value;
}

void Kt_Variant::SetDouble(double value) noexcept {
  Reset();
  m_kind = Kt_VarKind::Decimal;
  m_payload.real = value;
}

void Kt_Variant::SetCurrency(std::int64_t tenThousandths) noexcept {
  Reset();
  m_kind = Kt_VarKind::Currency;
  m_payload.currency = tenThousandths;
}

void Kt_Variant::SetDate(double days) noexcept {
  Reset();
  m_kind = Kt_VarKind::Date;
  m_payload.real = days;
}

void Kt_Variant::SetString(const Kt_AString& text) noexcept {
  SetString(Kt_AString(text));  // text may be this value's own string: copied before the reset
}

bool Kt_Variant::SetString(const char* bytes, std::size_t length) noexcept {
  Kt_AString text;
  if (!text.Assign(bytes, length)) return false;
  SetString(text);
  return true;
}

void Kt_Variant::SetBytes(const Kt_Buffer& bytes) noexcept {
  Kt_Buffer keep(bytes);
  Reset();
  new (&m_payload.bytes) Kt_Buffer(std::move(keep));
  m_kind = Kt_VarKind::Blob;
}

bool Kt_Variant::SetBytes(const void* bytes, std::size_t size) noexcept {
  Kt_Buffer buffer;
  if (!buffer.Assign(bytes, size)) return false;
  SetBytes(buffer);
  return true;
}

void Kt_Variant::SetArray() noexcept {
  Items* items = new (std::nothrow) Items();
  Reset();
  if (!items) return;
  m_payload.items = items;
  m_kind = Kt_VarKind::Array;
}

bool Kt_Variant::AppendItem(const Kt_Variant& item) noexcept {
  if (m_kind != Kt_VarKind::Array) return false;
  Kt_Variant copy(item);  // item may be one of this array's own items
  try {
    m_payload.items->push_back(std::move(copy));
  } catch (...) {
    return false;
  }
  return true;
}

void Kt_Variant::SetObject(Kt_VariantObject* object) noexcept {
  if (object) object->AddRef();
  Reset();
  if (!object) return;
  m_payload.object = object;
  m_kind = Kt_VarKind::Object;
}

void Kt_Variant::SetReference(Kt_Variant* target) noexcept {
  Reset();
  m_payload.reference = target;
  m_kind = Kt_VarKind::Reference;
}

const Kt_AString& Kt_Variant::StringValue() const noexcept {
  static const Kt_AString kEmpty;
  return m_kind == Kt_VarKind::String ? m_payload.text : kEmpty;
}

const Kt_Buffer& Kt_Variant::BytesValue() const noexcept {
  static const Kt_Buffer kEmpty;
  return m_kind == Kt_VarKind::Blob ? m_payload.bytes : kEmpty;
}

std::size_t Kt_Variant::ItemCount() const noexcept {
  return m_kind == Kt_VarKind::Array ? m_payload.items->size() : 0;
}

const Kt_Variant* Kt_Variant::Item(std::size_t index) const noexcept {
  return index < ItemCount() ? &(*m_payload.items)[index] : nullptr;
}
