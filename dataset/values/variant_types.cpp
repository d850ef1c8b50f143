#include "dataset/values/variant_types.h"

#include <cstring>

#include "dataset/text/compare.h"

namespace {

bool HasPrefix(const char* name, const char* prefix) noexcept {
  return CompareNoCaseN(name, prefix, std::strlen(prefix)) == 0;
}

struct KindName {
  Kt_VarKind kind;
  const char* name;
};

constexpr KindName kWrittenKindNames[] = {
    {Kt_VarKind::Null, "null"},         {Kt_VarKind::Integer, "INTEGER"}, {Kt_VarKind::Decimal, "DECIMAL"},
    {Kt_VarKind::Currency, "CURRENCY"}, {Kt_VarKind::Date, "DATE"},       {Kt_VarKind::String, "STRING"},
    {Kt_VarKind::Blob, "BLOB"},         {Kt_VarKind::Array, "ARRAY"},     {Kt_VarKind::Object, "object"},
};

constexpr KindName kParsedKindPrefixes[] = {
    {Kt_VarKind::Integer, "INT"},  {Kt_VarKind::Decimal, "DECIMAL"}, {Kt_VarKind::String, "STRING"},
    {Kt_VarKind::Currency, "CURRENCY"}, {Kt_VarKind::Date, "DATE"}, {Kt_VarKind::Blob, "BLOB"},
    {Kt_VarKind::Blob, "BINARY"},  {Kt_VarKind::Array, "ARRAY"},
};

struct ColumnName {
  Kt_ColType type;
  const char* written;
  const char* parsedPrefix;
};

// In the order names are tested when parsing.
constexpr ColumnName kColumnNames[] = {
    {Kt_ColType::Url, "URL", "URL"},          {Kt_ColType::Int, "INT", "INT"},
    {Kt_ColType::Date, "DATE", "DATE"},       {Kt_ColType::Char, "CHAR", "CHAR"},
    {Kt_ColType::Blob, "BLOB", "BLOB"},       {Kt_ColType::Long, "LONG", "LONG"},
    {Kt_ColType::String, "STRING", "STRIN"},  {Kt_ColType::Decimal, "DECIMAL", "DECIMAL"},
    {Kt_ColType::Currency, "CURRENCY", "CURRENCY"},
};

}  // namespace

const char* TypeName(std::uint16_t kindCode) noexcept {
  for (const KindName& row : kWrittenKindNames) {
    if (static_cast<std::uint16_t>(row.kind) == kindCode) return row.name;
  }
  return "UNKNOWN";
}

Kt_VarKind TypeFromName(const char* name) noexcept {
  if (!name) return Kt_VarKind::Null;
  for (const KindName& row : kParsedKindPrefixes) {
    if (HasPrefix(name, row.name)) return row.kind;
  }
  return Kt_VarKind::Null;
}

const char* ColumnTypeName(std::uint16_t columnType) noexcept {
  for (const ColumnName& row : kColumnNames) {
    if (static_cast<std::uint16_t>(row.type) == columnType) return row.written;
  }
  return "STRING";
}

Kt_ColType ColumnTypeFromName(const char* name) noexcept {
  if (!name) return Kt_ColType::String;
  for (const ColumnName& row : kColumnNames) {
    if (HasPrefix(name, row.parsedPrefix)) return row.type;
  }
  return Kt_ColType::String;
}

Kt_VarKind ColumnValueKind(std::uint16_t columnType) noexcept {
  switch (static_cast<Kt_ColType>(columnType)) {
    case Kt_ColType::Int:
      return Kt_VarKind::Integer;
    case Kt_ColType::Decimal:
      return Kt_VarKind::Decimal;
    case Kt_ColType::Currency:
      return Kt_VarKind::Currency;
    case Kt_ColType::Date:
      return Kt_VarKind::Date;
    case Kt_ColType::Blob:
      return Kt_VarKind::Blob;
    default:
      return Kt_VarKind::String;
  }
}
