#include "updater/options/runner_helper.h"

#include "updater/options/option_text.h"

void Kt_RunnerHelper::Parse(const std::string& commandLine) {
  // A record read twice reflects only the last line.
  *this = Kt_RunnerHelper();
  if (!ParseOptions(commandLine)) ParsePositional(commandLine);
}

std::vector<std::string> Kt_RunnerHelper::Arguments(const std::string& commandLine, std::size_t limit) {
  std::vector<std::string> tokens;
  std::string token;
  bool more = NextToken(commandLine.c_str(), token);
  while (tokens.size() < limit) {
    if (!token.empty()) tokens.push_back(token);
    if (!more) break;
    more = NextToken(nullptr, token);
  }
  if (!tokens.empty() && kt::updater::IsProgramPath(tokens.front())) tokens.erase(tokens.begin());
  return tokens;
}
