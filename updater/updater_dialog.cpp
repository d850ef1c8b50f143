#include "updater/updater_dialog.h"

#include <commctrl.h>

#include <cstdio>

#include "control/com/bstr.h"
#include "control/com/dispatch_call.h"
#include "control/com/variant.h"
#include "config/path_text.h"
#include "resources/updater/updater_resource.h"
#include "updater/control_properties.h"
#include "updater/dialog_layout.h"
#include "updater/options/kill_mode.h"
#include "updater/resource_library.h"
#include "updater/skin_blocks.h"
#include "updater/start_values.h"
#include "updater/updater_texts.h"
#include "updater/user_prompt.h"
#include "updater/wait_cursor.h"

namespace kt::updater {
namespace {

const char kErrorCaption[] = "Error";
const char kConfirmCaption[] = "Confirm";

// Event types of the control's download events.
enum DownloadEventType : long {
  kDeviceInformation = 1,
  kUpdateList = 2,
  kTemporaryInstall = 3,
  kInstallation = 4,
};

// Control codes of the error event that are not shown in a box.
constexpr long kEmptyUpdateUrlCode = 123;
constexpr long kQuietErrorCode = -1;
constexpr long kListNotFoundCode = static_cast<long>(0x800C0005);

std::string WithDoubledBackslashes(const std::string& text) {
  std::string doubled;
  for (char c : text) {
    doubled += c;
    if (c == '\\') doubled += '\\';
  }
  return doubled;
}

// A long path is shown by its first three characters, "..." and its end from the 21st on.
std::string ShortenedName(const std::string& name) {
  if (name.find_first_of("/\\") == std::string::npos || name.size() <= 25) return name;
  return name.substr(0, 3) + "..." + name.substr(20);
}

std::string ReadText(IDispatch* control, DISPID member) {
  kt::com::Variant value;
  if (FAILED(kt::com::GetProperty(control, member, value.Get())) || value.Type() != VT_BSTR) return std::string();
  return kt::com::AnsiFromBstr(V_BSTR(value.Get()));
}

}  // namespace

CQxUpdaterDlg::CQxUpdaterDlg(const UpdaterStartValues& values, const CResModule& library, UpdaterPrompt& prompt)
    : values_(values), library_(library), prompt_(prompt), sink_(*this) {}

INT_PTR CQxUpdaterDlg::DoModal(HINSTANCE program) {
  // The resource library may bring its own dialog template; otherwise the program's is used.
  HINSTANCE templateModule = ResourceModule();
  if (::FindResourceA(templateModule, MAKEINTRESOURCEA(IDD_QXUPDATER_DIALOG), MAKEINTRESOURCEA(5)) == nullptr) {
    templateModule = program;
  }
  return ::DialogBoxParamA(templateModule, MAKEINTRESOURCEA(IDD_QXUPDATER_DIALOG), nullptr, &DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CQxUpdaterDlg::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* dialog = reinterpret_cast<CQxUpdaterDlg*>(lParam);
    ::SetWindowLongPtrA(window, DWLP_USER, lParam);
    dialog->window_ = window;
    return dialog->OnInitDialog();
  }
  auto* dialog = reinterpret_cast<CQxUpdaterDlg*>(::GetWindowLongPtrA(window, DWLP_USER));
  if (dialog == nullptr) return FALSE;
  switch (message) {
    case kShowWindowMessage:
      dialog->OnShowWindow(wParam);
      return TRUE;
    case kStartRunMessage:
      dialog->Run();
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL) dialog->OnCancel();
      return TRUE;
    case WM_ERASEBKGND:
      if (!dialog->background_.Loaded()) return FALSE;
      dialog->background_.Draw(reinterpret_cast<HDC>(wParam), 0, 0, 0, 0, dialog->background_.Width(),
                               dialog->background_.Height());
      ::SetWindowLongPtrA(window, DWLP_MSGRESULT, 1);
      return TRUE;
    case WM_CTLCOLORSTATIC:
      return reinterpret_cast<INT_PTR>(
          dialog->OnStaticColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    case WM_DESTROY:
      dialog->OnDestroy();
      return FALSE;
    default:
      return FALSE;
  }
}

BOOL CQxUpdaterDlg::OnInitDialog() {
  ChooseBackground();
  CreateControl();

  OnShowWindow(0);
  SetButtonImage(secondButton_.Get());
  for (int bar : {IDC_QXUPDATER_ITEM_PROGRESS, IDC_QXUPDATER_OVERALL_PROGRESS}) {
    ::SendDlgItemMessageA(window_, bar, PBM_SETRANGE32, 0, 0);
    ::SendDlgItemMessageA(window_, bar, PBM_SETBKCOLOR, 0, RGB(255, 255, 255));
  }
  separator_ = ResourceString(IDS_QXUPDATER_SEPARATOR);
  unit_ = ResourceString(IDS_QXUPDATER_UNIT);
  SetCounter(separator_);
  SetStatus(ResourceString(IDS_QXUPDATER_PREPARING));
  if (const DialogLayout* layout = FindLayout(layout_)) ApplyLayout(window_, *layout);
  ::PostMessageA(window_, kStartRunMessage, 0, 0);
  return TRUE;
}

void CQxUpdaterDlg::ChooseBackground() {
  const std::string& image = values_.options.BI;
  if (image.empty() || !background_.LoadFile(image)) {
    background_.LoadResource(::GetModuleHandleA(nullptr), IDB_QXUPDATER_BACKGROUND);
  }
  if (!library_.Loaded()) {
    layout_ = LayoutForBackground(background_.Width(), background_.Height());
    HINSTANCE module = ResourceModule();
    const bool small = layout_ == kSmallLayout;
    firstButton_.Reset(static_cast<HBITMAP>(::LoadImageA(
        module, MAKEINTRESOURCEA(small ? IDB_QXUPDATER_SMALL_BUTTON_FIRST : IDB_QXUPDATER_LARGE_BUTTON_FIRST),
        IMAGE_BITMAP, 0, 0, 0)));
    secondButton_.Reset(static_cast<HBITMAP>(::LoadImageA(
        module, MAKEINTRESOURCEA(small ? IDB_QXUPDATER_SMALL_BUTTON_SECOND : IDB_QXUPDATER_LARGE_BUTTON_SECOND),
        IMAGE_BITMAP, 0, 0, 0)));
    return;
  }
  layout_ = kLayoutOfResourceLibrary;
  SkinInitBlock block{};
  block.dialog = window_;
  block.minusOne = -1;
  block.one = 1;
  library_.Call("InitDLG", &block);
  if (block.background != nullptr) {
    background_.Adopt(block.background, background_.Width(), background_.Height());
  }
  if (block.width != 0 && block.height != 0) background_.SetSize(block.width, block.height);
  firstButton_.Reset(block.firstButton);
  secondButton_.Reset(block.secondButton);
  if (!firstButton_) {
    firstButton_.Reset(static_cast<HBITMAP>(
        ::LoadImageA(ResourceModule(), MAKEINTRESOURCEA(IDB_QXUPDATER_LARGE_BUTTON_FIRST), IMAGE_BITMAP, 0, 0, 0)));
  }
  if (!secondButton_) {
    secondButton_.Reset(static_cast<HBITMAP>(
        ::LoadImageA(ResourceModule(), MAKEINTRESOURCEA(IDB_QXUPDATER_LARGE_BUTTON_SECOND), IMAGE_BITMAP, 0, 0, 0)));
  }
}

std::string CQxUpdaterDlg::StartDescription() const {
  if (!values_.launchDescriptionPath.empty()) {
    return WithDoubledBackslashes("QxUpdater320 QRD=\"" + values_.launchDescriptionPath + "\"");
  }
  const Kt_RunnerHelper& options = values_.options;
  std::string text;
  if (!options.DeviceType.empty()) text += " DeviceType=\"" + options.DeviceType + "\"";
  if (!options.Version.empty()) text += " Version=\"" + options.Version + "\"";
  if (!options.SiteKey.empty()) text += " SiteKey=\"" + options.SiteKey + "\"";
  if (!options.Key.empty()) text += " Key=\"" + options.Key + "\"";
  return text.empty() ? std::string() : "QxUpdater320" + text;
}

void CQxUpdaterDlg::CreateControl() {
  control_ = std::make_unique<ControlHost>(window_);
  const std::string description = StartDescription();
  HRESULT result = E_FAIL;
  if (!description.empty()) result = control_->Create(description, &sink_, IDC_QXUPDATER_CONTROL);
  if (FAILED(result)) result = control_->Create(std::string(), &sink_, IDC_QXUPDATER_CONTROL);
  if (FAILED(result)) Ask("Fail to create QxInstaller 3.2", kApplicationName, MB_OK | MB_ICONERROR);
}

void CQxUpdaterDlg::OnShowWindow(WPARAM show) {
  if (show == 0) {
    ::ShowWindow(window_, SW_HIDE);
    return;
  }
  ::ShowWindow(window_, SW_SHOWNOACTIVATE);
  ::SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void CQxUpdaterDlg::Run() {
  if (cancelled_) return;
  IDispatch* control = control_ ? control_->Dispatch() : nullptr;
  bool needsUpdate = false;
  {
    WaitCursor wait;
    SetButtonImage(firstButton_.Get());
    if (!values_.launchDescriptionPath.empty()) {
      kt::com::Bstr path(values_.launchDescriptionPath);
      kt::com::InvokeMethod(control, kParseQRDFile, {kt::com::BorrowedBstr(path.Get())});
    } else if (values_.options.Key.empty()) {
      Ask(ResourceString(IDS_QXUPDATER_INPUT_ERROR), kErrorCaption, MB_OK);
      Close();
      return;
    } else {
      PutOptions(control, values_.options);
    }
    noLaunchAfterError_ = ReadBool(control, kNotLaunchForErr);
    SetStatus(ResourceString(IDS_QXUPDATER_READING_LIST));
    ShowItem(IDC_QXUPDATER_STATUS, true);
    ShowItem(IDC_QXUPDATER_COUNTER, false);
    ProcessMessages();
    needsUpdate = ReadBool(control, kReInstall) || ExistVersionUpCnt(control);
    ReadText(control, kUpdateURL);
  }
  ProcessMessages();
  if (error_) {
    if (noLaunchAfterError_) {
      Close();
    } else {
      Finish();
    }
    return;
  }
  if (needsUpdate) {
    kt::com::InvokeMethod(control, kStartDownload, {});
    if (!cancelled_) Wait(500);
    if (!error_ || !noLaunchAfterError_) {
      Finish();
    } else {
      Close();
    }
    return;
  }
  finished_ = true;
  Finish();
}

void CQxUpdaterDlg::Finish() {
  library_.Notify("LoadQuorix");
  SetStatus(ResourceString(IDS_QXUPDATER_COMPLETED));
  ShowItem(IDC_QXUPDATER_STATUS, true);
  ShowItem(IDC_QXUPDATER_COUNTER, false);
  ::UpdateWindow(window_);
  ProcessMessages();
  IDispatch* control = control_ ? control_->Dispatch() : nullptr;
  if (ReadBool(control, kLaunch)) {
    if (!launched_) {
      char handle[32];
      std::snprintf(handle, sizeof handle, "%llu",
                    static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(window_)));
      PutText(control, kUpdateHandle, handle);
      launched_ = true;
      kt::com::InvokeMethod(control, kRun, {});
      if (!cancelled_) Wait(1000);
    }
  } else if (!cancelled_) {
    Wait(500);
  }
  Close();
}

void CQxUpdaterDlg::OnCancel() {
  if (cancelled_) return;
  if (finished_) {
    Close();
    return;
  }
  if (Ask(ResourceString(IDS_QXUPDATER_CANCEL_QUESTION), kConfirmCaption, MB_YESNO) != IDYES) return;
  if (control_ && control_->Dispatch() != nullptr) kt::com::InvokeMethod(control_->Dispatch(), kStop, {});
  cancelled_ = true;
  Close();
}

void CQxUpdaterDlg::Close() { ::EndDialog(window_, IDCANCEL); }

HBRUSH CQxUpdaterDlg::OnStaticColour(HDC dc, HWND control) {
  if (!background_.Loaded()) return nullptr;
  RECT place;
  ::GetWindowRect(control, &place);
  ::MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&place), 2);
  background_.Draw(dc, 0, 0, place.left, place.top, place.right - place.left, place.bottom - place.top);
  ::SetBkMode(dc, TRANSPARENT);
  return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

void CQxUpdaterDlg::OnDestroy() {
  if (control_) control_->Destroy();
  SetButtonImage(nullptr);
  firstButton_.Reset();
  secondButton_.Reset();
}

// --- Events of the control ---

void CQxUpdaterDlg::OnError(const std::string& file, long code, const std::string& message) {
  SetButtonImage(firstButton_.Get());
  bool showBox = true;
  if (code == kEmptyUpdateUrlCode || (code == kQuietErrorCode && !cancelled_)) {
    showBox = false;
    noLaunchAfterError_ = false;
  }
  error_ = true;
  IDispatch* control = control_ ? control_->Dispatch() : nullptr;
  if (noLaunchAfterError_ && code == kListNotFoundCode && kt::EqualsNoCase(file, ReadText(control, kUpdateURL))) {
    noLaunchAfterError_ = false;  // a missing update list does not block the start
  }
  std::string shown = message;
  if (code < kQuietErrorCode) {
    const UINT id = TransferErrorString(code);
    shown = id != 0 ? ResourceString(id) : std::string();
  }
  const std::string text = ComposeErrorText(file, code, shown, message);

  SkinErrorBlock block{window_, file.c_str(), static_cast<std::int32_t>(code), message.c_str()};
  if (library_.Call("OnError", &block) == 1) {
    Close();
    return;
  }
  if (!cancelled_) {
    ::EnableWindow(::GetDlgItem(window_, IDC_QXUPDATER_CANCEL), TRUE);
    ProcessMessages();
    if (showBox) {
      Ask(text, kErrorCaption, MB_OK);
    } else {
      SetStatus(text);
      ShowItem(IDC_QXUPDATER_STATUS, true);
      ProcessMessages();
      if (!cancelled_) Wait(100);
    }
  }
  Close();
}

void CQxUpdaterDlg::OnStartDownLoad(const std::string& versionFile, const std::string& file, long type, long total,
                                    long index) {
  SkinEventBlock block{};
  library_.Call("OnStartDownLoad", &block);
  SetButtonImage(secondButton_.Get());
  ShowItem(IDC_QXUPDATER_STATUS, false);
  std::string label;
  std::string name;
  HWND overall = ::GetDlgItem(window_, IDC_QXUPDATER_OVERALL_PROGRESS);
  switch (type) {
    case kDeviceInformation:
      label = ResourceString(IDS_QXUPDATER_READING_DEVICE);
      name = versionFile;
      SetBar(IDC_QXUPDATER_OVERALL_PROGRESS, 4, 1);
      overallStep_ = 1;
      break;
    case kUpdateList:
      if (total > 0) itemsPending_ = true;
      label = ResourceString(IDS_QXUPDATER_READING_LIST);
      ::SendMessageA(overall, PBM_SETRANGE32, 0, 2 * total);
      if (overallStep_ > 1) ++overallStep_;
      break;
    case kTemporaryInstall:
      label = ResourceString(IDS_QXUPDATER_INSTALLING_TEMPORARY);
      name = file;
      itemPosition_ = index;
      break;
    case kInstallation:
      label = ResourceString(IDS_QXUPDATER_START_INSTALLATION);
      name = file;
      itemPosition_ = total + index;
      break;
    default:
      break;
  }
  SetBar(IDC_QXUPDATER_ITEM_PROGRESS, 2 * total, itemPosition_);
  if (itemsPending_) {
    ::SendMessageA(overall, PBM_SETPOS, overallStep_, 0);
  } else {
    SetBar(IDC_QXUPDATER_OVERALL_PROGRESS, 1, 1);
  }
  ShowItem(IDC_QXUPDATER_STATUS, true);
  if (type == kDeviceInformation || type == kUpdateList) {
    ShowItem(IDC_QXUPDATER_COUNTER, false);
    SetStatus(label);
  } else {
    ShowItem(IDC_QXUPDATER_COUNTER, true);
    ShowProgressTexts(ShortenedName(name), label, index, total);
  }
  ::UpdateWindow(window_);
  ProcessMessages();
}

void CQxUpdaterDlg::OnEndDownLoad(const std::string& versionFile, const std::string& file, long type, long total,
                                  long index) {
  SkinEventBlock block{};
  library_.Call("OnEndDownLoad", &block);
  ShowItem(IDC_QXUPDATER_STATUS, false);
  std::string label;
  std::string name;
  switch (type) {
    case kDeviceInformation:
      label = ResourceString(IDS_QXUPDATER_COMPLETED);
      name = versionFile;
      finished_ = true;
      SetButtonImage(firstButton_.Get());
      break;
    case kUpdateList:
      label = ResourceString(IDS_QXUPDATER_READING_LIST);
      break;
    case kTemporaryInstall:
      label = ResourceString(IDS_QXUPDATER_INSTALLING_TEMPORARY);
      name = file;
      break;
    case kInstallation:
      label = ResourceString(IDS_QXUPDATER_INSTALLING);
      name = file;
      if (total == index) ++overallStep_;
      break;
    default:
      break;
  }
  SetBar(IDC_QXUPDATER_ITEM_PROGRESS, 2 * total, itemPosition_);
  if (!itemsPending_ || type == kDeviceInformation) SetBar(IDC_QXUPDATER_OVERALL_PROGRESS, 1, 1);
  ShowItem(IDC_QXUPDATER_STATUS, true);
  if (type == kDeviceInformation || type == kUpdateList) {
    SetStatus(label);
  } else {
    ShowProgressTexts(name, label, index, total);
  }
  ::UpdateWindow(window_);
  ProcessMessages();
}

void CQxUpdaterDlg::OnConfirm(long flag, VARIANT_BOOL* result) {
  SkinConfirmBlock block{window_, static_cast<std::int32_t>(flag), result};
  if (library_.Call("OnConfirm", &block) == 1) return;
  if (flag != 1) return;
  switch (values_.options.KillMode) {
    case kKillModeKill:
      *result = 1;
      return;
    case kKillModeNoKill:
    case kKillModeConfirmOnFailed:
      *result = 0;
      return;
    default:
      *result = Ask(ResourceString(IDS_QXUPDATER_TERMINATE_QUESTION), kConfirmCaption, MB_OKCANCEL | MB_ICONWARNING) ==
                        IDOK
                    ? 1
                    : 0;
  }
}

void CQxUpdaterDlg::OnProgress(const std::string& item, long progress, long maximum, const std::string& status) {
  SkinProgressBlock block{window_, item.c_str(), static_cast<std::int32_t>(progress),
                          static_cast<std::int32_t>(maximum), status.c_str()};
  library_.Call("OnProgress", &block);
}

// --- Helpers ---

void CQxUpdaterDlg::ProcessMessages() {
  MSG message;
  while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(message.wParam));  // for the loop that owns it
      return;
    }
    if (::IsDialogMessageA(window_, &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
}

void CQxUpdaterDlg::Wait(DWORD milliseconds) {
  const ULONGLONG end = ::GetTickCount64() + milliseconds;
  for (ULONGLONG now = ::GetTickCount64(); now < end; now = ::GetTickCount64()) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    ProcessMessages();
  }
}

void CQxUpdaterDlg::SetButtonImage(HBITMAP image) {
  ::SendDlgItemMessageA(window_, IDC_QXUPDATER_CANCEL, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(image));
}

void CQxUpdaterDlg::ShowItem(int id, bool show) { ::ShowWindow(::GetDlgItem(window_, id), show ? SW_SHOW : SW_HIDE); }

void CQxUpdaterDlg::SetStatus(const std::string& text) {
  ::SetDlgItemTextA(window_, IDC_QXUPDATER_STATUS, text.c_str());
  // A transparent text leaves its old letters behind unless the background is drawn again.
  HWND status = ::GetDlgItem(window_, IDC_QXUPDATER_STATUS);
  RECT place;
  ::GetWindowRect(status, &place);
  ::MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&place), 2);
  ::InvalidateRect(window_, &place, TRUE);
}

void CQxUpdaterDlg::SetCounter(const std::string& text) {
  ::SetDlgItemTextA(window_, IDC_QXUPDATER_COUNTER, text.c_str());
}

void CQxUpdaterDlg::SetBar(int id, int maximum, int position) {
  ::SendDlgItemMessageA(window_, id, PBM_SETRANGE32, 0, maximum);
  ::SendDlgItemMessageA(window_, id, PBM_SETPOS, position, 0);
}

void CQxUpdaterDlg::ShowProgressTexts(const std::string& name, const std::string& label, long index, long total) {
  SetCounter(FormatProgressText(IDS_QXUPDATER_COUNTER_FORMAT, index, total, name, label, separator_, unit_));
  SetStatus(FormatProgressText(IDS_QXUPDATER_STATUS_FORMAT, index, total, name, label, separator_, unit_));
}

int CQxUpdaterDlg::Ask(const std::string& text, const char* caption, UINT type) {
  return prompt_.Show(window_, text, caption, type);
}

}  // namespace kt::updater
