#include "tests/control/control_test_support.h"

#include <shlwapi.h>

#include <fstream>

#include "config/qxp_configuration.h"
#include "control/com/bstr.h"
#include "control/com/dispatch_call.h"
#include "control/com/variant.h"
#include "control/kt_qx_installer.h"

namespace kt_test {

ComPtr<IKtQxInstaller320_V3> NewControl() {
  ComPtr<IKtQxInstaller320_V3> control;
  kt::control::CKtQxInstaller3::Create(IID_IKtQxInstaller320_V3, control.PutVoid());
  return control;
}

namespace {
DISPID IdOf(IDispatch* control, const wchar_t* name) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  control->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  return id;
}
}  // namespace

HRESULT PutText(IDispatch* control, const wchar_t* name, const std::string& value) {
  kt::com::Bstr text(value);
  return kt::com::PutProperty(control, IdOf(control, name), kt::com::BorrowedBstr(text.Get()));
}

HRESULT PutNumber(IDispatch* control, const wchar_t* name, long value) {
  return kt::com::PutProperty(control, IdOf(control, name), kt::com::LongValue(value));
}

std::string GetText(IDispatch* control, const wchar_t* name) {
  kt::com::Variant value;
  const HRESULT result = kt::com::GetProperty(control, IdOf(control, name), value.Get());
  if (FAILED(result)) return "<failed " + std::to_string(result) + ">";
  if (value.Type() == VT_EMPTY) return std::string();
  if (FAILED(::VariantChangeType(value.Get(), value.Get(), 0, VT_BSTR))) return "<not text>";
  return kt::com::AnsiFromBstr(V_BSTR(value.Get()));
}

HRESULT CallMethod(IDispatch* control, const wchar_t* name) {
  return kt::com::InvokeMethod(control, IdOf(control, name), {});
}

std::string AppKeyPath(const std::string& applicationKey, const std::string& deviceType) {
  Kt_QxpConfiguration configuration(false);
  configuration.SetDeviceType(deviceType);
  configuration.SetKey(applicationKey);
  return configuration.AppKeyPath(Kt_QxpConfiguration::kCurrent);
}

std::string ReadRemembered(const std::string& keyPath, const char* name) {
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return "<missing>";
  char data[1024] = {};
  DWORD size = sizeof data - 1, type = 0;
  const LONG result = ::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  ::RegCloseKey(key);
  if (result != ERROR_SUCCESS) return "<missing>";
  if (type == REG_DWORD) return std::to_string(*reinterpret_cast<const DWORD*>(data));
  return data;
}

ScratchApplication::ScratchApplication(const char* tag, const std::string& deviceType)
    : key_(std::string("KtTest") + tag + std::to_string(::GetCurrentProcessId())),
      path_(AppKeyPath(key_, deviceType)) {
  ::SHDeleteKeyA(HKEY_CURRENT_USER, path_.c_str());
}

ScratchApplication::~ScratchApplication() { ::SHDeleteKeyA(HKEY_CURRENT_USER, path_.c_str()); }

std::string WriteFileInTemp(const std::string& relative, const std::string& content) {
  char temp[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, temp);
  std::string path = std::string(temp) + "kt_control_test_" + std::to_string(::GetCurrentProcessId()) + "\\" + relative;
  for (size_t slash = path.find('\\', 3); slash != std::string::npos; slash = path.find('\\', slash + 1)) {
    ::CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);
  }
  std::ofstream(path, std::ios::binary) << content;
  return path;
}

}  // namespace kt_test
