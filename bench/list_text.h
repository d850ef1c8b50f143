#pragma once

#include <string>

// A component list in the servers' XML form with `rows` records, as publishers write them: the
// input of the document and packer benchmarks.
std::string MakeComponentListText(int rows);
