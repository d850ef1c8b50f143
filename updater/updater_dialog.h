#pragma once
// CQxUpdaterDlg: the updater's only window. It hosts the control as a hidden child, hands it the
// start-up values, runs one update through it, shows progress and errors from its events, asks
// before cancelling, answers its confirmation and lets it start the platform at the end.
#include <windows.h>

#include <memory>
#include <string>

#include "updater/background_picture.h"
#include "updater/control_events.h"
#include "updater/control_host.h"
#include "updater/gdi_objects.h"

namespace kt::updater {

struct UpdaterStartValues;
class CResModule;
class UpdaterPrompt;

// Private messages: wParam 0 hides the window, any other value shows it topmost without
// activating it; the second starts the run (posted once at the end of initialisation).
constexpr UINT kShowWindowMessage = WM_USER + 1;
constexpr UINT kStartRunMessage = WM_USER + 2;

class CQxUpdaterDlg : private UpdaterEvents {
 public:
  CQxUpdaterDlg(const UpdaterStartValues& values, const CResModule& library, UpdaterPrompt& prompt);
  ~CQxUpdaterDlg() override = default;
  CQxUpdaterDlg(const CQxUpdaterDlg&) = delete;
  CQxUpdaterDlg& operator=(const CQxUpdaterDlg&) = delete;

  // Shows the dialog modally until the run has ended it.
  INT_PTR DoModal(HINSTANCE program);

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  BOOL OnInitDialog();
  void ChooseBackground();
  void CreateControl();
  void OnShowWindow(WPARAM show);
  void Run();
  void Finish();
  void OnCancel();
  void Close();
  void OnPaint();
  HBRUSH OnStaticColour(HDC dc, HWND control);
  void OnDestroy();

  // UpdaterEvents
  void OnError(const std::string& file, long code, const std::string& message) override;
  void OnStartDownLoad(const std::string& versionFile, const std::string& file, long type, long total,
                       long index) override;
  void OnEndDownLoad(const std::string& versionFile, const std::string& file, long type, long total,
                     long index) override;
  void OnConfirm(long flag, VARIANT_BOOL* result) override;
  void OnProgress(const std::string& item, long progress, long maximum, const std::string& status) override;

  void ProcessMessages();
  // Waits while serving window messages.
  void Wait(DWORD milliseconds);
  void SetButtonImage(HBITMAP image);
  void ShowItem(int id, bool show);
  void SetStatus(const std::string& text);
  void SetCounter(const std::string& text);
  void SetBar(int id, int maximum, int position);
  void ShowProgressTexts(const std::string& name, const std::string& label, long index, long total);
  std::string StartDescription() const;
  int Ask(const std::string& text, const char* caption, UINT type);

  const UpdaterStartValues& values_;
  const CResModule& library_;
  UpdaterPrompt& prompt_;
  UpdaterEventSink sink_;
  HWND window_ = nullptr;
  std::unique_ptr<ControlHost> control_;

  bool cancelled_ = false;
  bool error_ = false;
  bool noLaunchAfterError_ = false;
  bool finished_ = false;
  bool itemsPending_ = false;
  bool launched_ = false;
  int itemPosition_ = 0;
  int overallStep_ = 0;
  int layout_ = 0;
  std::string separator_;
  std::string unit_;
  BackgroundPicture background_;
  UniqueBitmap firstButton_;
  UniqueBitmap secondButton_;
};

}  // namespace kt::updater
