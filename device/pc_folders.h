#pragma once
// The folders of the PC that the PC device takes from the configuration: the system folder, the
// installation's standard folders and the well-known folders of the PC's folder record. Without a
// configuration the system's own answers stand in, and the installation folders are unknown.
#include <string>
#include <vector>

class Kt_QxpConfiguration;
struct FolderRecord;

namespace kt::device {

// The folder of a CSIDL that a device's folder record answers (desktop, programs, personal, start
// menu, both application data folders, windows, system, program files); false for any other.
bool RecordFolder(const FolderRecord& record, int csidl, std::string& path);

class PcFolders {
 public:
  explicit PcFolders(Kt_QxpConfiguration* configuration) : configuration_(configuration) {}

  // The PC's system folder, ending in a backslash.
  std::string System() const;
  // SetupFolder of the PC: where generated scripts are written.
  std::string Setup() const;
  // MakerFolder of the current device: where the bootstrap installer lies when the control
  // library's own folder is unknown. Empty without a configuration.
  std::string Maker() const;
  // The folders PrepareFolders creates, in order: program files, maker, platform, cache, version,
  // component and setup folder of the PC.
  std::vector<std::string> Standard() const;
  // RecordFolder of the PC's folder record; false without a configuration.
  bool FromRecord(int csidl, std::string& path) const;

 private:
  Kt_QxpConfiguration* configuration_;
};

}  // namespace kt::device
