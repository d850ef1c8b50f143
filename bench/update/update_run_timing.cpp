// Times a whole update of many small components through the control against a local server,
// beside a bare loop of the same downloads and copies made with the plain URL moniker and file
// API, and a second run with nothing to update. Prints the times and their ratios.
//
//   update_run_timing BASE_URL COUNT      BASE_URL/config.xml names one component list of COUNT
//                                         files "f<i>.txt" under BASE_URL/app/files/
#include <windows.h>
#include <urlmon.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "control/com/bstr.h"
#include "control/com/dispatch_call.h"
#include "control/kt_qx_installer.h"
#include "device/com_ptr.h"

namespace {

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

std::string TempFolder(const char* name) {
  char temp[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + name + "\\";
  ::CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

HRESULT Put(IDispatch* control, const wchar_t* name, const std::string& value) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  control->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  kt::com::Bstr text(value);
  return kt::com::PutProperty(control, id, kt::com::BorrowedBstr(text.Get()));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: update_run_timing BASE_URL COUNT\n");
    return 2;
  }
  const std::string base = argv[1];
  const int count = std::atoi(argv[2]);
  kt::device::ComApartment com;

  // The bare loop: download each file, then copy it into place.
  const std::string downloads = TempFolder("kt_bench_downloads");
  const std::string placed = TempFolder("kt_bench_placed");
  const auto bareStart = std::chrono::steady_clock::now();
  for (int i = 0; i < count; ++i) {
    const std::string name = "f" + std::to_string(i) + ".txt";
    const std::string url = base + "/app/files/" + name;
    if (FAILED(::URLDownloadToFileA(nullptr, url.c_str(), (downloads + name).c_str(), 0, nullptr)) ||
        !::CopyFileA((downloads + name).c_str(), (placed + name).c_str(), FALSE)) {
      std::fprintf(stderr, "bare loop failed at %s\n", url.c_str());
      return 1;
    }
  }
  const double bare = Seconds(std::chrono::steady_clock::now() - bareStart);

  kt::device::ComPtr<IKtQxInstaller320_V3> control;
  if (FAILED(kt::control::CKtQxInstaller3::Create(IID_IKtQxInstaller320_V3, control.PutVoid()))) return 1;
  const std::string installed = TempFolder("kt_bench_installed");
  Put(control.Get(), L"Key", "KtBenchUpdate");
  Put(control.Get(), L"ReInstall", "-1");
  control->AddAlias(kt::com::Bstr("").Get(), kt::com::Bstr(installed).Get(), kt::com::Bstr("").Get());
  Put(control.Get(), L"UpdateURL", base + "/config.xml");
  const auto firstStart = std::chrono::steady_clock::now();
  control->StartDownload();
  const double first = Seconds(std::chrono::steady_clock::now() - firstStart);
  LONG code = -1;
  control->get_ErrorCode(&code);
  if (code != 0) {
    std::fprintf(stderr, "first run failed: %ld\n", code);
    return 1;
  }
  Put(control.Get(), L"ReInstall", "0");
  const auto secondStart = std::chrono::steady_clock::now();
  control->StartDownload();
  const double second = Seconds(std::chrono::steady_clock::now() - secondStart);

  std::printf("components             %d\n", count);
  std::printf("bare urlmon + copy     %.3f s\n", bare);
  std::printf("engine, first run      %.3f s   (%.2fx the bare loop; goal 1.25x)\n", first, first / bare);
  std::printf("engine, nothing to do  %.3f s   (goal 0.200 s)\n", second);
  return 0;
}
