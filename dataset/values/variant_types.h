#ifndef KT_DATASET_VARIANT_TYPES_H
#define KT_DATASET_VARIANT_TYPES_H

#include <cstdint>

// Value kinds of Kt_Variant. The codes are used in memory only; documents carry the names.
enum class Kt_VarKind : std::uint16_t {
  Null = 0,
  Integer = 3,     // signed 32-bit
  Decimal = 5,     // IEEE double
  Currency = 6,    // signed 64-bit count of ten-thousandths
  Date = 7,        // double, days since 1 January of year 0 (see date_value.h)
  String = 8,      // Kt_AString
  Blob = 13,       // Kt_Buffer
  Array = 0x2000,  // list of Kt_Variant
  Object = 0x4000,     // Kt_VariantObject, reference-counted
  Reference = 0x8000,  // another Kt_Variant, not owned
};

// Column types of datasets; their own codes and names, distinct from the value kinds.
enum class Kt_ColType : std::uint16_t {
  String = 1,
  Int = 2,
  Decimal = 4,
  Currency = 5,
  Date = 8,
  Blob = 9,
  Url = 10,
  Long = 11,
  Char = 12,
};

// Value type names: "null", "INTEGER", "DECIMAL", "CURRENCY", "DATE", "STRING", "BLOB", "ARRAY",
// "object"; "UNKNOWN" for references and any other code.
const char* TypeName(std::uint16_t kindCode) noexcept;
inline const char* TypeName(Kt_VarKind kind) noexcept { return TypeName(static_cast<std::uint16_t>(kind)); }

// By case-insensitive prefix, in this order: "INT" (3 letters), "DECIMAL", "STRING", "CURRENCY",
// "DATE", "BLOB" or "BINARY", "ARRAY"; anything else (and null) is Null.
Kt_VarKind TypeFromName(const char* name) noexcept;

// "URL", "INT", "DATE", "CHAR", "BLOB", "LONG", "STRING", "DECIMAL", "CURRENCY"; codes without a
// name of their own are written "STRING".
const char* ColumnTypeName(std::uint16_t columnType) noexcept;
inline const char* ColumnTypeName(Kt_ColType type) noexcept { return ColumnTypeName(static_cast<std::uint16_t>(type)); }

// By case-insensitive prefix, in this order: "URL", "INT", "DATE", "CHAR", "BLOB", "LONG",
// "STRIN" (five letters), "DECIMAL", "CURRENCY"; anything else (and null) is STRING.
Kt_ColType ColumnTypeFromName(const char* name) noexcept;

// The value kind that cells of a column type hold: INT integer, DECIMAL decimal, CURRENCY
// currency, DATE date, BLOB byte block, every other type string.
Kt_VarKind ColumnValueKind(std::uint16_t columnType) noexcept;

#endif
