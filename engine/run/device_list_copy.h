#pragma once
// The local version files of a CE target: the record belongs on the device, and the engine reads
// and writes a copy of it in the PC's list-cache folder. The copy is brought over before a list is
// merged and taken back after every write.
#include <windows.h>

#include <string>

class Kt_Device;
class Kt_QxpConfiguration;

namespace kt::engine {

struct LocalFilePaths {
  std::string pc;      // the file the engine reads and writes
  std::string device;  // the record on the CE device; empty for a PC target
};

// For a PC target the list-cache file of the PC; for a CE target the PC's copy and the device's
// record of the same name.
LocalFilePaths LocalFilesFor(Kt_QxpConfiguration& configuration, const std::string& listUrl);

// Copies the device's record over the PC's copy. When the device holds no record the PC's copy is
// removed too, so that an old copy is never taken for the device's state.
HRESULT BringFromDevice(Kt_Device& ce, const LocalFilePaths& paths);

// Copies the PC's copy onto the device.
HRESULT TakeToDevice(Kt_Device& ce, const LocalFilePaths& paths);

}  // namespace kt::engine
