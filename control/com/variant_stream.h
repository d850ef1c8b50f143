#pragma once
// The byte form of a VARIANT in a persisted stream: its type (16 bits) and its value (numbers in
// their natural size, little-endian; a string as its byte length in 32 bits and its UTF-16 text).
// Values of other types are written as their text.
#include <windows.h>
#include <oaidl.h>

#include <cstddef>
#include <vector>

namespace kt::com {

// Appends the form of `value` to `out`. E_OUTOFMEMORY or a conversion failure leaves `out` as
// it was.
HRESULT AppendVariant(const VARIANT& value, std::vector<BYTE>& out);

// Reads one value at `position` (advanced past it) into `value` (cleared first). Fails with
// STG_E_READFAULT when the bytes end inside the value, DISP_E_BADVARTYPE for a type the writer
// never writes.
HRESULT ReadVariant(const std::vector<BYTE>& bytes, size_t& position, VARIANT* value);

void AppendDword(DWORD value, std::vector<BYTE>& out);
bool ReadDword(const std::vector<BYTE>& bytes, size_t& position, DWORD& value);

}  // namespace kt::com
