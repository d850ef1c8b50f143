#include "merge_scenario.h"

#include <gtest/gtest.h>

namespace kt::engine::testing {

void Describe(MemoryEnvironment& environment, const std::vector<std::string>& machine) {
  for (const std::string& fact : machine) {
    const std::size_t colon = fact.find(':');
    const std::string kind = fact.substr(0, colon);
    const std::string rest = colon == std::string::npos ? std::string() : fact.substr(colon + 1);
    // Paths hold ':' themselves, so the value is what follows the last '='.
    const std::size_t equals = rest.rfind('=');
    const std::string subject = rest.substr(0, equals);
    const std::string value = equals == std::string::npos ? std::string() : rest.substr(equals + 1);
    if (kind == "file") {
      environment.AddFile(subject, value);
    } else if (kind == "class") {
      environment.AddClass(subject, value);
    } else if (kind == "noregistry") {
      environment.SetRegistryAvailable(false);
    } else if (kind == "product") {
      environment.AddProduct(subject, value);
    } else if (kind == "package") {
      environment.AddPackage(subject, value);
    } else {
      ADD_FAILURE() << "unknown machine fact " << fact;
    }
  }
}

}  // namespace kt::engine::testing
