#pragma once

#include <ostream>

#include "tools/qxlist/list_document.h"

namespace qxlist {

// Prints the parameters, then each dataset as an aligned table: a header of column ids with
// their types, one line per record marked with its state, deleted records last.
void PrintListDocument(const ListDocument& document, std::ostream& out);

}  // namespace qxlist
