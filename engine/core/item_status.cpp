#include "engine/core/item_status.h"

namespace kt::engine {

const Kt_AString& StatusText(ItemStatus status) {
  // Shared texts: a merge writes one per row, and sharing them costs no allocation.
  static const Kt_AString kTexts[] = {"0", "1", "2", "3"};
  return status >= kStatusDownload && status <= kStatusNotApplicable ? kTexts[status] : kTexts[0];
}

bool IsSettledStatus(std::string_view status) { return status == "2" || status == "3"; }

}  // namespace kt::engine
