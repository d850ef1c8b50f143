#include "engine/run/device_list_copy.h"

#include "config/qxp_configuration.h"
#include "device/kt_device.h"
#include "device/result_codes.h"
#include "engine/core/local_file_name.h"
#include "engine/local_version_file.h"

namespace kt::engine {

LocalFilePaths LocalFilesFor(Kt_QxpConfiguration& configuration, const std::string& listUrl) {
  if (!configuration.IsCurrentCE()) return {LocalFileFor(configuration, listUrl), std::string()};
  const std::string name = LocalFileNameFor(listUrl);
  return {configuration.VerFolder(Kt_QxpConfiguration::kPc) + name,
          configuration.VerFolder(Kt_QxpConfiguration::kCurrent) + name};
}

HRESULT BringFromDevice(Kt_Device& ce, const LocalFilePaths& paths) {
  const HRESULT copied = ce.CopyFromDevice(paths.device, paths.pc);
  if (copied == kt::device::DeviceResult(ERROR_FILE_NOT_FOUND) ||
      copied == kt::device::DeviceResult(ERROR_PATH_NOT_FOUND)) {
    return ce.LocalDevice()->DeleteFile(paths.pc);
  }
  return copied;
}

HRESULT TakeToDevice(Kt_Device& ce, const LocalFilePaths& paths) { return ce.CopyFile(paths.pc, paths.device); }

}  // namespace kt::engine
