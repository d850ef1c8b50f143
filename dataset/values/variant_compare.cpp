#include <cmath>
#include <cstring>

#include "dataset/values/variant.h"
#include "dataset/values/variant_nesting.h"

namespace {

constexpr double kDecimalTolerance = 1e-10;

template <typename T>
int SignOfDifference(T a, T b) noexcept {
  return (a > b) - (a < b);
}

bool EqualsAt(const Kt_Variant& a, const Kt_Variant& b, int depth) noexcept {
  if (a.Kind() != b.Kind()) return false;
  if (depth > kMaxValueNesting) return false;
  switch (a.Kind()) {
    case Kt_VarKind::Null:
      return true;
    case Kt_VarKind::Integer:
      return a.IntValue() == b.IntValue();
    case Kt_VarKind::Decimal:
      return std::fabs(a.DoubleValue() - b.DoubleValue()) < kDecimalTolerance;
    case Kt_VarKind::Currency:
      return a.CurrencyValue() == b.CurrencyValue();
    case Kt_VarKind::Date:
      return a.DateValue() == b.DateValue();
    case Kt_VarKind::String:
      return a.StringValue() == b.StringValue();
    case Kt_VarKind::Blob:
      return a.BytesValue() == b.BytesValue();
    case Kt_VarKind::Array:
      if (a.ItemCount() != b.ItemCount()) return false;
      for (std::size_t i = 0; i < a.ItemCount(); ++i) {
        if (!EqualsAt(*a.Item(i), *b.Item(i), depth + 1)) return false;
      }
      return true;
    case Kt_VarKind::Object:
      return a.ObjectValue()->IsEqualTo(*b.ObjectValue());
    case Kt_VarKind::Reference: {
      const Kt_Variant* ta = a.ReferenceTarget();
      const Kt_Variant* tb = b.ReferenceTarget();
      if (!ta || !tb) return ta == tb;
      return EqualsAt(*ta, *tb, depth + 1);
    }
    default:
      return false;
  }
}

}  // namespace

int Kt_Variant::Compare(const Kt_Variant& a, const Kt_Variant& b) noexcept {
  const Kt_Variant* left = FollowReferences(a);
  const Kt_Variant* right = FollowReferences(b);
  const Kt_Variant& x = left ? *left : Null();
  const Kt_Variant& y = right ? *right : Null();
  if (x.Kind() != y.Kind()) return 1;
  switch (x.Kind()) {
    case Kt_VarKind::Integer:
      return SignOfDifference(x.IntValue(), y.IntValue());
    case Kt_VarKind::Decimal: {
      double difference = x.DoubleValue() - y.DoubleValue();
      if (std::fabs(difference) < kDecimalTolerance) return 0;
      return SignOfDifference(difference, 0.0);
    }
    case Kt_VarKind::Currency:
      return SignOfDifference(x.CurrencyValue(), y.CurrencyValue());
    case Kt_VarKind::Date:
      return SignOfDifference(x.DateValue(), y.DateValue());
    case Kt_VarKind::String:
      return x.StringValue().Compare(y.StringValue());
    case Kt_VarKind::Blob:
      return x.BytesValue().Compare(y.BytesValue());
    case Kt_VarKind::Object:
      return x.ObjectValue()->IsEqualTo(*y.ObjectValue()) ? 0 : 1;
    default:
      return 0;
  }
}

bool Kt_Variant::Equals(const Kt_Variant& a, const Kt_Variant& b) noexcept { return EqualsAt(a, b, 0); }
