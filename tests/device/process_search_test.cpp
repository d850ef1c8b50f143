// Finding and ending the processes that hold a file, with a helper program that keeps a DLL
// loaded, and the module-snapshot worker with snapshots that hang.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

#include "device/kt_device_win32.h"
#include "device/module_snapshot_worker.h"
#include "device/path_text.h"
#include "device/process_search.h"
#include "tests/device/support/device_test_support.h"

namespace kt::device::test {
namespace {

constexpr DWORD kStartLimitMs = 60000;

// A copy of the helper program under its own name holding a copy of a DLL under its own name,
// so that no other test's processes can match.
class HeldDll {
 public:
  explicit HeldDll(const std::string& title) {
    static std::atomic<int> counter{0};
    const std::string tag = std::to_string(::GetCurrentProcessId()) + "_" + std::to_string(counter++);
    holder_ = folder_ / ("kt_holder_" + tag + ".exe");
    dll_ = folder_ / ("kt_held_" + tag + ".dll");
    ::CopyFileA(FixturePath("dll_holder.exe").c_str(), holder_.c_str(), FALSE);
    ::CopyFileA(FixturePath("kt_com_server.dll").c_str(), dll_.c_str(), FALSE);
    const std::string eventName = "kt_device_ready_" + tag;
    UniqueHandle ready(::CreateEventA(nullptr, TRUE, FALSE, eventName.c_str()));
    process_ = std::make_unique<ChildProcess>("\"" + holder_ + "\" \"" + dll_ + "\" " + eventName + " \"" + title + "\"");
    ready_ = process_->Valid() && ::WaitForSingleObject(ready.Get(), kStartLimitMs) == WAIT_OBJECT_0;
  }
  ~HeldDll() { process_.reset(); }

  bool Ready() const { return ready_; }
  const std::string& Dll() const { return dll_; }
  const std::string& Holder() const { return holder_; }
  ChildProcess& Process() { return *process_; }
  std::string Id() const { return std::to_string(process_->Id()); }

 private:
  ScratchFolder folder_;
  std::string holder_;
  std::string dll_;
  std::unique_ptr<ChildProcess> process_;
  bool ready_ = false;
};

const Kt_ProcessEntry* Find(const std::vector<Kt_ProcessEntry>& processes, const std::string& id) {
  auto it = std::find_if(processes.begin(), processes.end(), [&](const Kt_ProcessEntry& e) { return e.processId == id; });
  return it == processes.end() ? nullptr : &*it;
}

// Windows exist only where Wine has a display (the test command runs Wine inside Xvfb).
bool HasWindow(const char* title) { return ::FindWindowA("KtDllHolderWindow", title) != nullptr; }

TEST(ProcessSearchTest, FindsTheProcessThatLoadedTheDll) {
  HeldDll held("Kt holder");
  ASSERT_TRUE(held.Ready());
  Kt_DeviceWIN32 device(nullptr, nullptr);
  std::vector<Kt_ProcessEntry> processes = {{"stale", {}}};
  // The name is compared without its folder and without regard to case.
  std::string other = "C:\\elsewhere\\" + UpperCase(NameAfterLastBackslash(held.Dll()));
  ASSERT_TRUE(device.FindProcessesUsing(other, processes));
  ASSERT_EQ(1u, processes.size());
  EXPECT_EQ(held.Id(), processes[0].processId);
  EXPECT_TRUE(device.IsFileInUse(held.Dll()));
}

TEST(ProcessSearchTest, FindsTheProcessByItsExecutable) {
  HeldDll held("Kt holder");
  ASSERT_TRUE(held.Ready());
  Kt_DeviceWIN32 device(nullptr, nullptr);
  std::vector<Kt_ProcessEntry> processes;
  ASSERT_TRUE(device.FindProcessesUsing(held.Holder(), processes));
  EXPECT_NE(nullptr, Find(processes, held.Id()));
}

TEST(ProcessSearchTest, ReportsTopLevelWindowTitlesCutTo32Characters) {
  const char title[] = "Kt holder window with a title longer than thirty-two characters";
  HeldDll held(title);
  ASSERT_TRUE(held.Ready());
  if (!HasWindow(title)) GTEST_SKIP() << "Wine has no display here: no windows to list";
  Kt_DeviceWIN32 device(nullptr, nullptr);
  std::vector<Kt_ProcessEntry> processes;
  ASSERT_TRUE(device.FindProcessesUsing(held.Dll(), processes));
  ASSERT_NE(nullptr, Find(processes, held.Id()));
  // Other top-level windows of the process (such as an input-method window) may be listed too.
  const std::vector<std::string>& titles = Find(processes, held.Id())->titles;
  EXPECT_NE(titles.end(), std::find(titles.begin(), titles.end(), "Kt holder window with a title lo"));
  for (const std::string& t : titles) EXPECT_LE(t.size(), 32u) << t;
}

TEST(ProcessSearchTest, KillProcessesUsingEndsTheHolder) {
  HeldDll held("Kt holder");
  ASSERT_TRUE(held.Ready());
  Kt_DeviceWIN32 device(nullptr, nullptr);
  EXPECT_EQ(S_OK, device.KillProcessesUsing(held.Dll()));
  ASSERT_TRUE(held.Process().WaitForExit(0));
  DWORD code = 0;
  ASSERT_TRUE(::GetExitCodeProcess(held.Process().Handle(), &code));
  EXPECT_EQ(static_cast<DWORD>(-1), code);
  // Nothing uses it any more.
  EXPECT_FALSE(device.IsFileInUse(held.Dll()));
  EXPECT_EQ(E_FAIL, device.KillProcessesUsing(held.Dll()));
}

TEST(ProcessSearchTest, AFileNoProcessUsesIsNotInUse) {
  Kt_DeviceWIN32 device(nullptr, nullptr);
  std::vector<Kt_ProcessEntry> processes;
  EXPECT_FALSE(device.FindProcessesUsing("C:\\nowhere\\kt_nobody_loads_this.dll", processes));
  EXPECT_TRUE(processes.empty());
  EXPECT_FALSE(device.IsFileInUse("kt_nobody_loads_this.dll"));
  EXPECT_EQ(E_FAIL, device.KillProcessesUsing("kt_nobody_loads_this.dll"));
}

TEST(ProcessSearchTest, KillProcessesSkipsWhatCannotBeOpenedAndNeverEndsItsCaller) {
  Kt_DeviceWIN32 device(nullptr, nullptr);
  ChildProcess ended("\"" + FixturePath("exit_with.exe") + "\" 0");
  ASSERT_TRUE(ended.WaitForExit(kStartLimitMs));
  EXPECT_EQ(1, device.KillProcesses({{std::to_string(ended.Id()), {}}, {"4000000000", {}}, {"junk", {}}}));
  EXPECT_EQ(0, device.KillProcesses({{std::to_string(::GetCurrentProcessId()), {}}}));
}

// Module snapshots that hang for one chosen process until released.
std::atomic<DWORD> g_hangingProcess{0};
HANDLE g_release = nullptr;

bool HangingSnapshot(DWORD processId, Kt_Tlhelp32& snapshot) {
  if (processId == g_hangingProcess) ::WaitForSingleObject(g_release, 60000);
  return ModuleSnapshotWorker::TakeModuleSnapshot(processId, snapshot);
}

class HangingWorkerTest : public ::testing::Test {
 protected:
  HangingWorkerTest() : release_(::CreateEventA(nullptr, TRUE, FALSE, nullptr)) { g_release = release_.Get(); }
  ~HangingWorkerTest() override {
    ::SetEvent(release_.Get());
    worker_.Stop();
    // Retired threads leave as soon as their hung call returns.
    for (int i = 0; i < 600 && ModuleSnapshotWorker::LiveThreads() > baseline_; ++i) ::Sleep(100);
    EXPECT_EQ(baseline_, ModuleSnapshotWorker::LiveThreads());
    g_hangingProcess = 0;
    g_release = nullptr;
  }

  static bool HasModule(const Kt_Tlhelp32& snapshot, const std::string& upperName) {
    MODULEENTRY32 module;
    for (bool more = snapshot.FirstModule(module); more; more = snapshot.NextModule(module)) {
      if (UpperCase(module.szModule) == upperName) return true;
    }
    return false;
  }

  UniqueHandle release_;
  LONG baseline_ = ModuleSnapshotWorker::LiveThreads();
  ModuleSnapshotWorker worker_{&HangingSnapshot, 500};
};

TEST_F(HangingWorkerTest, TimedOutSnapshotDoesNotBlockTheNextRequest) {
  g_hangingProcess = ::GetCurrentProcessId();
  bool walked = false;
  EXPECT_EQ(ModuleSnapshotWorker::Outcome::kTimedOut,
            worker_.Snapshot(::GetCurrentProcessId(), [&](const Kt_Tlhelp32&) { walked = true; }));
  EXPECT_FALSE(walked);
  // A fresh thread serves the next request while the first one still hangs.
  HeldDll held("Kt holder");
  ASSERT_TRUE(held.Ready());
  bool found = false;
  EXPECT_EQ(ModuleSnapshotWorker::Outcome::kTaken,
            worker_.Snapshot(held.Process().Id(), [&](const Kt_Tlhelp32& snapshot) {
              found = HasModule(snapshot, UpperCase(NameAfterLastBackslash(held.Dll())));
            }));
  EXPECT_TRUE(found);
  EXPECT_EQ(baseline_ + 2, ModuleSnapshotWorker::LiveThreads());
}

TEST_F(HangingWorkerTest, SnapshotOfAnEndedProcessFails) {
  ChildProcess ended("\"" + FixturePath("exit_with.exe") + "\" 0");
  ASSERT_TRUE(ended.Valid()) << "the helper program did not start: " << ::GetLastError();
  ASSERT_TRUE(ended.WaitForExit(kStartLimitMs));
  EXPECT_EQ(ModuleSnapshotWorker::Outcome::kFailed, worker_.Snapshot(ended.Id(), [](const Kt_Tlhelp32&) {}));
  // The same thread keeps serving.
  EXPECT_EQ(baseline_ + 1, ModuleSnapshotWorker::LiveThreads());
  EXPECT_EQ(ModuleSnapshotWorker::Outcome::kTaken, worker_.Snapshot(::GetCurrentProcessId(), [](const Kt_Tlhelp32&) {}));
  EXPECT_EQ(baseline_ + 1, ModuleSnapshotWorker::LiveThreads());
}

TEST_F(HangingWorkerTest, AHangingExecutableIsSkippedFromThenOn) {
  HeldDll held("Kt holder");
  ASSERT_TRUE(held.Ready());
  const std::string holderName = UpperCase(NameAfterLastBackslash(held.Holder()));
  g_hangingProcess = held.Process().Id();
  ASSERT_FALSE(IsSkippedExecutable(holderName));

  std::vector<Kt_ProcessEntry> processes;
  // Its snapshot times out, so the holder is not seen holding the DLL, and its name is learned.
  EXPECT_FALSE(FindProcessesUsing(held.Dll(), processes, worker_));
  EXPECT_TRUE(IsSkippedExecutable(holderName));
  // Later searches skip it without asking the worker again; by its executable name it is found.
  ::SetEvent(release_.Get());
  EXPECT_FALSE(FindProcessesUsing(held.Dll(), processes, worker_));
  EXPECT_TRUE(FindProcessesUsing(held.Holder(), processes, worker_));
  EXPECT_NE(nullptr, Find(processes, held.Id()));
}

}  // namespace
}  // namespace kt::device::test
