#include "engine/run/platform_start.h"

#include <shellapi.h>

#include "config/loaded_module.h"
#include "config/qxp_configuration.h"
#include "device/kt_device_win32.h"
#include "device/unique_handle.h"
#include "engine/protected_mode.h"

namespace kt::engine {
namespace {

constexpr int kStartFailed = 115;

// The shell's start: its failure as 0x80070000 + the last system error, or + the shell's own
// result when no system error was set.
HRESULT StartThroughShell(HWND owner, const std::string& program, const std::string& options) {
  ::SetLastError(0);
  const INT_PTR result = reinterpret_cast<INT_PTR>(
      ::ShellExecuteA(owner, "open", program.c_str(), options.c_str(), nullptr, SW_SHOWDEFAULT));
  if (result > 32) return S_OK;
  const DWORD error = ::GetLastError();
  return static_cast<HRESULT>(0x80070000u + (error != 0 ? error : static_cast<DWORD>(result)));
}

HRESULT StartThroughDevice(Kt_DeviceWIN32& pc, const std::string& program, const PlatformLaunch& launch) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = launch.flags | STARTF_USESHOWWINDOW;
  startup.dwX = static_cast<DWORD>(launch.position.x);
  startup.dwY = static_cast<DWORD>(launch.position.y);
  startup.dwXSize = static_cast<DWORD>(launch.size.cx);
  startup.dwYSize = static_cast<DWORD>(launch.size.cy);
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION process{};
  // The program's own path leads its command line, as every program expects to find it there.
  const HRESULT result = pc.CreateProcess(program, "\"" + program + "\"" + launch.options, &startup, std::string(), process);
  // The platform runs on by itself; its handles are not kept.
  kt::device::UniqueHandle thread(process.hThread);
  kt::device::UniqueHandle started(process.hProcess);
  return result;
}

}  // namespace

RECT MonitorWorkArea(HWND window) {
  using MonitorFromWindowFn = HMONITOR(WINAPI*)(HWND, DWORD);
  using GetMonitorInfoFn = BOOL(WINAPI*)(HMONITOR, LPMONITORINFO);
  RECT area{0, 0, 0, 0};
  const kt::LoadedModule user("USER32.DLL");
  const auto monitorFromWindow = user.Function<MonitorFromWindowFn>("MonitorFromWindow");
  const auto getMonitorInfo = user.Function<GetMonitorInfoFn>("GetMonitorInfoA");
  if (monitorFromWindow == nullptr || getMonitorInfo == nullptr) return area;
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (getMonitorInfo(monitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info)) area = info.rcWork;
  return area;
}

FrameMetrics SystemFrameMetrics() {
  FrameMetrics metrics;
  metrics.frameWidth = ::GetSystemMetrics(SM_CXFRAME);
  metrics.frameHeight = ::GetSystemMetrics(SM_CYFRAME);
  metrics.edgeWidth = ::GetSystemMetrics(SM_CXEDGE);
  metrics.edgeHeight = ::GetSystemMetrics(SM_CYEDGE);
  metrics.menuHeight = ::GetSystemMetrics(SM_CYMENU);
  metrics.captionHeight = ::GetSystemMetrics(SM_CYCAPTION);
  return metrics;
}

HRESULT StartPlatform(Kt_EngineHost& host, const PlatformStartProperties& properties, HWND parentWindow,
                      HWND ownerWindow) {
  const std::string program = host.Configuration().ExecutablePath(Kt_QxpConfiguration::kCurrent);
  PlatformLaunch launch;
  std::string refusal;
  HRESULT result = S_OK;
  if (!BuildPlatformLaunch(properties, MonitorWorkArea(parentWindow), SystemFrameMetrics(), launch, refusal)) {
    result = E_INVALIDARG;
    host.ReportError(0, result, refusal, program, false);
  } else {
    result = IeProtectedMode() ? StartThroughShell(ownerWindow, program, launch.options)
                               : StartThroughDevice(host.PcDevice(), program, launch);
    if (SUCCEEDED(result)) return result;
    host.ReportError(kStartFailed, result, "\n[ErrorMsg]", program, false);
  }
  host.Ask(host.ErrorMessage(), MB_OK, true);
  return result;
}

}  // namespace kt::engine
