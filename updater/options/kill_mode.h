#pragma once
// What the updater does about a running platform, as the command line's "-UKM" names it.
#include <string>

namespace kt::updater {

enum KillMode : int {
  kKillModeNone = 0,             // not given or not understood: the control asks as it always does
  kKillModeKill = 1,             // "KILL"
  kKillModeNoKill = 2,           // "NOKILL"
  kKillModeConfirmOnFailed = 3,  // "CONFIRMONFAILED"
};

// The mode for a text, trimmed and upper-cased first; any other word is kKillModeNone. The
// mode's number ("1" to "3") is understood too: the control accepts it for its kill property and
// hands the property's text on as it was set.
int KillModeFromText(const std::string& text);

// The word for a mode ("KILL", "NOKILL", "CONFIRMONFAILED"), empty for kKillModeNone and any
// other number.
std::string KillModeText(int mode);

}  // namespace kt::updater
