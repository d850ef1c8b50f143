#pragma once
// A transport sink for tests: it records every report, progress event and stored setting, keeps
// its own stop flag, drains the message queue like a control would, and can act on a progress
// event (for example stop the transfer).
#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "engine/transport/transport_sink.h"

namespace kt::engine::testing {

struct ReportedError {
  int messageId = 0;
  HRESULT result = S_OK;
  std::string extra;
  std::string name;
  bool fired = false;
};

struct ProgressEvent {
  std::string itemName;
  ULONG progress = 0;
  ULONG progressMax = 0;
  std::string statusText;
};

class RecordingSink : public Kt_TransportSink {
 public:
  void ReportError(int messageId, HRESULT result, const std::string& extra, const std::string& name,
                   bool fire) override;
  void FireProgress(const std::string& itemName, ULONG progress, ULONG progressMax,
                    const std::string& statusText) override;
  void PumpMessages() override;
  bool StopFlag() override { return stopFlag; }
  void SetStopFlag() override { stopFlag = true; }
  HWND DialogOwner() override { return nullptr; }
  void StoreSetting(const std::string& name, const std::string& value) override;

  // The last report fired as OnError; a default one when none was.
  ReportedError LastFired() const;
  int FiredCount() const;

  std::vector<ReportedError> errors;
  std::vector<ProgressEvent> progress;
  std::vector<std::pair<std::string, std::string>> settings;
  bool stopFlag = false;
  int pumps = 0;
  // Called after each progress event is recorded.
  std::function<void(const ProgressEvent&)> onProgress;
};

}  // namespace kt::engine::testing
