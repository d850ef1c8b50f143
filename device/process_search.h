#pragma once
// Finding the processes that run a file or have it loaded, and ending them.
#include <string>
#include <vector>

#include "device/module_snapshot_worker.h"
#include "device/process_entry.h"

namespace kt::device {

// Fills `processes` (emptied first) with every process whose executable or one of whose modules
// has the file's name, each with the titles of its top-level windows. Module snapshots are taken
// on `worker`; an executable whose snapshot timed out once is not examined again for the life of
// the library. Returns true when any process was found.
bool FindProcessesUsing(const std::string& file, std::vector<Kt_ProcessEntry>& processes,
                        ModuleSnapshotWorker& worker);

// Ends each listed process and waits for it. Returns 1 unless a termination failed; a process
// that cannot be opened (or has ended already) is skipped, and the calling process itself is
// never ended: that counts as a failed termination.
int KillProcesses(const std::vector<Kt_ProcessEntry>& processes);

// True when a process whose executable has this name (without its folder, compared without
// regard to case) is running.
bool IsProgramRunning(const std::string& exeName);

// The learned list of executables (upper-case names) whose module snapshot timed out.
bool IsSkippedExecutable(const std::string& upperName);

}  // namespace kt::device
