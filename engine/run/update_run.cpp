#include "engine/run/update_run.h"

#include "config/path_text.h"
#include "config/qxp_configuration.h"
#include "dataset/documents/document_form.h"
#include "device/kt_device_win32.h"
#include "device/result_codes.h"
#include "device/next_boot.h"
#include "engine/core/compose_url.h"
#include "engine/core/download_file_name.h"
#include "engine/core/item_applicability.h"
#include "engine/core/item_rows.h"
#include "engine/core/published_hashes.h"
#include "engine/device_item_environment.h"
#include "engine/file_sha256.h"
#include "engine/local_version_file.h"
#include "engine/privilege_checks.h"
#include "engine/run/device_list_copy.h"
#include "engine/run/in_use_text.h"
#include "engine/run/local_list_file.h"
#include "engine/target_resolution.h"

namespace kt::engine {
namespace {

constexpr int kCurrent = Kt_QxpConfiguration::kCurrent;

enum RunMessage : int {
  kNoFileList = 103,
  kUpdateInProgress = 104,
  kNoConfigurationRow = 106,
  kNoValidTarget = 110,
  kPlacingFailed = 111,
  kLocalFileNotWritten = 112,
  kCabinetFailed = 113,
  kRegistrationFailed = 114,
  kRunningFailed = 115,
  kDeviceCopyFailed = 119,
  kUpdateUrlNotSet = 123,
  kInUseWithPrograms = 125,
  kRestartQuestion = 127,
  kInUseWithoutPrograms = 128,
};

enum EventType : LONG { kWholeRun = 1, kOneList = 2, kOneDownload = 3, kOneApply = 4 };

constexpr HRESULT kAlreadyExists = static_cast<HRESULT>(0x800700B7);
// CRYPT_E_HASH_VALUE: a downloaded file is not the one the list published.
constexpr HRESULT kHashMismatch = static_cast<HRESULT>(0x80091007);

std::string Text(const Kt_AString& text) { return std::string(text.c_str(), text.Length()); }

bool IsInUseFailure(HRESULT result) {
  const unsigned facility = HRESULT_FACILITY(result);
  const unsigned code = HRESULT_CODE(result);
  return FAILED(result) && (facility == 7 || facility == 8) && (code == 5 || code == 32 || code == 33);
}

bool StartsWithUnderscore(const Kt_AString& name) { return name.Length() > 0 && name.At(0) == '_'; }

}  // namespace

struct Kt_UpdateRun::List {
  std::string url;
  std::string localFile;
  std::string deviceFile;  // the device's record of a CE target; empty for a PC target
  Kt_ParamList serverParams;
  Kt_DatasetList serverDatasets;
  Kt_DocumentForm form;
  Kt_DatasetList workingList;  // holds the one working list
  Kt_Dataset* working = nullptr;
  MergeCounts counts;
  bool configuration = false;

  explicit List(std::string address) : url(std::move(address)) {}
  Kt_Dataset& Working() {
    if (working == nullptr) working = static_cast<Kt_Dataset*>(workingList.AppendNew());
    return *working;
  }
};

Kt_UpdateRun::Kt_UpdateRun(Kt_EngineHost& host, IUnknown* caller)
    : host_(host), transport_(host, caller), installer_(host) {}
Kt_UpdateRun::~Kt_UpdateRun() = default;

void Kt_UpdateRun::Stop() {
  host_.SetStopFlag();
  transport_.Stop();
}

HRESULT Kt_UpdateRun::StartDownload() {
  host_.ClearError();
  RunningPlatformStep(false);
  host_.StoreSettings();
  const RunSettings settings = host_.Settings();
  if (settings.updateUrl.empty()) {
    host_.ReportError(kUpdateUrlNotSet, S_OK, std::string(), std::string(), true);
    return S_OK;
  }
  // Stop holds for the life of the object: a stopped control does not start another run.
  if (host_.StopFlag()) {
    host_.ReportError(kMessageRunStopped, E_ABORT, std::string(), settings.updateUrl, true);
    return S_OK;
  }
  Kt_QxpConfiguration& config = host_.Configuration();
  Kt_DeviceWIN32& pc = host_.PcDevice();
  if (settings.reInstall) TargetDevice().DeleteFiles(config.VerFolder(kCurrent), "*.xml");
  if (config.AliasValue().empty()) config.SetAlias(config.ExecFolder(kCurrent));

  List top(settings.updateUrl);
  host_.FireStartDownLoad(top.url, top.url, kWholeRun, -1, -1);
  if (FAILED(FetchAndMergeTop(top))) return S_OK;
  if (!top.configuration) return E_FAIL;

  if (settings.preVersionCompare && top.counts.download == 0) {
    top.serverParams.Set("STATUS", Kt_Variant::FromString(Kt_AString("2")));
    SaveLocalFile(top);
    return S_OK;
  }
  const HRESULT made = pc.CreateFolder(config.SetupFolder(Kt_QxpConfiguration::kPc));
  if (FAILED(made) && made != kAlreadyExists) {
    host_.ReportError(kMessageFolderNotCreated, made, std::string(), config.SetupFolder(Kt_QxpConfiguration::kPc), true);
    return S_OK;
  }
  const SecurityContext context = ReadSecurityContext();
  const ComponentItem defaults = ReadDefaultItem(top.serverParams, config.IsCurrentCE() ? kDeviceCe : kDevicePc);
  const int rows = top.Working().RecordCount();
  for (int row = 0; row < rows; ++row) {
    const ComponentItem item = ReadItem(top.Working(), row, defaults);
    if (ItemApplicability(Text(item.uacFix), context) == kStatusNotApplicable) continue;
    if (item.source.IsEmpty()) {
      host_.ReportError(kNoConfigurationRow, S_OK, std::string(), top.url, true);
      continue;
    }
    List list(ComponentListUrl(top.url, Text(item.source)));
    host_.FireStartDownLoad(list.url, list.url, kOneList, rows, row + 1);
    host_.PumpMessages();
    FetchAndMergeComponentList(list);
    host_.FireEndDownLoad(list.url, list.url, kOneList, rows, row + 1);
    host_.PumpMessages();
    if (!host_.StopFlag()) {
      const char* status = "2";
      if (list.counts.download > 0 || list.counts.apply > 0) {
        if (FAILED(ProcessList(list))) status = "0";
      } else if (list.working != nullptr) {
        SaveLocalFile(list);
      }
      SetStatus(top, row, status);
      SaveLocalFile(top);
    }
    if (host_.StopFlag()) break;
  }
  currentList_ = top.url;
  host_.SetVersionLocalFile(top.localFile);

  if ((!launchList_.empty() || !ceLaunchList_.empty()) && (!settings.notLaunchForErr || host_.ErrorCode() == 0)) {
    StartQueuedPrograms();
  }
  if (restartNeeded_ && !config.IsCurrentCE()) {
    const std::string question = host_.MessageText(kRestartQuestion);
    if (host_.Ask(question, MB_YESNO | MB_DEFBUTTON2, true) == IDYES) pc.Reboot(true);
  }
  host_.FireEndDownLoad(settings.updateUrl, settings.updateUrl, kWholeRun, -1, -1);
  return S_OK;
}

HRESULT Kt_UpdateRun::ExistVersionUpCnt(VARIANT_BOOL* exists) {
  const RunSettings settings = host_.Settings();
  if (settings.updateUrl.empty()) {
    host_.ReportError(kUpdateUrlNotSet, S_OK, std::string(), std::string(), true);
    return S_OK;
  }
  List top(settings.updateUrl);
  if (FAILED(FetchAndMergeTop(top))) return S_OK;
  bool found = false;
  if (!top.configuration || settings.preVersionCompare) {
    found = top.counts.download > 0 || top.counts.apply > 0;
  } else {
    const ComponentItem defaults =
        ReadDefaultItem(top.serverParams, host_.Configuration().IsCurrentCE() ? kDeviceCe : kDevicePc);
    for (int row = 0; !found && row < top.Working().RecordCount(); ++row) {
      const ComponentItem item = ReadItem(top.Working(), row, defaults);
      List list(ComponentListUrl(top.url, Text(item.source)));
      FetchAndMergeComponentList(list);
      found = list.counts.download > 0 || list.counts.apply > 0;
    }
  }
  if (exists != nullptr) *exists = found ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

// --- Lists ---

Kt_Device& Kt_UpdateRun::TargetDevice() {
  Kt_Device* ce = host_.Configuration().IsCurrentCE() ? host_.CeDevice() : nullptr;
  return ce != nullptr ? *ce : host_.PcDevice();
}

void Kt_UpdateRun::AssignLocalFiles(List& list) {
  const LocalFilePaths paths = LocalFilesFor(host_.Configuration(), list.url);
  list.localFile = paths.pc;
  list.deviceFile = paths.device;
}

HRESULT Kt_UpdateRun::BringLocalFileFromDevice(const List& list) {
  if (list.deviceFile.empty()) return S_OK;
  Kt_Device* ce = host_.CeDevice();
  const HRESULT result =
      ce != nullptr ? BringFromDevice(*ce, {list.localFile, list.deviceFile}) : kt::device::DeviceResult(ERROR_DEVICE_NOT_CONNECTED);
  if (FAILED(result)) host_.ReportError(kDeviceCopyFailed, result, std::string(), list.deviceFile, true);
  return result;
}

HRESULT Kt_UpdateRun::TakeLocalFileToDevice(const List& list) {
  if (list.deviceFile.empty()) return S_OK;
  Kt_Device* ce = host_.CeDevice();
  const HRESULT result =
      ce != nullptr ? TakeToDevice(*ce, {list.localFile, list.deviceFile}) : kt::device::DeviceResult(ERROR_DEVICE_NOT_CONNECTED);
  if (FAILED(result)) host_.ReportError(kDeviceCopyFailed, result, std::string(), list.deviceFile, true);
  return result;
}

HRESULT Kt_UpdateRun::FetchAndMergeTop(List& list) {
  Kt_QxpConfiguration& config = host_.Configuration();
  AssignLocalFiles(list);
  currentList_ = list.url;
  host_.SetVersionLocalFile(list.localFile);
  HRESULT result = transport_.FetchList(list.url, list.serverParams, list.serverDatasets, list.form);
  if (FAILED(result)) return result;
  const Kt_Variable* flag = list.serverParams.Find("CONFIG");
  list.configuration = flag != nullptr && kt::EqualsNoCase(Text(flag->value.ToString()), "true");
  const Kt_Dataset* server = list.configuration ? FindListDataset(list.serverDatasets, host_.DeviceTypeName())
                                                 : list.serverDatasets.At(0);
  if (server == nullptr || server->RecordCount() == 0) {
    host_.ReportError(kNoFileList, S_OK, std::string(), list.url, true);
    return E_FAIL;
  }
  const std::string cache = config.VerFolder(kCurrent);
  result = TargetDevice().CreateFolder(cache);
  if (FAILED(result) && result != kAlreadyExists) {
    host_.ReportError(kMessageFolderNotCreated, result, std::string(), cache, true);
    return result;
  }
  if (!list.deviceFile.empty()) {
    const std::string pcCache = config.VerFolder(Kt_QxpConfiguration::kPc);
    result = host_.PcDevice().CreateFolder(pcCache);
    if (FAILED(result) && result != kAlreadyExists) {
      host_.ReportError(kMessageFolderNotCreated, result, std::string(), pcCache, true);
      return result;
    }
    result = BringLocalFileFromDevice(list);
    if (FAILED(result)) return result;
  }
  Kt_ParamList localParams;
  Kt_DatasetList localDatasets;
  ReadLocalFile(list, localParams, localDatasets);
  const Kt_Dataset* localFound = list.configuration ? FindListDataset(localDatasets, host_.DeviceTypeName())
                                                     : localDatasets.At(0);
  Kt_Dataset empty;
  const ListSide serverSide{*server, list.serverParams};
  const ListSide localSide{localFound != nullptr ? *localFound : empty, localParams};
  const bool merged = list.configuration && host_.Settings().preVersionCompare
                          ? PreVersionCompare(serverSide, localParams, list.Working(), list.counts)
                          : MergeListsOnDevice(config, TargetDevice(), serverSide, localSide, list.configuration,
                                               list.Working(), list.counts);
  return merged ? S_OK : E_OUTOFMEMORY;
}

HRESULT Kt_UpdateRun::FetchAndMergeComponentList(List& list) {
  AssignLocalFiles(list);
  currentList_ = list.url;
  host_.SetVersionLocalFile(list.localFile);
  const HRESULT result = transport_.FetchList(list.url, list.serverParams, list.serverDatasets, list.form);
  const Kt_Dataset* server = list.serverDatasets.At(0);
  if (FAILED(result) || server == nullptr) return FAILED(result) ? result : E_FAIL;
  // A record that cannot be brought from the device skips the list: merging without it would
  // take every item for new.
  const HRESULT brought = BringLocalFileFromDevice(list);
  if (FAILED(brought)) return brought;
  Kt_ParamList localParams;
  Kt_DatasetList localDatasets;
  ReadLocalFile(list, localParams, localDatasets);
  Kt_Dataset empty;
  const Kt_Dataset* local = localDatasets.At(0);
  const bool merged = MergeListsOnDevice(host_.Configuration(), TargetDevice(), ListSide{*server, list.serverParams},
                                         ListSide{local != nullptr ? *local : empty, localParams}, false,
                                         list.Working(), list.counts);
  return merged ? S_OK : E_OUTOFMEMORY;
}

HRESULT Kt_UpdateRun::ReadLocalFile(List& list, Kt_ParamList& params, Kt_DatasetList& datasets) {
  return ReadListFile(host_.PcDevice(), list.localFile, params, datasets);
}

HRESULT Kt_UpdateRun::SaveLocalFile(const List& list) {
  std::string detail;
  const HRESULT result = WriteListFile(list.localFile, list.serverParams, list.workingList, list.form, detail);
  if (FAILED(result)) {
    int message = kLocalFileNotWritten;
    if (result == kEmptyListDocument) message = kNoConfigurationRow;
    if (result == HRESULT_FROM_WIN32(ERROR_INVALID_NAME)) message = kMessageFolderNotCreated;
    host_.ReportError(message, result == kEmptyListDocument ? S_OK : result, detail, list.localFile, true);
    return result;
  }
  return TakeLocalFileToDevice(list);
}

void Kt_UpdateRun::SetStatus(List& list, int row, const char* status) {
  list.Working().SetCellText(row, "STATUS", Kt_AString(status));
}

// --- One component list ---

HRESULT Kt_UpdateRun::ProcessList(List& list) {
  if (list.Working().RecordCount() == 0) {
    host_.ReportError(kNoFileList, S_OK, std::string(), list.url, false);
    if (applyingIndex_ != -1) host_.ReportError(kUpdateInProgress, S_OK, std::string(), list.url, false);
    return E_FAIL;
  }
  if (applyingIndex_ != -1) {
    host_.ReportError(kUpdateInProgress, S_OK, std::string(), list.url, false);
    return E_FAIL;
  }
  const ComponentItem defaults =
      ReadDefaultItem(list.serverParams, host_.Configuration().IsCurrentCE() ? kDeviceCe : kDevicePc);
  HRESULT result = DownloadPhase(list, defaults);
  SaveLocalFile(list);
  if (FAILED(result) || host_.StopFlag()) return FAILED(result) ? result : E_ABORT;

  std::string renames;
  result = ApplyPhase(list, defaults, renames);
  if (SUCCEEDED(result)) {
    AppendRenameList(renames);
    SaveLocalFile(list);
    DeleteAppliedDownloads(list, defaults);
    list.serverParams.Set("STATUS", Kt_Variant::FromString(Kt_AString("2")));
    SaveLocalFile(list);
  } else {
    SaveLocalFile(list);
  }
  applyingIndex_ = -1;
  if (host_.StopFlag() && CountPending(list.Working(), defaults) > 0) {
    host_.ReportError(kMessageRunStopped, E_ABORT, std::string(), list.url, false);
    return E_ABORT;
  }
  return result;
}

HRESULT Kt_UpdateRun::DownloadPhase(List& list, const ComponentItem& defaults) {
  Kt_QxpConfiguration& config = host_.Configuration();
  const std::string setup = config.SetupFolder(Kt_QxpConfiguration::kPc);
  const HRESULT made = host_.PcDevice().CreateFolder(setup);
  if (FAILED(made) && made != kAlreadyExists) {
    host_.ReportError(kMessageFolderNotCreated, made, std::string(), setup, true);
    return made;
  }
  ItemReader reader(list.Working(), defaults);
  const PublishedHashes hashes(list.serverDatasets.At(0), defaults);
  int counter = 0;
  for (int row = 0; row < list.Working().RecordCount(); ++row) {
    if (Text(reader.Status(row)) != "0") continue;
    if (host_.StopFlag()) return E_ABORT;
    const ComponentItem item = reader.Read(row);
    const std::string file = FileToFetch(item);
    ++counter;
    if (item.actionCode == kActionDelete || item.actionCode == kActionDeleteRegistered) {
      SetStatus(list, row, "1");
      host_.FireEndDownLoad(list.url, file, kOneDownload, list.counts.download, counter);
      continue;
    }
    const std::string problem = DownloadFileNameProblem(file);
    if (!problem.empty()) {
      const HRESULT refused = HRESULT_FROM_WIN32(ERROR_INVALID_NAME);
      host_.ReportError(kMessageDownloadFailed, refused, problem, file, true);
      return refused;
    }
    host_.FireStartDownLoad(list.url, file, kOneDownload, list.counts.download, counter);
    transport_.SetCurrentFileName(file);
    const HRESULT result = transport_.DownloadFile(ComponentFileUrl(list.url, Text(item.source), file), setup, file);
    if (FAILED(result)) return result;
    // The published digest is that of FILENAME; a patch fetched in its place has none.
    const std::string expected = file == Text(item.fileName) ? hashes.For(file) : std::string();
    const HRESULT verified = VerifyDownload(kt::WithBackslash(setup) + file, expected, file);
    if (FAILED(verified)) return verified;
    SetStatus(list, row, "1");
    host_.FireEndDownLoad(list.url, file, kOneDownload, list.counts.download, counter);
  }
  return S_OK;
}

HRESULT Kt_UpdateRun::VerifyDownload(const std::string& path, const std::string& expected, const std::string& file) {
  if (expected.empty()) return S_OK;
  std::string received;
  HRESULT result = FileSha256(path, received);
  std::string detail;
  if (FAILED(result)) {
    detail = "The SHA-256 of the download could not be computed.";
  } else if (!SameDigest(expected, received)) {
    result = kHashMismatch;
    detail = "SHA-256 expected " + expected + ", received " + received;
  } else {
    return S_OK;
  }
  // Nothing unverified stays where the apply phase or a later run would take it from.
  host_.PcDevice().DeleteFile(path);
  host_.ReportError(kMessageDownloadFailed, result, detail, file, true);
  return result;
}

HRESULT Kt_UpdateRun::ApplyPhase(List& list, const ComponentItem& defaults, std::string& renames) {
  Kt_QxpConfiguration& config = host_.Configuration();
  ItemReader reader(list.Working(), defaults);
  int counter = 0;
  for (int row = 0; row < list.Working().RecordCount(); ++row) {
    if (Text(reader.Status(row)) != "1") continue;
    if (host_.StopFlag()) return E_ABORT;
    applyingIndex_ = row;
    ComponentItem item = reader.Read(row);
    const std::string file = FileToFetch(item);
    // CE rows go to the CE device, PC rows to the PC (for a CE target: the CE device's companion).
    Kt_Device* chosen = &host_.PcDevice();
    if (config.IsCurrentCE()) {
      Kt_Device* ce = host_.CeDevice();
      chosen = ce == nullptr ? nullptr : item.device == kDeviceCe ? ce : ce->LocalDevice();
    } else if (item.device != kDevicePc) {
      chosen = nullptr;
    }
    if (chosen == nullptr) {
      host_.ReportError(kNoValidTarget, E_FAIL, std::string(), file, true);
      return E_FAIL;
    }
    Kt_Device& device = *chosen;
    std::string target = Text(item.target);
    // An installer item's TARGET is its product code, not a folder.
    if (!IsInstallerAction(item.actionCode)) {
      if (ResolveTarget(config, device, target, true, host_)) {
        const HRESULT made = device.CreateFolder(target);
        if (FAILED(made) && made != kAlreadyExists) {
          host_.ReportError(kNoValidTarget, made, std::string(), target, true);
          return host_.ErrorCode();
        }
      } else if (item.actionCode == kActionCopy) {
        item.actionCode = kActionCabinet;
      }
    }
    ++counter;
    host_.FireStartDownLoad(list.url, file, kOneApply, list.counts.apply, counter);
    transport_.SetCurrentFileName(file);
    const HRESULT result = ApplyItem(item, target, device);
    host_.FireEndDownLoad(list.url, file, kOneApply, list.counts.apply, counter);
    if (FAILED(result)) {
      host_.FireError(file, host_.ErrorCode(), host_.ErrorMessage());
      return result;
    }
    SetStatus(list, row, "2");
    const bool copies = item.actionCode == kActionCopy || item.actionCode == kActionRegister ||
                        item.actionCode == kActionRun || item.actionCode == kActionLaunch;
    if (copies && StartsWithUnderscore(item.fileName) &&
        kt::EqualsNoCase(kt::WithBackslash(target), config.ExecFolder(kCurrent))) {
      renames += file + ",";
    }
  }
  return S_OK;
}

// --- One item ---

HRESULT Kt_UpdateRun::ApplyItem(const ComponentItem& item, const std::string& target, Kt_Device& device) {
  Kt_QxpConfiguration& config = host_.Configuration();
  const bool debug = host_.Settings().debug;
  const std::string file = Text(item.fileName);
  const std::string source = kt::WithBackslash(config.SetupFolder(Kt_QxpConfiguration::kPc)) + file;
  if (item.actionCode == kActionCabinet) {
    const HRESULT result = device.InstallCab(target, source, "-1,-1,-1,-1", debug ? "1" : "0");
    if (FAILED(result)) host_.ReportError(kCabinetFailed, result, std::string(), Text(item.target), false);
    return result;
  }
  if (IsInstallerAction(item.actionCode)) return installer_.Apply(item, launchList_, restartNeeded_);
  const std::string destination = kt::WithBackslash(target) + file;
  bool deferred = false;
  HRESULT result = PlaceFile(item, source, destination, device, deferred);
  if (FAILED(result)) return result;
  const bool executableFolder = kt::EqualsNoCase(kt::WithBackslash(target), config.ExecFolder(kCurrent));
  if (item.actionCode == kActionRegister && !(StartsWithUnderscore(item.fileName) && executableFolder)) {
    result = device.Register(destination, debug, true);
    if (FAILED(result)) host_.ReportError(kRegistrationFailed, result, std::string(), destination, false);
  } else if (item.actionCode == kActionRun) {
    result = device.RunProgram(destination, Text(item.argument), std::string(), true, nullptr);
    if (FAILED(result)) host_.ReportError(kRunningFailed, result, std::string(), destination, false);
  } else if (item.actionCode == kActionLaunch && !deferred) {
    if (device.Kind() == "CE") {
      ceLaunchList_.emplace_back(destination, Text(item.argument));
    } else {
      kt::device::ShellStart start;
      start.file = destination;
      start.parameters = Text(item.argument);
      launchList_.push_back(start);
    }
  }
  return result;
}

HRESULT Kt_UpdateRun::PlaceFile(const ComponentItem& item, const std::string& source,
                                const std::string& destination, Kt_Device& device, bool& deferred) {
  const bool debug = host_.Settings().debug;
  bool asked = false;
  for (;;) {
    device.ClearReadOnly(destination);
    HRESULT result;
    if (item.actionCode == kActionDelete) {
      result = device.DeleteFile(destination);
    } else if (item.actionCode == kActionDeleteRegistered) {
      device.Register(destination, debug, false);
      result = device.DeleteFile(destination);
    } else {
      result = device.CopyFile(source, destination);
    }
    if (SUCCEEDED(result)) return result;
    if (IsInUseFailure(result) && !asked) {
      asked = true;
      const HRESULT answer = InUseAnswer(destination);
      if (answer == 0) continue;
      if (answer == 1) {
        const bool deletes = item.actionCode == kActionDelete || item.actionCode == kActionDeleteRegistered;
        HRESULT scheduled = S_OK;
        if (deletes) {
          scheduled = kt::device::DeleteAtNextBoot(destination);
        } else {
          scheduled = host_.PcDevice().ReplaceOnReboot(source, destination);
        }
        if (FAILED(scheduled)) {
          host_.ReportError(kPlacingFailed, scheduled, std::string(), destination, false);
          return scheduled;
        }
        restartNeeded_ = true;
        deferred = true;
        return S_OK;
      }
      if (answer == E_ABORT) {
        host_.ReportError(kMessageRunStopped, E_ABORT, std::string(), destination, false);
        return E_ABORT;
      }
      result = answer;
    }
    host_.PumpMessages();
    if (host_.StopFlag()) {
      host_.ReportError(kMessageRunStopped, E_ABORT, std::string(), destination, false);
      return E_ABORT;
    }
    if (!killStepDone_) {
      RunningPlatformStep(true);
      continue;
    }
    host_.ReportError(kPlacingFailed, result, std::string(), destination, false);
    return result;
  }
}

HRESULT Kt_UpdateRun::InUseAnswer(const std::string& file) {
  if (host_.Settings().killCode == 2) {
    rememberedInUseAnswer_ = IDNO;
    return 1;
  }
  Kt_DeviceWIN32& pc = host_.PcDevice();
  std::vector<Kt_ProcessEntry> holders;
  pc.FindProcessesUsing(file, holders);
  std::vector<std::string> names = ProcessNames(holders);
  std::string message =
      InUseMessage(host_.MessageText(kInUseWithPrograms), host_.MessageText(kInUseWithoutPrograms), file, names);
  InUseInfo info(names);
  LONG answer = 0;
  bool answered = host_.FireConfirmEx("KILL", info.Get(), message, answer);
  if (!answered && rememberedInUseAnswer_ == IDNO) {
    answer = IDNO;
    answered = true;
  }
  if (!answered) answer = host_.Ask(message, MB_YESNOCANCEL, false);
  if (answer == IDYES) {
    if (holders.empty()) {
      ::Sleep(100);
      return 0;
    }
    pc.KillProcesses(holders);
    host_.PumpMessages();
    ::Sleep(10);
    return pc.DeleteFile(file);
  }
  if (answer == IDNO) {
    rememberedInUseAnswer_ = IDNO;
    return 1;
  }
  return E_ABORT;
}

void Kt_UpdateRun::RunningPlatformStep(bool afterFailedCopy) {
  Kt_QxpConfiguration& config = host_.Configuration();
  if (killStepDone_ || config.IsCurrentCE()) return;
  killStepDone_ = true;
  const std::string platform = config.ExecutablePath(kCurrent);
  if (platform.empty()) return;
  Kt_DeviceWIN32& pc = host_.PcDevice();
  std::vector<Kt_ProcessEntry> running;
  if (!pc.FindProcessesUsing(platform, running) || running.empty()) return;
  int answer = 0;
  switch (host_.Settings().killCode) {
    case 0: answer = host_.FireConfirm(true); break;
    case 1: answer = 1; break;
    case 3: answer = afterFailedCopy ? 1 : 0; break;
    default: answer = 0; break;
  }
  if (answer != 1) return;
  pc.KillProcesses(running);
  host_.PumpMessages();
  ::Sleep(10);
}

void Kt_UpdateRun::AppendRenameList(const std::string& names) {
  if (names.empty()) return;
  std::string stored = host_.RecallSetting("RenameLists");
  if (!stored.empty() && stored.back() != ',') stored += ',';
  host_.StoreSetting("RenameLists", stored + names);
}

void Kt_UpdateRun::StartQueuedPrograms() {
  for (kt::device::ShellStart& program : launchList_) {
    program.owner = ::GetActiveWindow();
    kt::device::StartThroughShell(program, nullptr);
  }
  launchList_.clear();
  Kt_Device* ce = host_.CeDevice();
  for (const auto& program : ceLaunchList_) {
    if (ce != nullptr) ce->RunProgram(program.first, program.second, std::string(), false, nullptr);
  }
  ceLaunchList_.clear();
}

std::string Kt_UpdateRun::FileToFetch(const ComponentItem& item) {
  return IsInstallerAction(item.actionCode) ? installer_.FileToFetch(item) : Text(item.fileName);
}

void Kt_UpdateRun::DeleteAppliedDownloads(List& list, const ComponentItem& defaults) {
  const std::string setup = kt::WithBackslash(host_.Configuration().SetupFolder(Kt_QxpConfiguration::kPc));
  ItemReader reader(list.Working(), defaults);
  for (int row = 0; row < list.Working().RecordCount(); ++row) {
    if (Text(reader.Status(row)) != "2") continue;
    const ComponentItem item = reader.Read(row);
    if (item.actionCode == kActionDeferredInstaller) continue;
    if (!item.fileName.IsEmpty()) ::DeleteFileA((setup + Text(item.fileName)).c_str());
    if (!item.patchFileName.IsEmpty()) ::DeleteFileA((setup + Text(item.patchFileName)).c_str());
  }
}

}  // namespace kt::engine
