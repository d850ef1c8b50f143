#pragma once
// Compares the SHA256 of each row of a component list with the file the row names beside the
// list, as a server tree holds it.
#include <ostream>
#include <string>

#include "tools/qxlist/list_document.h"

namespace qxlist {

// Prints one line per row whose file is missing, unreadable or has another hash, and gives their
// number. Rows without a hash, and rows whose SOURCE is an address of its own, are not checked.
int ReportHashMismatches(const ListDocument& document, const std::string& listPath, std::ostream& out);

}  // namespace qxlist
