#pragma once
// One control object's update engine: `StartDownload` fetches the configuration list, works out
// which component lists changed, downloads and applies their items, records progress in the
// local version files and reports everything through the host's events; `ExistVersionUpCnt` runs
// the same machinery up to the merge. The state that outlives a run (stop flag, the running-
// platform step, the remembered in-use answer) belongs to this object.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/core/component_item.h"
#include "engine/core/list_merge.h"
#include "engine/run/engine_host.h"
#include "engine/run/installer_item.h"
#include "engine/transport/download_transport.h"

class Kt_Device;

namespace kt::engine {

class Kt_UpdateRun {
 public:
  // `caller` is handed to the URL moniker service as the object downloads are made for.
  Kt_UpdateRun(Kt_EngineHost& host, IUnknown* caller);
  ~Kt_UpdateRun();
  Kt_UpdateRun(const Kt_UpdateRun&) = delete;
  Kt_UpdateRun& operator=(const Kt_UpdateRun&) = delete;

  // S_OK after reported failures; E_FAIL when the list at UpdateURL is not a configuration list.
  HRESULT StartDownload();
  // True in `exists` when anything would be downloaded or applied; `exists` is left alone when
  // there is no server address (reported as 123).
  HRESULT ExistVersionUpCnt(VARIANT_BOOL* exists);
  // Aborts the transfer in progress and sets the stop flag.
  void Stop();
  const std::string& CurrentList() const { return currentList_; }

  struct List;

 private:
  // The device of the configuration's current kind: the CE device for a CE target, else the PC.
  Kt_Device& TargetDevice();
  void AssignLocalFiles(List& list);
  // For a CE target: carry the local version file between device and PC (failure: 119).
  HRESULT BringLocalFileFromDevice(const List& list);
  HRESULT TakeLocalFileToDevice(const List& list);
  HRESULT FetchAndMergeTop(List& list);
  HRESULT FetchAndMergeComponentList(List& list);
  HRESULT ReadLocalFile(List& list, Kt_ParamList& params, Kt_DatasetList& datasets);
  HRESULT SaveLocalFile(const List& list);
  HRESULT ProcessList(List& list);
  HRESULT DownloadPhase(List& list, const ComponentItem& defaults);
  // Compares a downloaded file with the digest its list published (none: nothing to check). A
  // mismatch deletes the download and reports 105 with the expected and the received digest.
  HRESULT VerifyDownload(const std::string& path, const std::string& expected, const std::string& file);
  HRESULT ApplyPhase(List& list, const ComponentItem& defaults, std::string& renames);
  HRESULT ApplyItem(const ComponentItem& item, const std::string& target, Kt_Device& device);
  HRESULT PlaceFile(const ComponentItem& item, const std::string& source, const std::string& destination,
                    Kt_Device& device, bool& deferred);
  // 0 retry, 1 deferred to the next boot, or a failure (E_ABORT after Cancel).
  HRESULT InUseAnswer(const std::string& file);
  void RunningPlatformStep(bool afterFailedCopy);
  void AppendRenameList(const std::string& names);
  void StartQueuedPrograms();
  // The file a row fetches into the download folder.
  std::string FileToFetch(const ComponentItem& item);
  // Removes the downloads of the rows a list has applied; queued installer packages stay.
  void DeleteAppliedDownloads(List& list, const ComponentItem& defaults);
  void SetStatus(List& list, int row, const char* status);

  Kt_EngineHost& host_;
  Kt_DownloadTransport transport_;
  std::string currentList_;
  int applyingIndex_ = -1;
  bool killStepDone_ = false;
  int rememberedInUseAnswer_ = -1;
  bool restartNeeded_ = false;
  Kt_InstallerAction installer_;
  std::vector<kt::device::ShellStart> launchList_;  // started in order after the whole run
  // Programs placed on the CE device, started there after the whole run: path and arguments.
  std::vector<std::pair<std::string, std::string>> ceLaunchList_;
};

}  // namespace kt::engine
