#pragma once
// The manifest of one component list folder ("manifest.ini"): how its files are installed.
//
//   ; lines before the first section are the defaults of every file
//   ACTION = COPY
//   TARGET = %COMPONENT%
//   [*.dll]              ; a file name pattern (* and ?, without regard to case)
//   ACTION = DOWNREG
//   [setup.exe]
//   ACTION = DOWNRUN
//   ARGUMENT = /quiet
//
// A file takes the values of the first section whose pattern matches its name; what that section
// leaves out comes from the defaults. Keys: ACTION, TARGET, ARGUMENT, DEVICE.
#include <string>
#include <vector>

namespace qxlist {

inline constexpr char kManifestName[] = "manifest.ini";

struct FileSettings {
  std::string action;
  std::string target;
  std::string argument;
  std::string device;
};

struct ManifestSection {
  std::string pattern;
  FileSettings values;
  std::vector<std::string> given;  // the keys the section sets
};

struct Manifest {
  FileSettings defaults;
  std::vector<ManifestSection> sections;
};

// Parses the manifest text. False with "line N: reason" in `problem` for an unknown key, an
// unknown action, a line that is neither a section, a key nor a comment, or an empty pattern.
bool ParseManifest(const std::string& text, Manifest& manifest, std::string& problem);

// The settings of one file, and the index of the section that gave them (-1 for the defaults).
FileSettings SettingsFor(const Manifest& manifest, const std::string& fileName, int& section);

// '*' matches any run of characters, '?' any one; letters compare without regard to case.
bool MatchesPattern(const std::string& pattern, const std::string& name);

}  // namespace qxlist
