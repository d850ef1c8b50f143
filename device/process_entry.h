#pragma once
// One process found holding a file: its id as decimal text and the titles of its top-level windows.
#include <string>
#include <vector>

struct Kt_ProcessEntry {
  std::string processId;
  std::vector<std::string> titles;
};
