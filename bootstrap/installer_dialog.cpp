// The installer's progress dialog.
#include "bootstrap/installer_dialog.h"

#include <commctrl.h>

#include <cstring>

#include "bootstrap/installer_messages.h"
#include "bootstrap/installer_texts.h"
#include "bootstrap/status_text.h"
#include "bootstrap/web_browser.h"
#include "config/registry_win32.h"
#include "resources/bootstrap/bootstrap_resource.h"

using kt::bootstrap::InstallMode;

namespace {

constexpr UINT_PTR kStartTimer = 1;
constexpr UINT kStartDelayMs = 100;
constexpr UINT_PTR kEndTimer = 10;
constexpr UINT kEndDelayMs = 500;
constexpr UINT kAboutCommand = 16;

std::string CurrentFolder() {
  char folder[MAX_PATH] = {0};
  DWORD length = ::GetCurrentDirectoryA(MAX_PATH, folder);
  return length == 0 || length >= MAX_PATH ? std::string() : std::string(folder, length);
}

}  // namespace

bool InstallerMuted() {
  Kt_RegistryWin32 key;
  if (!key.Open(HKEY_CURRENT_USER, "Software\\ORVANTIS\\KtValueDaemon", KEY_READ)) return false;
  DWORD type = 0;
  DWORD size = 0;
  std::vector<BYTE> data;
  if (!key.QueryValue("InstallerMute", &type, &data, &size) || type != REG_DWORD || size != sizeof(DWORD)) {
    return false;
  }
  DWORD value = 0;
  std::memcpy(&value, data.data(), sizeof(value));
  return value != 0;
}

CKt_InstallerDlg::CKt_InstallerDlg(std::vector<std::string> arguments, kt::bootstrap::Kt_UserPrompt& prompt,
                                   bool silentSwitch)
    : arguments_(std::move(arguments)), prompt_(prompt), silent_(silentSwitch) {}

CKt_InstallerDlg::~CKt_InstallerDlg() {
  if (window_ != nullptr && ::IsWindow(window_)) ::DestroyWindow(window_);
}

HWND CKt_InstallerDlg::Create(HINSTANCE instance, HWND frame) {
  frame_ = frame;
  HWND window = ::CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_KT_INSTALLER_DIALOG), frame,
                                     &CKt_InstallerDlg::DialogProc, reinterpret_cast<LPARAM>(this));
  // Shown once created, as a modal dialog would be; a silent installer never shows.
  if (window != nullptr && !silent_) ::ShowWindow(window, SW_SHOWNORMAL);
  return window;
}

INT_PTR CALLBACK CKt_InstallerDlg::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  CKt_InstallerDlg* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<CKt_InstallerDlg*>(lParam);
    ::SetWindowLongPtrA(window, DWLP_USER, lParam);
    self->window_ = window;
    return self->OnInitDialog();
  }
  self = reinterpret_cast<CKt_InstallerDlg*>(::GetWindowLongPtrA(window, DWLP_USER));
  if (self == nullptr) return FALSE;
  switch (message) {
    case WM_TIMER:
      self->OnTimer(wParam);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL) self->OnCancel();
      if (LOWORD(wParam) == IDC_KT_INSTALLER_START) self->RunJob();
      return TRUE;
    case kt::bootstrap::kOutcomeMessage:
      self->OnOutcome(static_cast<HRESULT>(wParam), reinterpret_cast<const char*>(lParam));
      return TRUE;
    case kt::bootstrap::kProgressMessage:
      self->OnProgress();
      return TRUE;
    case WM_DESTROY:
      self->OnDestroy();
      return TRUE;
    case WM_NCDESTROY:
      ::SetWindowLongPtrA(window, DWLP_USER, 0);
      self->window_ = nullptr;
      return FALSE;
    default:
      return FALSE;
  }
}

BOOL CKt_InstallerDlg::OnInitDialog() {
  ::ShowWindow(window_, SW_HIDE);
  result_ = 0;
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(window_, GWLP_HINSTANCE));
  char about[128] = {0};
  HMENU systemMenu = ::GetSystemMenu(window_, FALSE);
  if (systemMenu != nullptr && ::LoadStringA(instance, IDS_KT_INSTALLER_ABOUT, about, sizeof(about)) > 0) {
    ::AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(systemMenu, MF_STRING, kAboutCommand, about);
  }
  if (InstallerMuted()) silent_ = true;
  HICON icon = ::LoadIconA(nullptr, MAKEINTRESOURCEA(32512));  // IDI_APPLICATION
  ::SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  ::SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  if (!cabDown_.Create(window_)) {
    // Without its job window no job can report an outcome: end now rather than wait for ever.
    Tell(kt::bootstrap::kCabDownCreateFailed, kt::bootstrap::kInstallerCaption);
    EndWithResult(E_FAIL);
    return TRUE;
  }
  statusText_ = kt::bootstrap::StartStatusText(arguments_);
  ::SetDlgItemTextA(window_, IDC_KT_INSTALLER_STATUS, statusText_.c_str());
  ::SetTimer(window_, kStartTimer, kStartDelayMs, nullptr);
  return TRUE;
}

void CKt_InstallerDlg::OnTimer(UINT_PTR id) {
  ::KillTimer(window_, id);
  if (id == kStartTimer) RunJob();
  if (id == kEndTimer) EndWithResult(0);
}

void CKt_InstallerDlg::Tell(const std::string& text, const char* caption, UINT type) {
  if (!silent_) prompt_.Show(window_, text, caption, type);
}

void CKt_InstallerDlg::ShowOnTop() {
  if (silent_) return;
  ::ShowWindow(window_, SW_SHOWNORMAL);
  ::SetWindowPos(window_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  ::SetForegroundWindow(window_);
}

void CKt_InstallerDlg::PrepareProgress(const kt::bootstrap::InstallerJob& job) {
  progressSteps_ = job.progressSteps;
  HWND bar = ::GetDlgItem(window_, IDC_KT_INSTALLER_PROGRESS);
  ::SendMessageA(bar, PBM_SETPOS, 0, 0);
  ::SendMessageA(bar, PBM_SETRANGE32, 0, progressSteps_);
  ::SendMessageA(bar, PBM_SETSTEP, 1, 0);
  thinning_.Reset();
  statusText_ = kt::bootstrap::StatusTextFor(job.second);
  ::SetDlgItemTextA(window_, IDC_KT_INSTALLER_STATUS, statusText_.c_str());
}

void CKt_InstallerDlg::RunJob() {
  // One job per process: the timer and the hidden button both lead here.
  if (jobStarted_ || ended_) return;
  jobStarted_ = true;
  kt::bootstrap::InstallerJob job = kt::bootstrap::ChooseJob(arguments_, CurrentFolder());
  mode_ = job.mode;
  if (job.mode == InstallMode::kNone) {
    if (silent_) {
      EndWithResult(-1);
      return;
    }
    Tell(job.usage, kt::bootstrap::kInstallerCaption, MB_OK | MB_ICONINFORMATION);
    return;
  }
  if (job.mode == InstallMode::kWebPage) {
    RunWebPage(job);
    return;
  }
  PrepareProgress(job);
  if (job.mode == InstallMode::kCabinet) {
    // Our own code download runs inside the start: the window shows before it, not after.
    ShowOnTop();
    HRESULT hr = cabDown_.StartInstall(job.first, job.second, job.third);
    if (hr != S_OK) ShowOnTop();
    return;
  }
  ShowOnTop();
  HRESULT hr = cabDown_.Download(job.second, job.first);
  if (FAILED(hr)) {
    // Handled before the outcome the job window forwards, which is then ignored.
    std::string text = kt::bootstrap::SystemErrorText(hr);
    ::SendMessageA(window_, kt::bootstrap::kOutcomeMessage, static_cast<WPARAM>(hr),
                   reinterpret_cast<LPARAM>(text.c_str()));
  }
}

void CKt_InstallerDlg::RunWebPage(const kt::bootstrap::InstallerJob& job) {
  if (silent_) {
    EndWithResult(-1);
    return;
  }
  statusText_ = kt::bootstrap::kInstallFromSite;
  ::SetDlgItemTextA(window_, IDC_KT_INSTALLER_STATUS, statusText_.c_str());
  ::SetDlgItemTextA(window_, IDCANCEL, "OK");
  std::string browser = kt::bootstrap::AssociatedBrowser();
  if (browser.empty()) {
    Tell(kt::bootstrap::kBrowserNotFound, kt::bootstrap::kWebPageCaption);
    return;
  }
  if (!kt::bootstrap::OpenInBrowser(browser, job.rawSecond)) {
    Tell(kt::bootstrap::kWebPageNotOpened, kt::bootstrap::kWebPageCaption);
  }
}

void CKt_InstallerDlg::OnProgress() {
  if (thinning_.Count()) ::SendDlgItemMessageA(window_, IDC_KT_INSTALLER_PROGRESS, PBM_STEPIT, 0, 0);
}

void CKt_InstallerDlg::OnOutcome(HRESULT code, const char* text) {
  // The outcome is acted on once; a later one (the forwarded end of a download whose failure was
  // already shown) is ignored.
  if (outcomeHandled_ || ended_) return;
  outcomeHandled_ = true;
  result_ = code;
  if (FAILED(code)) {
    std::string message = text != nullptr && *text != '\0' ? std::string(text) : kt::bootstrap::InetErrorText(code);
    Tell(message, kt::bootstrap::kInstallerCaption);
    EndWithResult(code);
    return;
  }
  ::SendDlgItemMessageA(window_, IDC_KT_INSTALLER_PROGRESS, PBM_SETPOS, progressSteps_ - 1, 0);
  ::SetTimer(window_, kEndTimer, kEndDelayMs, nullptr);
}

void CKt_InstallerDlg::OnCancel() {
  if (ended_) return;
  char text[16] = {0};
  ::GetDlgItemTextA(window_, IDCANCEL, text, sizeof(text));
  if (silent_ || std::string(text) == "OK") {
    EndWithResult(-1);
    return;
  }
  int answer = prompt_.Show(window_, kt::bootstrap::kCancelQuestion, kt::bootstrap::kInstallerCaption,
                            MB_RETRYCANCEL | MB_ICONQUESTION);
  if (answer == IDCANCEL) EndWithResult(-1);
}

void CKt_InstallerDlg::EndWithResult(int result) {
  if (ended_) return;
  ended_ = true;
  // The result is recorded in every mode, so that the exit code tells a cancelled or failed
  // installation from a finished one.
  result_ = result;
  if (window_ != nullptr) ::DestroyWindow(window_);
}

void CKt_InstallerDlg::OnDestroy() {
  cabDown_.Destroy();
  if (frame_ != nullptr) ::PostMessageA(frame_, WM_CLOSE, 0, 0);
}
