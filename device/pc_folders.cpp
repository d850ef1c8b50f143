#include "device/pc_folders.h"

#include <windows.h>
#include <shlobj.h>

#include "config/qxp_configuration.h"
#include "device/path_text.h"

namespace kt::device {

namespace {

std::string SystemDirectory() {
  char buffer[MAX_PATH + 1] = {0};
  UINT length = ::GetSystemDirectoryA(buffer, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH) return std::string();
  return WithTrailingBackslash(std::string(buffer, length));
}

std::string TempDirectory() {
  char buffer[MAX_PATH + 1] = {0};
  DWORD length = ::GetTempPathA(MAX_PATH + 1, buffer);
  if (length == 0 || length > MAX_PATH) return std::string();
  return WithTrailingBackslash(std::string(buffer, length));
}

}  // namespace

std::string PcFolders::System() const {
  if (configuration_ == nullptr) return SystemDirectory();
  return WithTrailingBackslash(configuration_->SystemFolder(Kt_QxpConfiguration::kPc));
}

std::string PcFolders::Setup() const {
  if (configuration_ == nullptr) return TempDirectory();
  return WithTrailingBackslash(configuration_->SetupFolder(Kt_QxpConfiguration::kPc));
}

std::string PcFolders::Maker() const {
  if (configuration_ == nullptr) return std::string();
  return configuration_->MakerFolder(Kt_QxpConfiguration::kCurrent);
}

std::vector<std::string> PcFolders::Standard() const {
  if (configuration_ == nullptr) return {};
  Kt_QxpConfiguration& c = *configuration_;
  const int pc = Kt_QxpConfiguration::kPc;
  return {c.ProgramFilesFolder(pc), c.MakerFolder(pc), c.PlatformFolder(pc), c.CacheFolder(pc),
          c.VerFolder(pc),          c.ComponentFolder(pc), c.SetupFolder(pc)};
}

bool RecordFolder(const FolderRecord& record, int csidl, std::string& path) {
  path.clear();
  switch (csidl) {
    case CSIDL_DESKTOP: path = record.desktop; return true;
    case CSIDL_PROGRAMS: path = record.programs; return true;
    case CSIDL_PERSONAL: path = record.personal; return true;
    case CSIDL_STARTMENU: path = record.startMenu; return true;
    case CSIDL_APPDATA: path = record.roamingAppData; return true;
    case CSIDL_LOCAL_APPDATA: path = record.localAppData; return true;
    case CSIDL_WINDOWS: path = record.windows; return true;
    case CSIDL_SYSTEM: path = record.system; return true;
    case CSIDL_PROGRAM_FILES: path = record.programFiles; return true;
    default: return false;
  }
}

bool PcFolders::FromRecord(int csidl, std::string& path) const {
  path.clear();
  if (configuration_ == nullptr) return false;
  return RecordFolder(configuration_->Folders(Kt_QxpConfiguration::kPc), csidl, path);
}

}  // namespace kt::device
