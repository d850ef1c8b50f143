#pragma once
// Kt_CabDown: the hidden job window of the installer. It runs one job (a control from a cabinet,
// or one file download), receives the callback's messages and hands progress and the outcome to
// the dialog.
#include <windows.h>
#include <urlmon.h>

#include <string>

#include "bootstrap/download_callback.h"
#include "bootstrap/requested_version.h"
#include "device/com_ptr.h"

class Kt_CabDown {
 public:
  Kt_CabDown() = default;
  ~Kt_CabDown();
  Kt_CabDown(const Kt_CabDown&) = delete;
  Kt_CabDown& operator=(const Kt_CabDown&) = delete;

  // Creates the window: a hidden child of `dialog` of the system "button" class with id 1.
  bool Create(HWND dialog);
  void Destroy();
  HWND Window() const { return window_; }

  // Mode 1: installs the class from the cabinet at `codebase` at the version the argument asks
  // for. Every start ends in exactly one outcome message to the dialog; the return value is 0
  // when that outcome is already known to be success and the window need not show.
  HRESULT StartInstall(const std::string& clsidText, const std::string& codebase, const std::string& version);
  // Mode 2: downloads `url` to `fileName`, posting progress and the outcome as it goes. Returns
  // the download's result.
  HRESULT Download(const std::string& url, const std::string& fileName);

  bool Finished() const { return finished_; }
  bool Succeeded() const { return succeeded_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnClassObject(WPARAM object);
  LRESULT OnOutcome(WPARAM code);
  LRESULT OnProgress(WPARAM status);
  void BeginJob(bool needsClassObject);
  void Fail(HRESULT code, const std::string& text);
  void ReleaseJob();
  HRESULT StartSystemDownload(bool& unavailable);
  HRESULT StartOwnDownload();

  HWND window_ = nullptr;
  HWND dialog_ = nullptr;
  WNDPROC buttonProc_ = nullptr;

  std::string clsidText_;
  std::string codebase_;
  CLSID clsid_ = {};
  kt::bootstrap::FileVersion version_;
  kt::device::ComPtr<CDownload> callback_;
  kt::device::ComPtr<IBindCtx> bindContext_;
  std::string errorText_;
  bool active_ = false;           // a job runs and its outcome has not reached the dialog yet
  bool needsClassObject_ = false;  // success means the class object was obtained
  bool finished_ = false;
  bool succeeded_ = false;
};
