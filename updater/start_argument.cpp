#include "updater/start_argument.h"

#include "config/path_text.h"

namespace kt::updater {
namespace {

bool IsQuote(char c) { return c == '"' || c == '\''; }

}  // namespace

bool StartArgument(const std::string& commandLine, std::string& argument) {
  const size_t exe = commandLine.find(".exe");
  if (exe == std::string::npos) {
    argument = commandLine;
    return true;
  }
  const size_t space = commandLine.find(' ', exe);
  if (space == std::string::npos) return false;
  argument = commandLine.substr(space + 1);
  if (!argument.empty() && IsQuote(argument.front())) argument.erase(0, 1);
  if (!argument.empty() && IsQuote(argument.back())) argument.pop_back();
  return true;
}

bool IsLaunchDescriptionPath(const std::string& argument) {
  const size_t dot = argument.rfind('.');
  if (dot == std::string::npos) return false;
  const std::string extension = argument.substr(dot);
  return kt::EqualsNoCase(extension, ".qrd") || kt::EqualsNoCase(extension, ".qrd2");
}

}  // namespace kt::updater
