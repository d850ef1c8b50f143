#include <iostream>
#include <string>
#include <vector>

#include "tools/qxlist/qxlist_app.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return qxlist::RunQxList(args, std::cout, std::cerr);
}
