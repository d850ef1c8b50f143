#include "engine/core/path_join.h"

#include "dataset/text/path_separator.h"

namespace kt::engine {

bool EndsWithSeparator(const Kt_AString& path) {
  return EndsWithPathSeparator(path.c_str(), path.Length(), true);
}

Kt_AString JoinPath(const Kt_AString& folder, const Kt_AString& name) {
  const bool separator = !folder.IsEmpty() && !EndsWithSeparator(folder);
  Kt_AString joined;
  // One allocation of the exact size; a failed reservation leaves the appends to allocate.
  joined.Reserve(folder.Length() + (separator ? 1 : 0) + name.Length());
  joined += folder;
  if (separator) joined += '\\';
  joined += name;
  return joined;
}

}  // namespace kt::engine
