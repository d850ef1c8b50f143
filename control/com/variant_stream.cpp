#include "control/com/variant_stream.h"

#include <cstring>

#include "control/com/variant.h"

namespace kt::com {
namespace {

// The size of the value of a type written as raw bytes; 0 for the types without a value and for
// the types written in another way.
size_t FixedSize(VARTYPE type) {
  switch (type) {
    case VT_I1: case VT_UI1: return 1;
    case VT_I2: case VT_UI2: case VT_BOOL: return 2;
    case VT_I4: case VT_UI4: case VT_INT: case VT_UINT: case VT_R4: case VT_ERROR: return 4;
    case VT_I8: case VT_UI8: case VT_R8: case VT_CY: case VT_DATE: return 8;
    default: return 0;
  }
}

void AppendBytes(const void* data, size_t size, std::vector<BYTE>& out) {
  const BYTE* bytes = static_cast<const BYTE*>(data);
  out.insert(out.end(), bytes, bytes + size);
}

bool ReadBytes(const std::vector<BYTE>& bytes, size_t& position, void* target, size_t size) {
  if (bytes.size() - position < size) return false;
  std::memcpy(target, bytes.data() + position, size);
  position += size;
  return true;
}

}  // namespace

void AppendDword(DWORD value, std::vector<BYTE>& out) { AppendBytes(&value, sizeof value, out); }

bool ReadDword(const std::vector<BYTE>& bytes, size_t& position, DWORD& value) {
  return ReadBytes(bytes, position, &value, sizeof value);
}

HRESULT AppendVariant(const VARIANT& value, std::vector<BYTE>& out) {
  VARTYPE type = V_VT(&value);
  const size_t fixed = FixedSize(type);
  if (type == VT_EMPTY || type == VT_NULL || fixed != 0) {
    AppendBytes(&type, sizeof type, out);
    AppendBytes(&V_UI1(&value), fixed, out);
    return S_OK;
  }
  Variant text;
  const HRESULT converted = ::VariantChangeType(text.Get(), const_cast<VARIANT*>(&value), VARIANT_ALPHABOOL, VT_BSTR);
  if (FAILED(converted)) return converted;
  const BSTR string = V_BSTR(text.Get());
  const DWORD length = ::SysStringByteLen(string);
  type = VT_BSTR;
  AppendBytes(&type, sizeof type, out);
  AppendDword(length, out);
  AppendBytes(string, length, out);
  return S_OK;
}

HRESULT ReadVariant(const std::vector<BYTE>& bytes, size_t& position, VARIANT* value) {
  ::VariantClear(value);
  VARTYPE type = VT_EMPTY;
  if (!ReadBytes(bytes, position, &type, sizeof type)) return STG_E_READFAULT;
  if (type == VT_BSTR) {
    DWORD length = 0;
    if (!ReadDword(bytes, position, length) || bytes.size() - position < length) return STG_E_READFAULT;
    BSTR string = ::SysAllocStringByteLen(reinterpret_cast<const char*>(bytes.data() + position), length);
    if (string == nullptr) return E_OUTOFMEMORY;
    position += length;
    V_VT(value) = VT_BSTR;
    V_BSTR(value) = string;
    return S_OK;
  }
  const size_t fixed = FixedSize(type);
  if (type != VT_EMPTY && type != VT_NULL && fixed == 0) return DISP_E_BADVARTYPE;
  VARIANT read;
  ::VariantInit(&read);
  if (!ReadBytes(bytes, position, &V_UI1(&read), fixed)) return STG_E_READFAULT;
  V_VT(&read) = type;
  *value = read;
  return S_OK;
}

}  // namespace kt::com
