// The positional form of the updater's command line, as its usage message shows it:
// "[Device] [option:ReInstall] [Key] [option:Lauch Quorix] [option:StartXml] [option:UpdateURLVer]".
#include "updater/options/runner_helper.h"

#include <algorithm>
#include <iterator>

void Kt_RunnerHelper::ParsePositional(const std::string& commandLine) {
  std::string Kt_RunnerHelper::*const positions[] = {
      &Kt_RunnerHelper::DeviceType, &Kt_RunnerHelper::ReInstall, &Kt_RunnerHelper::Key,
      &Kt_RunnerHelper::Launch,     &Kt_RunnerHelper::StartXML,  &Kt_RunnerHelper::UpdateURL,
  };
  const std::vector<std::string> tokens = Arguments(commandLine, kMaxPositionalTokens);
  const std::size_t count = std::min(tokens.size(), std::size(positions));
  for (std::size_t index = 0; index < count; ++index) this->*(positions[index]) = tokens[index];
}
