#pragma once
// One merge of a component list, described as data: the two lists, what the machine holds, and
// the statuses and counts the merge must give.
#include <ostream>
#include <string>
#include <vector>

#include "engine/core/security_context.h"
#include "memory_environment.h"

namespace kt::engine::testing {

// uacSystem, uacEnabled, elevated, administrators: Wine's context (an elevated administrator
// with UAC on).
constexpr SecurityContext kElevatedAdministrator{true, true, true, true};
constexpr SecurityContext kStandardUser{true, true, false, false};

struct MergeScenario {
  std::string name;
  std::vector<std::string> server;  // rows, see list_text.h
  std::vector<std::string> local;
  // What the machine holds: "file:PATH", "file:PATH=VERSION", "class:CLSID=PATH", "noregistry",
  // "product:CODE=VERSION", "package:PATH=VERSION".
  std::vector<std::string> machine;
  std::vector<std::string> statuses;  // STATUS of every working row, in order
  int download;
  int apply;
  std::string serverParameters = std::string();
  std::string localParameters = std::string();
  SecurityContext context = kElevatedAdministrator;
};

inline void PrintTo(const MergeScenario& scenario, std::ostream* os) { *os << scenario.name; }

// Puts the machine facts of a scenario into an environment.
void Describe(MemoryEnvironment& environment, const std::vector<std::string>& machine);

}  // namespace kt::engine::testing
