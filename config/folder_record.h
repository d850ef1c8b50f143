// The well-known folders of one target (the PC or the CE device), and the operating-system family
// that chooses the PC's placeholders.
#pragma once

#include <string>

struct FolderRecord {
    std::string kind;
    std::string root;
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
};

namespace kt {

enum class OsFamily { VistaOrLater, OtherNt, Windows9x };

struct OsInfo {
    OsFamily family = OsFamily::VistaOrLater;
    bool nt4Or2000 = false;  // NT before 5.1, whose Windows folder defaults to "WinNT"
};

OsInfo DetectOs();

// Placeholders that detection replaces; "%User%" and "%Windows%" in them are never expanded.
FolderRecord InitialPcFolders(OsFamily family);
FolderRecord InitialCeFolders();

}  // namespace kt
