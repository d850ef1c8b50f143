// The prefix's folders as the system reports them, each ending with a backslash, for building
// the expected values of the configuration's folders.
#pragma once

#include <string>

namespace kt_test {

struct RealFolders {
    std::string windows;
    std::string system;
    std::string programFiles;
    std::string roamingAppData;
    std::string localAppData;
    std::string localLow;
    std::string desktop;
    std::string startMenu;
    std::string programs;
    std::string personal;
    std::string temp;  // as GetTempPathA gives it
    std::string userName;
};

const RealFolders& Real();

}  // namespace kt_test
