#include "device/module_snapshot_worker.h"

#include <atomic>

namespace kt::device {

namespace {

std::atomic<LONG> g_liveThreads{0};
std::mutex g_attachMutex;
int g_attached = 0;

}  // namespace

// What the caller and one worker thread share; each holds a reference.
struct ModuleSnapshotWorker::Request {
  UniqueHandle start{::CreateEventA(nullptr, TRUE, FALSE, nullptr)};
  UniqueHandle done{::CreateEventA(nullptr, TRUE, FALSE, nullptr)};
  TakeSnapshot take = nullptr;
  std::atomic<DWORD> processId{0};
  std::atomic<bool> stop{false};
  std::atomic<bool> taken{false};
  Kt_Tlhelp32 snapshot;
};

ModuleSnapshotWorker::ModuleSnapshotWorker(TakeSnapshot take, DWORD timeLimitMs)
    : take_(take), timeLimitMs_(timeLimitMs) {}

ModuleSnapshotWorker::~ModuleSnapshotWorker() { Stop(); }

bool ModuleSnapshotWorker::TakeModuleSnapshot(DWORD processId, Kt_Tlhelp32& snapshot) {
  return snapshot.Create(TH32CS_SNAPMODULE, processId);
}

DWORD WINAPI ModuleSnapshotWorker::ThreadMain(void* parameter) {
  HMODULE self = nullptr;
  {
    std::unique_ptr<std::shared_ptr<Request>> owned(static_cast<std::shared_ptr<Request>*>(parameter));
    std::shared_ptr<Request> request = *owned;
    owned.reset();
    // Keeps the code of this thread loaded while it runs, also if it outlives its caller.
    ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                         reinterpret_cast<LPCSTR>(&ModuleSnapshotWorker::ThreadMain), &self);
    for (;;) {
      if (::WaitForSingleObject(request->start.Get(), INFINITE) != WAIT_OBJECT_0) break;
      ::ResetEvent(request->start.Get());
      if (request->stop) break;
      request->taken = request->take(request->processId, request->snapshot);
      ::SetEvent(request->done.Get());
    }
    request->snapshot.Close();
    ::SetEvent(request->done.Get());
  }
  --g_liveThreads;
  if (self != nullptr) ::FreeLibraryAndExitThread(self, 0);
  return 0;
}

bool ModuleSnapshotWorker::StartThread() {
  auto request = std::make_shared<Request>();
  if (!request->start || !request->done) return false;
  request->take = take_;
  auto parameter = std::make_unique<std::shared_ptr<Request>>(request);
  ++g_liveThreads;
  HANDLE thread = ::CreateThread(nullptr, 0, &ThreadMain, parameter.get(), 0, nullptr);
  if (thread == nullptr) {
    --g_liveThreads;
    return false;
  }
  parameter.release();
  thread_.Reset(thread);
  request_ = std::move(request);
  return true;
}

void ModuleSnapshotWorker::Retire() {
  if (request_) {
    request_->stop = true;
    ::SetEvent(request_->start.Get());
  }
  request_.reset();
  thread_.Reset();
}

ModuleSnapshotWorker::Outcome ModuleSnapshotWorker::Snapshot(
    DWORD processId, const std::function<void(const Kt_Tlhelp32&)>& walk) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!request_ && !StartThread()) return Outcome::kFailed;
  request_->processId = processId;
  request_->taken = false;
  ::ResetEvent(request_->done.Get());
  ::SetEvent(request_->start.Get());
  if (::WaitForSingleObject(request_->done.Get(), timeLimitMs_) != WAIT_OBJECT_0) {
    Retire();
    return Outcome::kTimedOut;
  }
  if (!request_->taken) return Outcome::kFailed;
  walk(request_->snapshot);
  request_->snapshot.Close();
  return Outcome::kTaken;
}

void ModuleSnapshotWorker::Stop() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!request_) return;
  request_->stop = true;
  ::SetEvent(request_->start.Get());
  ::WaitForSingleObject(thread_.Get(), timeLimitMs_);
  request_.reset();
  thread_.Reset();
}

ModuleSnapshotWorker& ModuleSnapshotWorker::Shared() {
  static ModuleSnapshotWorker worker;
  return worker;
}

void ModuleSnapshotWorker::Attach() {
  std::lock_guard<std::mutex> lock(g_attachMutex);
  ++g_attached;
}

void ModuleSnapshotWorker::Detach() {
  std::lock_guard<std::mutex> lock(g_attachMutex);
  if (g_attached > 0 && --g_attached == 0) Shared().Stop();
}

LONG ModuleSnapshotWorker::LiveThreads() { return g_liveThreads; }

}  // namespace kt::device
