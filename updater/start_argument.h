#pragma once
// How the updater was started: the argument after the program path on the raw command line, and
// whether it names a launch description (".qrd", ".qrd2").
#include <string>

namespace kt::updater {

// The argument of the raw command line. With ".exe" in the line (compared with case) it is the
// text after the first space that follows ".exe", without one opening and one closing quote of
// either kind; without ".exe" it is the whole line. False when ".exe" is followed by no space:
// the line holds the program path alone.
bool StartArgument(const std::string& commandLine, std::string& argument);

// True when the text from the argument's last "." on is ".qrd" or ".qrd2", without regard to case.
bool IsLaunchDescriptionPath(const std::string& argument);

}  // namespace kt::updater
