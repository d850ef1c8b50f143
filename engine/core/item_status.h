#pragma once
// The progress of an item as its STATUS column and the classification result carry it.
#include <string_view>

#include "dataset/text/astring.h"

namespace kt::engine {

enum ItemStatus : int {
  kStatusDownload = 0,       // "0": must be downloaded and applied
  kStatusApply = 1,          // "1": nothing (more) to download, must be applied
  kStatusDone = 2,           // "2": applied, or already current
  kStatusNotApplicable = 3,  // "3": not for this run's security context; never pending
};

// The decimal text written to STATUS: "0" to "3".
const Kt_AString& StatusText(ItemStatus status);

// A STATUS text that rows no longer wait on: "2" and "3" (compared exactly).
bool IsSettledStatus(std::string_view status);

}  // namespace kt::engine
