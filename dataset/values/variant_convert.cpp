#include <cmath>
#include <cstring>
#include <limits>

#include "dataset/values/currency.h"
#include "dataset/values/date_value.h"
#include "dataset/text/number_text.h"
#include "dataset/values/variant.h"
#include "dataset/values/variant_nesting.h"

namespace {

std::int32_t SaturateToInt32(double value) noexcept {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  if (value <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);  // truncates toward zero
}

std::int32_t SaturateToInt32(std::int64_t value) noexcept {
  if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (value < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

// A decimal that is an integer up to rounding noise counts as that integer: 2.9999999999999996 -> 3.
std::int32_t DecimalToInt(double value) noexcept {
  return SaturateToInt32(value > 0 ? value + 5e-16 : value < 0 ? value - 5e-16 : value);
}

bool EqualsNoCase(const Kt_AString& text, const char* word) noexcept {
  return text.CompareNoCase(word) == 0 && text.Length() == std::strlen(word);
}

Kt_AString TextAt(const Kt_Variant& value, int depth) noexcept;

Kt_AString ObjectText(const Kt_VariantObject& object, int depth) noexcept {
  Kt_AString text;
  if (object.RenderText(text)) return text;
  Kt_Variant property;
  if (object.DefaultProperty(property)) return TextAt(property, depth + 1);
  const char* className = object.ClassName();
  text = "[object:";
  text.Append(className ? className : "Unknown");
  text.Append(']');
  return text;
}

Kt_AString TextAt(const Kt_Variant& value, int depth) noexcept {
  if (depth > kMaxValueNesting) return Kt_AString();
  switch (value.Kind()) {
    case Kt_VarKind::Integer:
      return IntToText(value.IntValue());
    case Kt_VarKind::Decimal:
      return DecimalToText(value.DoubleValue());
    case Kt_VarKind::Currency:
      return CurrencyToText(value.CurrencyValue());
    case Kt_VarKind::Date:
      return DateToText(value.DateValue());
    case Kt_VarKind::String:
      return value.StringValue();
    case Kt_VarKind::Blob:
      return Kt_AString("[binary]");
    case Kt_VarKind::Array: {
      Kt_AString text("[");
      for (std::size_t i = 0; i < value.ItemCount(); ++i) {
        if (i) text.Append(',');
        text.Append(TextAt(*value.Item(i), depth + 1));
      }
      text.Append(']');
      return text;
    }
    case Kt_VarKind::Object:
      return ObjectText(*value.ObjectValue(), depth);
    case Kt_VarKind::Reference:
      return value.ReferenceTarget() ? TextAt(*value.ReferenceTarget(), depth + 1) : Kt_AString();
    default:
      return Kt_AString();
  }
}

std::int32_t IntAt(const Kt_Variant& value, int depth) noexcept {
  if (depth > kMaxValueNesting) return 0;
  switch (value.Kind()) {
    case Kt_VarKind::Integer:
      return value.IntValue();
    case Kt_VarKind::Decimal:
      return DecimalToInt(value.DoubleValue());
    case Kt_VarKind::Currency:
      return SaturateToInt32(CurrencyToInt(value.CurrencyValue()));
    case Kt_VarKind::Date:
      return SaturateToInt32(value.DateValue());
    case Kt_VarKind::String:
      return EqualsNoCase(value.StringValue(), "false") ? 0 : TextToInt(value.StringValue());
    case Kt_VarKind::Object: {
      Kt_Variant property;
      return value.ObjectValue()->DefaultProperty(property) ? IntAt(property, depth + 1) : 0;
    }
    case Kt_VarKind::Reference:
      return value.ReferenceTarget() ? IntAt(*value.ReferenceTarget(), depth + 1) : 0;
    default:
      return 0;
  }
}

double DoubleAt(const Kt_Variant& value, int depth) noexcept {
  if (depth > kMaxValueNesting) return 0;
  switch (value.Kind()) {
    case Kt_VarKind::Integer:
      return value.IntValue();
    case Kt_VarKind::Decimal:
      return value.DoubleValue();
    case Kt_VarKind::Currency:
      return static_cast<double>(value.CurrencyValue()) / kCurrencyScale;
    case Kt_VarKind::Date:
      return value.DateValue();
    case Kt_VarKind::String:
      return TextToDouble(value.StringValue());
    case Kt_VarKind::Reference:
      return value.ReferenceTarget() ? DoubleAt(*value.ReferenceTarget(), depth + 1) : 0;
    default:
      return 0;
  }
}

bool IsNumberOrDate(Kt_VarKind kind) noexcept {
  return kind == Kt_VarKind::Integer || kind == Kt_VarKind::Decimal || kind == Kt_VarKind::Currency ||
         kind == Kt_VarKind::Date;
}

// The value `source` converted to `target`, or false for a target values cannot take.
bool Converted(Kt_VarKind target, const Kt_Variant& source, Kt_Variant& result) noexcept {
  Kt_VarKind kind = source.Kind();
  if (kind == target) {
    result = source;
    return true;
  }
  if (kind == Kt_VarKind::String && source.StringValue().IsEmpty() && IsNumberOrDate(target)) {
    result.SetNull();
    return true;
  }
  switch (target) {
    case Kt_VarKind::Null:
      result.SetNull();
      return true;
    case Kt_VarKind::Integer:
      // A decimal converted to an integer is truncated: only ToInt forgives rounding noise.
      result.SetInt(kind == Kt_VarKind::Decimal                                ? SaturateToInt32(source.DoubleValue())
                    : IsNumberOrDate(kind) || kind == Kt_VarKind::String ? source.ToInt()
                                                                         : 0);
      return true;
    case Kt_VarKind::Decimal:
      result.SetDouble(source.ToDouble());
      return true;
    case Kt_VarKind::Currency:
      switch (kind) {
        case Kt_VarKind::Integer:
          result.SetCurrency(std::int64_t{source.IntValue()} * kCurrencyScale);
          break;
        case Kt_VarKind::Decimal:
        case Kt_VarKind::Date:
          result.SetCurrency(CurrencyFromDouble(source.ToDouble()));
          break;
        case Kt_VarKind::String:
          result.SetCurrency(CurrencyFromText(source.StringValue()));
          break;
        default:
          result.SetCurrency(0);
          break;
      }
      return true;
    case Kt_VarKind::Date: {
      double days = 0;
      if (kind == Kt_VarKind::String) {
        DateFromText(source.StringValue(), days);  // an invalid text leaves the cleared date 0
      } else if (IsNumberOrDate(kind)) {
        days = source.ToDouble();
      }
      result.SetDate(days);
      return true;
    }
    case Kt_VarKind::String:
      result.SetString(source.ToString());
      return true;
    case Kt_VarKind::Blob: {
      Kt_AString text = kind == Kt_VarKind::Null ? Kt_AString() : source.ToString();
      return result.SetBytes(text.c_str(), text.Length());
    }
    default:
      return false;
  }
}

}  // namespace

Kt_AString Kt_Variant::ToString() const noexcept { return TextAt(*this, 0); }

std::int32_t Kt_Variant::ToInt() const noexcept { return IntAt(*this, 0); }

double Kt_Variant::ToDouble() const noexcept { return DoubleAt(*this, 0); }

bool Kt_Variant::ChangeType(Kt_VarKind target) noexcept {
  // A value of the target kind stays as it is; references are followed first, so they never do.
  if (m_kind == target && target != Kt_VarKind::Reference) return true;
  return ChangeType(target, *this);
}

bool Kt_Variant::ChangeType(Kt_VarKind target, const Kt_Variant& source) noexcept {
  const Kt_Variant* resolved = FollowReferences(source);
  Kt_Variant result;
  if (!Converted(target, resolved ? *resolved : Null(), result)) return false;
  *this = std::move(result);
  return true;
}
