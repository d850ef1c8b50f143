#pragma once
// Takes Tool Help module snapshots on a separate thread, so that the caller can give up on a
// snapshot that hangs (as it can for a process that is starting or stuck) after a time limit.
//
// One request is handed over at a time through two manual-reset events (start and done). The
// thread is created on first need. A thread that does not answer in time is retired rather than
// killed: killing a thread inside the system's snapshot code can leave a heap or loader lock held
// for ever, which would hang the next request. The retired thread keeps its own copy of the
// request state, leaves as soon as its call returns, and holds a reference on the module that
// contains this code until then; the next request starts a fresh thread with fresh state.
#include <windows.h>

#include <functional>
#include <memory>
#include <mutex>

#include "device/kt_tlhelp32.h"
#include "device/unique_handle.h"

namespace kt::device {

class ModuleSnapshotWorker {
 public:
  using TakeSnapshot = bool (*)(DWORD processId, Kt_Tlhelp32& snapshot);
  enum class Outcome { kTaken, kFailed, kTimedOut };

  static constexpr DWORD kTimeLimitMs = 3000;

  explicit ModuleSnapshotWorker(TakeSnapshot take = &TakeModuleSnapshot, DWORD timeLimitMs = kTimeLimitMs);
  ~ModuleSnapshotWorker();
  ModuleSnapshotWorker(const ModuleSnapshotWorker&) = delete;
  ModuleSnapshotWorker& operator=(const ModuleSnapshotWorker&) = delete;

  // Takes the snapshot of `processId` on the worker thread and, when it was taken, lets `walk`
  // read it on the calling thread.
  Outcome Snapshot(DWORD processId, const std::function<void(const Kt_Tlhelp32&)>& walk);
  // Asks the thread to end and waits for it at most the time limit.
  void Stop();

  // The worker that all PC device objects share. Each device attaches for its lifetime; when the
  // last one detaches, the thread is stopped.
  static ModuleSnapshotWorker& Shared();
  static void Attach();
  static void Detach();

  // Worker threads of this process that have not ended yet, retired ones included.
  static LONG LiveThreads();

  static bool TakeModuleSnapshot(DWORD processId, Kt_Tlhelp32& snapshot);

 private:
  struct Request;
  static DWORD WINAPI ThreadMain(void* parameter);
  bool StartThread();
  void Retire();

  TakeSnapshot take_;
  DWORD timeLimitMs_;
  std::mutex mutex_;
  std::shared_ptr<Request> request_;
  UniqueHandle thread_;
};

}  // namespace kt::device
