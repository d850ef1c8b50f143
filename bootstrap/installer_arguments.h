#pragma once
// The installer's command line: which job it asks for, and the switches that change how it runs.
#include <string>
#include <vector>

namespace kt::bootstrap {

enum class InstallMode { kNone = 0, kCabinet = 1, kDownload = 2, kWebPage = 3 };

constexpr int kDefaultProgressSteps = 50;

// One job as the command line describes it. `arguments` is the whole argument vector, the
// program's own path first.
struct InstallerJob {
  InstallMode mode = InstallMode::kNone;
  std::string first;      // class identifier, or the file name to download to
  std::string second;     // code base or URL, with the current folder put before a bare name
  std::string rawSecond;  // the second argument as it was given
  std::string third;      // version, or "WEB"
  int progressSteps = kDefaultProgressSteps;
  // The text to show when the command line selects no job.
  std::string usage;
};

// True when the command line asks for silent mode: exactly four arguments, the fourth "-m" in
// any case.
bool HasSilentSwitch(const std::vector<std::string>& arguments);

// The status text shown while the job has not started yet.
std::string StartStatusText(const std::vector<std::string>& arguments);

// Reads the job from the argument vector. `currentFolder` (without a trailing backslash) is put
// before a second argument that has no ":" and does not start with ".", "/" or "\".
InstallerJob ChooseJob(const std::vector<std::string>& arguments, const std::string& currentFolder);

}  // namespace kt::bootstrap
