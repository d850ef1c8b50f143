// Reading the installer's command line.
#include "bootstrap/installer_arguments.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "bootstrap/installer_texts.h"

namespace kt::bootstrap {

namespace {

bool EqualsNoCase(const std::string& text, const char* other) {
  size_t length = std::strlen(other);
  if (text.size() != length) return false;
  for (size_t i = 0; i < length; ++i) {
    char a = text[i], b = other[i];
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
    if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
    if (a != b) return false;
  }
  return true;
}

bool NamesWebPage(const std::string& location) {
  for (const char* extension : {".htm", ".asp", ".HTM", ".ASP"}) {
    if (location.find(extension) != std::string::npos) return true;
  }
  return false;
}

bool EndsWithLowerCab(const std::string& location) {
  return location.size() >= 3 && location.compare(location.size() - 3, 3, "cab") == 0;
}

std::string WithCurrentFolder(const std::string& location, const std::string& currentFolder) {
  if (location.find(':') != std::string::npos) return location;
  if (!location.empty() && (location[0] == '.' || location[0] == '/' || location[0] == '\\')) return location;
  return currentFolder + "\\" + location;
}

int ProgressStepsFrom(const std::vector<std::string>& arguments) {
  if (arguments.size() < 5) return kDefaultProgressSteps;
  long long steps = std::strtoll(arguments[4].c_str(), nullptr, 10);
  if (steps < 1) return kDefaultProgressSteps;
  return steps > INT_MAX ? INT_MAX : static_cast<int>(steps);
}

}  // namespace

bool HasSilentSwitch(const std::vector<std::string>& arguments) {
  return arguments.size() == 5 && EqualsNoCase(arguments[4], "-m");
}

std::string StartStatusText(const std::vector<std::string>& arguments) {
  return "Downloading Start...(" + (arguments.size() > 3 ? arguments[1] : std::string()) + ")";
}

InstallerJob ChooseJob(const std::vector<std::string>& arguments, const std::string& currentFolder) {
  InstallerJob job;
  if (arguments.size() < 4) {
    job.usage = kUsageText;
    return job;
  }
  job.first = arguments[1];
  job.rawSecond = arguments[2];
  job.second = WithCurrentFolder(arguments[2], currentFolder);
  job.third = arguments[3];
  if (EndsWithLowerCab(job.second)) {
    job.mode = InstallMode::kCabinet;
  } else if (NamesWebPage(job.second)) {
    job.mode = InstallMode::kWebPage;
  } else if (job.third == "WEB") {
    job.mode = InstallMode::kDownload;
  } else {
    // The parts are put in place one after the other, so that a "%s" inside one stays as it is.
    std::string input = kInputValueFormat;
    size_t at = 0;
    const std::string* parts[] = {&arguments[0], &job.first, &job.second, &job.third};
    for (const std::string* part : parts) {
      at = input.find("%s", at);
      input.replace(at, 2, *part);
      at += part->size();
    }
    job.usage = input + kUsageText;
    return job;
  }
  job.progressSteps = ProgressStepsFrom(arguments);
  return job;
}

}  // namespace kt::bootstrap
