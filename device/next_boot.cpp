#include "device/next_boot.h"

#include "device/result_codes.h"

namespace kt::device {

HRESULT DeleteAtNextBoot(const std::string& path) {
  if (!::MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) return LastErrorResult();
  return S_OK;
}

}  // namespace kt::device
