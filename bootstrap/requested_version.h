#pragma once
// The version a class is wanted at: four numbers "a,b,c,d" packed as the system's file versions
// are (most significant: a in the high and b in the low 16 bits; least significant: c and d).
#include <windows.h>

#include <string>

namespace kt::bootstrap {

struct FileVersion {
  DWORD most = 0;
  DWORD least = 0;

  // "-1,-1,-1,-1": the newest version there is.
  bool IsNewest() const { return most == 0xFFFFFFFFu && least == 0xFFFFFFFFu; }
  bool AtLeast(const FileVersion& other) const {
    return most != other.most ? most > other.most : least >= other.least;
  }
};

// True when the version argument is a list of numbers (it holds a comma after its first
// character); otherwise it names a version file.
bool IsVersionList(const std::string& argument);

// Reads "%d,%d,%d,%d". False unless all four numbers are there.
bool ParseVersionNumbers(const std::string& text, FileVersion& version);

// The version the argument asks for: the numbers themselves, or the first line of the version
// file it names, fetched into a file of our own in the temporary folder that is deleted again.
// On failure `message` holds the text to show.
HRESULT ResolveRequestedVersion(const std::string& argument, FileVersion& version, std::string& message);

}  // namespace kt::bootstrap
