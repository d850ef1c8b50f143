#pragma once
// Where the engine keeps the last merged copy of a list.
#include <string>

class Kt_QxpConfiguration;

namespace kt::engine {

// The list-cache folder of the current device (VerFolder) followed by the name derived from the
// URL (LocalFileNameFor).
std::string LocalFileFor(Kt_QxpConfiguration& configuration, const std::string& listUrl);

}  // namespace kt::engine
