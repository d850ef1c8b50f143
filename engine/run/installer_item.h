#pragma once
// Windows Installer items ("MSI" and "MSI_"): which file is fetched for them, the installer's
// command for a package, a patch or another setup program, and applying one item — at once,
// waiting for the installer while the page stays responsive, or queued for the end of the run.
#include <windows.h>

#include <string>
#include <vector>

#include "device/kt_msi.h"
#include "device/shell_start.h"
#include "engine/core/component_item.h"

namespace kt::engine {

class Kt_EngineHost;

// The platform's own packages, which are kept in the download folder under their product name.
bool IsProductNamedPackage(const std::string& productCode);

// FILENAME, or PATCHFILENAME when OLDVERSION and PATCHFILENAME are given and the product's
// installed version (read without error) is at least OLDVERSION.
std::string InstallerFileToFetch(const ComponentItem& item, Kt_Msi& msi);

// What decides the installer's command besides the package itself.
struct InstallerFacts {
  std::string systemFolder;   // the PC's system folder, with its trailing backslash
  bool productInstalled = false;
  bool perMachine = false;     // of the ".msi" package, or for a patch of the installed product
  bool uacSystem = false;      // an operating system that asks before elevating
};

// msiexec for a ".msi" (installed with "/i", reinstalled with "/fvamus") or a ".msp" ("/update"),
// else the package as a program of its own with ARGUMENT as its parameters; "runas" when the
// installation is per machine on a system with UAC. Only the two installer cases ask for it.
kt::device::ShellStart InstallerCommand(const std::string& package, const std::string& argument,
                                        const InstallerFacts& facts);

class Kt_InstallerAction {
 public:
  explicit Kt_InstallerAction(Kt_EngineHost& host);
  Kt_InstallerAction(const Kt_InstallerAction&) = delete;
  Kt_InstallerAction& operator=(const Kt_InstallerAction&) = delete;

  std::string FileToFetch(const ComponentItem& item) { return InstallerFileToFetch(item, msi_); }

  // Applies one item from the download folder. "MSI" runs the installer now and waits for it
  // (Stop ends the wait), checks the installed version and removes the package; "MSI_" queues
  // the command in `launchList` and leaves the package to be deleted at the next boot. An exit
  // code 3010 sets `restartNeeded`, 1641 also the stop flag (the installer restarts Windows).
  // Failures are reported (111, 108, 129) without an event.
  HRESULT Apply(const ComponentItem& item, std::vector<kt::device::ShellStart>& launchList, bool& restartNeeded);

 private:
  HRESULT NameByProduct(const ComponentItem& item, std::string& package);
  HRESULT RunAndWait(const kt::device::ShellStart& command, bool& restartNeeded);
  HRESULT CheckInstalledVersion(const ComponentItem& item);
  HRESULT Stopped(const std::string& name);

  Kt_EngineHost& host_;
  Kt_Msi msi_;
};

}  // namespace kt::engine
