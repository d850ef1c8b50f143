#pragma once
// CKt_InstallerDlg: the installer's progress dialog (template 102). It reads the job from the
// command line, runs it through the job window, shows progress, and ends the installer with the
// job's outcome.
#include <windows.h>

#include <string>
#include <vector>

#include "bootstrap/cab_down.h"
#include "bootstrap/installer_arguments.h"
#include "bootstrap/progress_thinning.h"
#include "bootstrap/user_prompt.h"

class CKt_InstallerDlg {
 public:
  // `arguments`: the argument vector, program first. `silentSwitch`: "-m" was given.
  CKt_InstallerDlg(std::vector<std::string> arguments, kt::bootstrap::Kt_UserPrompt& prompt, bool silentSwitch);
  ~CKt_InstallerDlg();
  CKt_InstallerDlg(const CKt_InstallerDlg&) = delete;
  CKt_InstallerDlg& operator=(const CKt_InstallerDlg&) = delete;

  // Creates the dialog, owned by `frame`; it shows itself unless silent. Null on failure.
  HWND Create(HINSTANCE instance, HWND frame);
  HWND Window() const { return window_; }

  bool Silent() const { return silent_; }
  bool Ended() const { return ended_; }
  // The code the installer ends with: 0 at start, then the outcome's code or the end's.
  int Result() const { return result_; }
  kt::bootstrap::InstallMode Mode() const { return mode_; }

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  BOOL OnInitDialog();
  void OnTimer(UINT_PTR id);
  void OnCancel();
  void OnOutcome(HRESULT code, const char* text);
  void OnProgress();
  void OnDestroy();
  void RunJob();
  void RunWebPage(const kt::bootstrap::InstallerJob& job);
  void PrepareProgress(const kt::bootstrap::InstallerJob& job);
  void ShowOnTop();
  void EndWithResult(int result);
  void Tell(const std::string& text, const char* caption, UINT type = MB_OK | MB_ICONERROR);

  std::vector<std::string> arguments_;
  kt::bootstrap::Kt_UserPrompt& prompt_;
  HWND window_ = nullptr;
  HWND frame_ = nullptr;
  int result_ = 0;
  bool silent_;
  kt::bootstrap::InstallMode mode_ = kt::bootstrap::InstallMode::kNone;
  int progressSteps_ = kt::bootstrap::kDefaultProgressSteps;
  kt::bootstrap::ProgressThinning thinning_;
  std::string statusText_;
  Kt_CabDown cabDown_;
  bool outcomeHandled_ = false;
  bool jobStarted_ = false;
  bool ended_ = false;
};

// True when HKEY_CURRENT_USER "Software\ORVANTIS\KtValueDaemon" holds a non-zero REG_DWORD
// "InstallerMute".
bool InstallerMuted();
