// Detection of the PC's folders in two steps: asking the system (GatherPcFolderSources) and
// composing the folder record with its fallbacks (ComposePcFolders), which needs no system.
#pragma once

#include "config/folder_record.h"

#include <string>

namespace kt {

// What the system answered; an empty text means no (usable) answer.
struct PcFolderSources {
    OsInfo os;
    std::string userName;
    std::string windows;        // GetSystemWindowsDirectoryA, else GetWindowsDirectoryA
    std::string system;         // GetSystemDirectoryA
    std::string programFiles;   // SHGetFolderPathA, else SHGetSpecialFolderPathA (CSIDL 38)
    std::string roamingAppData; // CSIDL 26
    std::string profile;        // CSIDL 40
    std::string localAppData;   // CSIDL 28
    std::string localLow;       // the known folder LocalAppDataLow (Vista and later)
    // From the user's "Shell Folders" key as stored, else from the shell (the start menu then
    // with a backslash).
    std::string desktop;
    std::string startMenu;
    std::string programs;
    std::string personal;
};

// Longest folder text accepted from the system; longer answers are refused, not cut.
constexpr size_t kFolderBuffer = 1024;

PcFolderSources GatherPcFolderSources(const OsInfo& os, const std::string& userName);
FolderRecord ComposePcFolders(const PcFolderSources& sources);

}  // namespace kt
