// The installer's application object and its hidden frame.
#include "bootstrap/installer_app.h"

#include <commctrl.h>
#include <ole2.h>

#include "bootstrap/installer_arguments.h"
#include "bootstrap/installer_dialog.h"
#include "resources/bootstrap/bootstrap_resource.h"

namespace {

const char kFrameClass[] = "Kt_InstallerFrame";

// OLE for the life of the application.
class OleSession {
 public:
  OleSession() : result_(::OleInitialize(nullptr)) {}
  ~OleSession() {
    if (SUCCEEDED(result_)) ::OleUninitialize();
  }
  OleSession(const OleSession&) = delete;
  OleSession& operator=(const OleSession&) = delete;
  bool Started() const { return SUCCEEDED(result_); }

 private:
  HRESULT result_;
};

std::string ResourceString(HINSTANCE instance, UINT id) {
  char text[256] = {0};
  int length = ::LoadStringA(instance, id, text, sizeof(text));
  return std::string(text, length > 0 ? static_cast<size_t>(length) : 0);
}

}  // namespace

CMainFrame::~CMainFrame() {
  if (window_ != nullptr && ::IsWindow(window_)) ::DestroyWindow(window_);
}

bool CMainFrame::Create(HINSTANCE instance) {
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = &CMainFrame::WindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = ::LoadIconA(nullptr, MAKEINTRESOURCEA(32512));  // IDI_APPLICATION
  windowClass.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  windowClass.lpszClassName = kFrameClass;
  if (::RegisterClassExA(&windowClass) == 0 && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  std::string title = ResourceString(instance, IDR_KT_INSTALLER_FRAME);
  window_ = ::CreateWindowExA(0, kFrameClass, title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  return window_ != nullptr;
}

LRESULT CALLBACK CMainFrame::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcA(window, message, wParam, lParam);
}

int CKt_InstallerApp::Run() {
  OleSession ole;
  if (!ole.Started()) {
    if (kt::bootstrap::HasSilentSwitch(arguments_) || InstallerMuted()) return -1;
    prompt_.Show(nullptr, ResourceString(instance_, IDS_KT_INSTALLER_OLE_FAILED), kt::bootstrap::kInstallerCaption,
                 MB_OK | MB_ICONERROR);
    return -1;
  }
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);

  CMainFrame frame;
  if (!frame.Create(instance_)) return -1;
  CKt_InstallerDlg dialog(arguments_, prompt_, kt::bootstrap::HasSilentSwitch(arguments_));
  if (dialog.Create(instance_, frame.Window()) == nullptr) return -1;

  MSG message;
  while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
    HWND window = dialog.Window();
    if (window != nullptr && ::IsDialogMessageA(window, &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
  return dialog.Result() < 0 ? -1 : 0;
}
