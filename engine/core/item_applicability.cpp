#include "engine/core/item_applicability.h"

#include "engine/core/item_action.h"

namespace kt::engine {

namespace {

enum class UacFix { kAlways, kElevatedOnly, kNotElevatedOnly };

UacFix ParseUacFix(std::string_view value) {
  if (value == "1" || IsKeyword(value, "true")) return UacFix::kElevatedOnly;
  if (value == "0" || IsKeyword(value, "false")) return UacFix::kNotElevatedOnly;
  return UacFix::kAlways;
}

}  // namespace

ItemStatus ItemApplicability(std::string_view uacFix, const SecurityContext& context) {
  const UacFix fix = ParseUacFix(uacFix);
  if (fix == UacFix::kAlways) return kStatusDownload;
  if (!context.uacSystem) return kStatusNotApplicable;
  const bool applies = fix == UacFix::kElevatedOnly
                           ? context.administrators && (!context.uacEnabled || context.elevated)
                           : context.uacEnabled && !context.elevated;
  return applies ? kStatusDownload : kStatusNotApplicable;
}

const Kt_AString& IsItemApplicable(std::string_view uacFix, const SecurityContext& context) {
  return StatusText(ItemApplicability(uacFix, context));
}

}  // namespace kt::engine
