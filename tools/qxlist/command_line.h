#pragma once

#include <string>
#include <vector>

namespace qxlist {

// What the command line asked for, checked against the command's own options.
struct CommandLine {
  std::string command;             // show, check, convert, pack, unpack, publish; empty with --help alone
  std::vector<std::string> files;  // in the order given
  bool help = false;
  std::string form;      // convert: "xml" or "binary"; empty keeps the input's
  std::string encoding;  // convert: an encoding name; empty keeps the input's
  std::string pack;      // convert: "none", "lzss" or "zlib"; empty keeps the input's
  bool zlib = false;     // pack: the zlib variant instead of LZSS
  int level = -1;        // zlib level, -1 for zlib's default
  std::string previous;  // publish: the tree published before
};

// Parses argv[1...]. False with the reason in `problem` for an unknown command or option, a
// missing or extra file, or an option value out of range. Options take "--name value" or
// "--name=value".
bool ParseCommandLine(const std::vector<std::string>& args, CommandLine& line, std::string& problem);

// The usage text of one command, or of the tool when `command` is empty or unknown.
const char* UsageText(const std::string& command);

}  // namespace qxlist
