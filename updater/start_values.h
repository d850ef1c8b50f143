#pragma once
// What the updater prepares for itself before its dialog runs: the option record, the registry
// place of its per-application values, the resource library's names and the background image.
// Option mode reads them from the command line, launch-description mode from the file; both
// fall back to the registry.
#include <string>

#include "updater/options/runner_helper.h"
#include "updater/updater_registry.h"

class Kt_QxpConfiguration;

namespace kt::updater {

extern const char kDefaultResourceLibrary[];  // "SKINPACK.DLL"

struct UpdaterStartValues {
  Kt_RunnerHelper options;
  std::string launchDescriptionPath;  // set in launch-description mode only
  std::string defaultLibrary = kDefaultResourceLibrary;
  std::string firstLibraryCandidate;   // application component path + library name
  std::string secondLibraryCandidate;  // version component path + library name
  std::string decodedSiteKey;
  std::string firstImageCandidate;
  std::string secondImageCandidate;
  UpdaterRegistryPlace registry;
};

// Option mode: reads the command line into the option record, selects key (the registry
// sub-key), device kind and version in the configuration, and forms the library candidates and
// the background image from the options and the registry.
void PrepareOptionMode(const std::string& commandLine, UpdaterStartValues& values,
                       Kt_QxpConfiguration& configuration);

// Launch-description mode: reads the file with the reader the control uses too and takes key,
// site key, version and device kind from it (the option record gets them, so that registry place
// and configuration follow the file), then the background image, the resource library, the
// component path and the kill mode, each from the file or else the registry. A file that cannot
// be read leaves everything as it was.
void ScanLaunchDescription(const std::string& path, UpdaterStartValues& values,
                           Kt_QxpConfiguration& configuration);

// Upper-cases each library name that is not empty and appends ".DLL" unless it holds one.
void NormaliseLibraryNames(UpdaterStartValues& values);

// Expands a leading path alias for the current device; a relative result is taken inside the
// alias folder.
std::string ResolvePath(const std::string& path, Kt_QxpConfiguration& configuration);

}  // namespace kt::updater
