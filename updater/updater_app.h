#pragma once
// CQxUpdatrApp: the updater's application object. Start-up guards against a second instance,
// tells the two kinds of start apart, prepares the values the dialog needs, loads the optional
// resource library and shows the dialog; the exit frees what start-up took.
#include <windows.h>

#include <memory>
#include <string>

#include "device/unique_handle.h"
#include "updater/resource_library.h"
#include "updater/start_values.h"

class Kt_QxpConfiguration;

namespace kt::updater {

class UpdaterPrompt;

extern const char kSingleInstanceMutex[];  // "QXUpdater_ONCE_MUTEX"

class CQxUpdatrApp {
 public:
  CQxUpdatrApp(HINSTANCE instance, UpdaterPrompt& prompt);
  ~CQxUpdatrApp();
  CQxUpdatrApp(const CQxUpdatrApp&) = delete;
  CQxUpdatrApp& operator=(const CQxUpdatrApp&) = delete;

  // Runs the whole start-up with the raw command line, the dialog included. Always false: the
  // process ends afterwards, and its exit code carries no result of the update.
  bool InitInstance(const std::string& commandLine);
  // Deletes the configuration, then lets the resource library unload and frees it.
  int ExitInstance();

  // Prepares the start values from the command line without showing anything (the part of
  // start-up between the single-instance guard and the dialog). False when the line holds the
  // program path alone: string 3001 is due.
  bool Prepare(const std::string& commandLine);

  const UpdaterStartValues& Values() const { return values_; }
  const CResModule& ResourceLibrary() const { return library_; }

 private:
  HINSTANCE instance_;
  UpdaterPrompt& prompt_;
  UpdaterStartValues values_;
  CResModule library_;
  std::unique_ptr<Kt_QxpConfiguration> configuration_;
  kt::device::UniqueHandle mutex_;  // held until the exit
};

}  // namespace kt::updater
