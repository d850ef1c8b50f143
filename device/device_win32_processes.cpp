// The PC device: the processes that hold a file.
#include "device/kt_device_win32.h"
#include "device/process_search.h"

bool Kt_DeviceWIN32::FindProcessesUsing(const std::string& file, std::vector<Kt_ProcessEntry>& processes) {
  return kt::device::FindProcessesUsing(file, processes, kt::device::ModuleSnapshotWorker::Shared());
}

int Kt_DeviceWIN32::KillProcesses(const std::vector<Kt_ProcessEntry>& processes) {
  return kt::device::KillProcesses(processes);
}

HRESULT Kt_DeviceWIN32::KillProcessesUsing(const std::string& file) {
  std::vector<Kt_ProcessEntry> processes;
  if (!FindProcessesUsing(file, processes)) return E_FAIL;
  return KillProcesses(processes) == 1 ? S_OK : E_FAIL;
}

bool Kt_DeviceWIN32::IsFileInUse(const std::string& file) {
  std::vector<Kt_ProcessEntry> processes;
  return FindProcessesUsing(file, processes);
}
