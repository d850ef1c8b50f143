#pragma once
// Whether an item applies in this run's security context, from its UACFIX value.
#include <string_view>

#include "engine/core/item_status.h"
#include "engine/core/security_context.h"

namespace kt::engine {

// kStatusDownload ("0") when the item applies, kStatusNotApplicable ("3") when it does not.
// Values other than "true"/"1" and "false"/"0" (the words without regard to case, the digits
// exactly) always apply. On a system without UAC a marked item never applies; with UAC a
// "true" item needs an administrator who runs elevated or has UAC switched off, and a "false"
// item needs UAC switched on and a process that is not elevated.
ItemStatus ItemApplicability(std::string_view uacFix, const SecurityContext& context);

// The same answer as the STATUS text "0" or "3".
const Kt_AString& IsItemApplicable(std::string_view uacFix, const SecurityContext& context);

}  // namespace kt::engine
