// The option form of the updater's command line: pairs of an option and its value.
#include "updater/options/kill_mode.h"
#include "updater/options/runner_helper.h"

#include "dataset/text/compare.h"

namespace {

struct TextOption {
  const char* name;
  std::string Kt_RunnerHelper::*field;
};

constexpr TextOption kTextOptions[] = {
    {"-D", &Kt_RunnerHelper::DeviceType},    {"-R", &Kt_RunnerHelper::ReInstall},
    {"-K", &Kt_RunnerHelper::Key},           {"-L", &Kt_RunnerHelper::Launch},
    {"-X", &Kt_RunnerHelper::StartXML},      {"-U", &Kt_RunnerHelper::UpdateURL},
    {"-V", &Kt_RunnerHelper::Version},       {"-C", &Kt_RunnerHelper::ComponentPath},
    {"-P", &Kt_RunnerHelper::PreVersionCompare}, {"-E", &Kt_RunnerHelper::ExeName},
    {"-Lf", &Kt_RunnerHelper::Left},         {"-Tp", &Kt_RunnerHelper::Top},
    {"-Wd", &Kt_RunnerHelper::Width},        {"-Ht", &Kt_RunnerHelper::Height},
    {"-G", &Kt_RunnerHelper::StartImage},    {"-EP", &Kt_RunnerHelper::ExecPath},
    {"-SC", &Kt_RunnerHelper::Scroll},       {"-SK", &Kt_RunnerHelper::SiteKey},
    {"-BI", &Kt_RunnerHelper::BI},           {"-NLE", &Kt_RunnerHelper::NotLaunchForErr},
    {"-RES", &Kt_RunnerHelper::Resource},    {"-URES", &Kt_RunnerHelper::UResource},
    {"-GV", &Kt_RunnerHelper::GlobalVal},    {"-OO", &Kt_RunnerHelper::OnlyOne},
    {"-Rt", &Kt_RunnerHelper::Retry},        {"-TO", &Kt_RunnerHelper::TimeOut},
};
constexpr const char kKillModeOption[] = "-UKM";

const TextOption* FindTextOption(const std::string& name) {
  for (const TextOption& option : kTextOptions) {
    if (CompareNoCase(name.c_str(), option.name) == 0) return &option;
  }
  return nullptr;
}

bool IsKillModeOption(const std::string& name) { return CompareNoCase(name.c_str(), kKillModeOption) == 0; }

}  // namespace

bool Kt_RunnerHelper::IsOptionName(const std::string& token) {
  return FindTextOption(token) != nullptr || IsKillModeOption(token);
}

bool Kt_RunnerHelper::ParseOptions(const std::string& commandLine) {
  const std::vector<std::string> tokens = Arguments(commandLine, kMaxOptionTokens);
  bool matched = false;
  std::size_t at = 0;
  while (at + 1 < tokens.size()) {
    const std::string& name = tokens[at];
    const std::string& value = tokens[at + 1];
    // An option followed directly by another option has no value (the control writes "-K " and
    // an empty key): the second option starts the next pair instead of becoming the value.
    if (IsOptionName(value)) {
      ++at;
      continue;
    }
    at += 2;
    if (const TextOption* option = FindTextOption(name)) {
      this->*(option->field) = value;
      matched = true;
    } else if (IsKillModeOption(name)) {
      KillMode = kt::updater::KillModeFromText(value);
      matched = true;
    }
  }
  return matched;
}
