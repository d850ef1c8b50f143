#pragma once
// The name of the local version file that keeps the last merged copy of a list.
#include <string>
#include <string_view>

namespace kt::engine {

// The URL cut at its last '.', without any '/', '\', ':', '.' or blank, followed by ".xml":
// "http://host/app/list.xml" gives "httphostapplist.xml". The letters and digits of scheme, host
// and path stay in order. Characters that no Windows file name may hold ('*', '?', '"', '<', '>',
// '|' and control characters, as a query string brings them) are removed too, so every URL gives
// a usable name. Trail bytes of double-byte characters are kept as they are.
std::string LocalFileNameFor(std::string_view url);

}  // namespace kt::engine
