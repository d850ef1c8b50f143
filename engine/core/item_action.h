#pragma once
// What the update run does with an item, derived from the list's ACTION keyword.
#include <cstdint>
#include <string_view>

namespace kt::engine {

enum ItemAction : std::int32_t {
  kActionCopy = 1,                // any other keyword, including none: download and copy
  kActionRegister = 2,            // "DOWNREG": copy, then register as a COM server
  kActionRun = 3,                 // "DOWNRUN": copy, then run with ARGUMENT and wait
  kActionExtract = 4,             // "EXTRACT": copy
  kActionCabinet = 5,             // "CeCab", or a copy whose TARGET is a class identifier
  kActionDelete = 6,              // "DELETE": delete the file at TARGET, nothing downloaded
  kActionDeleteRegistered = 7,    // "DELETEREG": unregister, then delete, nothing downloaded
  kActionLaunch = 8,              // "DOWNLAUNCH": copy, start after the whole update
  kActionInstaller = 9,           // "MSI": Windows Installer package or patch, at once
  kActionDeferredInstaller = 10,  // "MSI_": the same after the whole update
};

// The action code of a keyword, compared without regard to case.
ItemAction ActionOf(std::string_view keyword);

// True when `text` equals the ASCII `keyword` without regard to case. A byte of a double-byte
// character is never an ASCII letter, so this agrees with the system's name comparison.
bool IsKeyword(std::string_view text, std::string_view keyword);

// Windows Installer items are keyed by their product code (TARGET) rather than their FILENAME.
inline bool IsInstallerAction(ItemAction action) {
  return action == kActionInstaller || action == kActionDeferredInstaller;
}

}  // namespace kt::engine
