#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace qxlist {

constexpr int kExitSuccess = 0;
constexpr int kExitBadInput = 1;
constexpr int kExitUsage = 2;

// Runs one qxlist command (args without the program name). Results go to `out`; a failure is one
// line on `err` naming the file and the problem; usage errors print the usage text on `err`.
int RunQxList(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace qxlist
