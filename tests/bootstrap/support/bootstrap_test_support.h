#pragma once
// Helpers shared by the installer tests: where the installer and the fixtures are, running the
// installer with a time limit (and a box answerer beside it), and the test control's state in the
// registry and the downloaded-program folder.
#include <windows.h>

#include <string>
#include <vector>

#include "bootstrap/requested_version.h"

namespace kt::bootstrap::test {

constexpr DWORD kInstallerTimeLimitMs = 60000;

std::string InstallerPath();
// A file of the installer fixtures folder.
std::string Fixture(const std::string& name);

// Runs ktinstlr.exe with the command-line tail; its exit code as a signed number, or -1000 when
// it did not start and -2000 when it ran past the time limit and was ended.
int RunInstaller(const std::string& arguments);

// Runs ktinstlr.exe while the box answerer works through `steps` (see box_answerer.cpp), and
// collects what it read from the boxes ("CAPTION|TEXT" lines). `answered` is false when the
// answerer did not finish its steps.
int RunInstallerAnswered(const std::string& arguments, const std::vector<std::string>& steps,
                         std::string& record, bool& answered);

CLSID TestControlClass();
// The test control is neither registered nor in the downloaded-program folder.
void RemoveTestControl();
// The path registered for the test control, or "".
std::string RegisteredTestControl();
// The version of the registered test control's file; false when there is none.
bool RegisteredTestControlVersion(FileVersion& version);

// Sets (value != 0) or removes (value == 0) "InstallerMute" under the user's key.
void SetInstallerMute(DWORD value);

}  // namespace kt::bootstrap::test
