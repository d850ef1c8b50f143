// What the control's tests share: a COM apartment, a control created in this process (the test
// program carries the control's resources, type library included), property access by name
// through the control's own dispatch, and a scratch application key whose remembered settings
// are removed afterwards.
#pragma once

#include <windows.h>

#include <string>

#include "control/qxinstaller.h"
#include "device/com_ptr.h"
#include "tests/config/scratch_registry.h"

namespace kt_test {

using kt::device::ComPtr;

ComPtr<IKtQxInstaller320_V3> NewControl();

// Property access by name, as a script does it. Values are put as text (the type library coerces
// them) and read back as text ("-1"/"0" for booleans).
HRESULT PutText(IDispatch* control, const wchar_t* name, const std::string& value);
HRESULT PutNumber(IDispatch* control, const wchar_t* name, long value);
std::string GetText(IDispatch* control, const wchar_t* name);
// Calls a method without arguments; its result code.
HRESULT CallMethod(IDispatch* control, const wchar_t* name);

// The path of the application's remembered settings, for the platform's default version.
std::string AppKeyPath(const std::string& applicationKey, const std::string& deviceType = "WIN32");
// A remembered value as text ("<missing>" when absent; numbers in decimal).
std::string ReadRemembered(const std::string& keyPath, const char* name);

// An application key of its own for one test; its settings key is removed at both ends.
class ScratchApplication {
 public:
  explicit ScratchApplication(const char* tag, const std::string& deviceType = "WIN32");
  ~ScratchApplication();
  ScratchApplication(const ScratchApplication&) = delete;
  ScratchApplication& operator=(const ScratchApplication&) = delete;

  const std::string& Key() const { return key_; }
  const std::string& Path() const { return path_; }

 private:
  std::string key_;
  std::string path_;
};

// The platform's settings keys set aside for a test: a started control writes its defaults
// there, and the prefix is shared with the other tests.
struct PlatformKeysAside {
  SetAsideKey maker{"Software\\ORVANTIS"};
  SetAsideKey perUser{"Software\\AppDataLow\\SoftWare\\ORVANTIS"};
};

// Writes a file (folders created) and gives its full path.
std::string WriteFileInTemp(const std::string& relative, const std::string& content);

}  // namespace kt_test
