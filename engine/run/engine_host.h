#pragma once
// What an update run needs from the control object that owns it: besides the transport's sink
// (error reports, progress, messages, stop flag), its settings, devices and configuration, its
// events, and the questions it puts to the person at the machine.
#include <windows.h>
#include <oaidl.h>

#include <string>

#include "engine/transport/transport_sink.h"

class Kt_Device;
class Kt_DeviceWIN32;
class Kt_QxpConfiguration;

namespace kt::engine {

// The control's properties that steer a run.
struct RunSettings {
  std::string updateUrl;
  bool reInstall = false;
  bool preVersionCompare = false;
  bool notLaunchForErr = false;
  bool debug = false;
  int killCode = 0;  // 0 confirm, 1 kill, 2 no kill, 3 confirm after a failed copy
};

class Kt_EngineHost : public Kt_TransportSink {
 public:
  virtual RunSettings Settings() = 0;
  virtual Kt_QxpConfiguration& Configuration() = 0;
  virtual Kt_DeviceWIN32& PcDevice() = 0;
  // The CE device (created on first use) when the configuration's current kind is CE, else null.
  virtual Kt_Device* CeDevice() = 0;
  // "WIN32", or the CE device's platform name with blanks turned into '_'.
  virtual std::string DeviceTypeName() = 0;
  // The remembered settings of the application (stored once per control object).
  virtual void StoreSettings() = 0;
  virtual std::string RecallSetting(const char* name) = 0;
  virtual void ClearError() = 0;
  virtual LONG ErrorCode() = 0;
  virtual std::string ErrorMessage() = 0;
  virtual void SetVersionLocalFile(const std::string& path) = 0;
  // A text of the control's string table in the user's language.
  virtual std::string MessageText(int id) = 0;

  virtual void FireStartDownLoad(const std::string& list, const std::string& file, LONG type, LONG total,
                                 LONG index) = 0;
  virtual void FireEndDownLoad(const std::string& list, const std::string& file, LONG type, LONG total,
                               LONG index) = 0;
  virtual void FireError(const std::string& name, LONG code, const std::string& message) = 0;
  virtual VARIANT_BOOL FireConfirm(bool reboot) = 0;
  // Clears EventReturn, fires OnConfirmEx, and gives the integer a handler left in EventReturn.
  virtual bool FireConfirmEx(const std::string& type, const VARIANT& info, std::string& message, LONG& answer) = 0;

  // A message box (owner: the control's window, or the active window when `activeOwner`), its
  // answer (IDYES, IDNO, IDCANCEL ...). Tests answer through this one seam.
  virtual int Ask(const std::string& text, UINT buttons, bool activeOwner) = 0;
};

}  // namespace kt::engine
