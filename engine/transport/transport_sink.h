#pragma once
// What the download transport needs from the object that owns a run (the control object): error
// reports and progress events in its name, its message queue, its stop flag, a window for the
// system's login and security dialogs, and its per-application settings. The transport knows
// nothing else of its owner; tests drive it through their own sink.
#include <windows.h>

#include <string>

namespace kt::engine {

// Message numbers of the string table that the transport reports.
enum TransportMessage : int {
  kMessageListNotRead = 101,       // a list document could not be read from the server address
  kMessageRequestFailed = 102,     // the server request failed
  kMessageDownloadFailed = 105,    // a file download failed
  kMessageTransferAborted = 107,   // a list transfer was aborted
  kMessageFolderNotCreated = 109,  // a folder could not be created
  kMessageRunStopped = 129,        // the run was stopped
};

class Kt_TransportSink {
 public:
  virtual ~Kt_TransportSink() = default;

  // Sets ErrorCode and ErrorMsg from the message number (0: none) and the result, with `extra` as
  // an additional line when it is not empty and `name` (a file or URL) in brackets when it is not
  // empty; with `fire`, fires OnError too (pumping messages before and after).
  virtual void ReportError(int messageId, HRESULT result, const std::string& extra, const std::string& name,
                           bool fire) = 0;
  // Fires OnProgress(ItemName, Progress, ProgressMax, StatusText).
  virtual void FireProgress(const std::string& itemName, ULONG progress, ULONG progressMax,
                            const std::string& statusText) = 0;
  // Drains the calling thread's message queue (a quit message ends the draining).
  virtual void PumpMessages() = 0;
  // The run's stop flag: set by Stop and by a download that was aborted; never cleared.
  virtual bool StopFlag() = 0;
  virtual void SetStopFlag() = 0;
  // The parent window for the system's login dialog and security questions (may be null).
  virtual HWND DialogOwner() = 0;
  // Writes a per-application setting ("ProxyInfo" after a proxy login).
  virtual void StoreSetting(const std::string& name, const std::string& value) = 0;
};

}  // namespace kt::engine
