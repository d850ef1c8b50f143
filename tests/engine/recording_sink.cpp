#include "recording_sink.h"

#include "engine/message_pump.h"

namespace kt::engine::testing {

void RecordingSink::ReportError(int messageId, HRESULT result, const std::string& extra, const std::string& name,
                                bool fire) {
  errors.push_back({messageId, result, extra, name, fire});
}

void RecordingSink::FireProgress(const std::string& itemName, ULONG progressNow, ULONG progressMax,
                                 const std::string& statusText) {
  progress.push_back({itemName, progressNow, progressMax, statusText});
  if (onProgress) onProgress(progress.back());
}

void RecordingSink::PumpMessages() {
  ++pumps;
  DrainMessages();
}

void RecordingSink::StoreSetting(const std::string& name, const std::string& value) {
  settings.emplace_back(name, value);
}

ReportedError RecordingSink::LastFired() const {
  for (auto it = errors.rbegin(); it != errors.rend(); ++it) {
    if (it->fired) return *it;
  }
  return ReportedError();
}

int RecordingSink::FiredCount() const {
  int count = 0;
  for (const ReportedError& error : errors) count += error.fired ? 1 : 0;
  return count;
}

}  // namespace kt::engine::testing
