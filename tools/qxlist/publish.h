#pragma once
// `qxlist publish`: a folder of components becomes a server tree.
//
//   SRC/<list>/manifest.ini      how the files of one component list are installed (optional)
//   SRC/<list>/<file>...         the components
// gives
//   OUT/config.xml               the configuration list: one row per component list
//   OUT/<list>/components.xml    the component list: one row per file, with its SHA-256
//   OUT/<list>/<file>...         the components, beside their list
//
// Versions: a file with a version resource carries that version; any other file, and every
// component list, carries a number that goes up exactly when its content changed against the
// tree published before (--previous), and stays as it was otherwise. So the same input gives the
// same bytes, and a client fetches exactly what changed.
#include <ostream>
#include <string>

#include "tools/qxlist/list_document.h"

namespace qxlist {

inline constexpr char kConfigurationListName[] = "config.xml";
inline constexpr char kComponentListName[] = "components.xml";

struct PublishRequest {
  std::string source;
  std::string out;       // must not exist, or be an empty folder
  std::string previous;  // the tree published before; empty for a first publication
  WriteChoice choice;    // the form of every list written
};

// Publishes; progress lines on `out`. On bad input (a reason naming the file on `err`) nothing
// is left in OUT, and the exit code is kExitBadInput.
int Publish(const PublishRequest& request, std::ostream& out, std::ostream& err);

// The version after `previous`: its last number raised by one ("1.4" gives "1.5", "7" gives
// "8"); "1" when there was none.
std::string NextVersion(const std::string& previous);

}  // namespace qxlist
