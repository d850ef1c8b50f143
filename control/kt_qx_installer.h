#pragma once
// CKtQxInstaller3: the scriptable control that pages and the updater program drive. One object is
// one update engine with its properties, events, persistence and in-place window. It runs on the
// thread that created it (an apartment-threaded object); every event is fired on that thread,
// inside the call that caused it.
#include <windows.h>
#include <ocidl.h>
#include <objsafe.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "config/qxp_configuration.h"
#include "control/com/connection_point.h"
#include "control/com/variant.h"
#include "control/control_properties.h"
#include "control/qxinstaller.h"
#include "device/com_ptr.h"
#include "engine/error_report.h"
#include "engine/run/engine_host.h"
#include "engine/run/update_run.h"

class Kt_Device;
class Kt_DeviceCE;
class Kt_DeviceWIN32;
class Kt_RegistryWin32;
class Kt_ParamList;

namespace kt::control {

class CKtQxInstaller3 final : public IKtQxInstaller320_V3,
                              public IConnectionPointContainer,
                              public IProvideClassInfo2,
                              public IObjectSafety,
                              public IPersistPropertyBag,
                              public IPersistStreamInit,
                              public IPersistStorage,
                              public IOleObject,
                              public IOleInPlaceObject,
                              public IOleInPlaceActiveObject,
                              public IOleControl,
                              public IViewObject2,
                              public IQuickActivate,
                              public kt::engine::Kt_EngineHost {
 public:
  // Creates an object and asks it for `iid`.
  static HRESULT Create(REFIID iid, void** object);

  // --- IUnknown ---
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // --- IDispatch (through the type information of the version-3 interface) ---
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

  // --- IKtQxInstaller320 ---
  HRESULT STDMETHODCALLTYPE get_VersionLocalFile(BSTR* value) override;
  HRESULT STDMETHODCALLTYPE StartDownload() override;
  HRESULT STDMETHODCALLTYPE get_ErrorCode(LONG* value) override;
  HRESULT STDMETHODCALLTYPE get_ErrorMsg(BSTR* value) override;
  HRESULT STDMETHODCALLTYPE get_Debug(VARIANT_BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_Debug(VARIANT_BOOL value) override;
  HRESULT STDMETHODCALLTYPE Stop() override;
  HRESULT STDMETHODCALLTYPE AddAlias(BSTR id, BSTR defaultUrl, BSTR deviceType) override;
  HRESULT STDMETHODCALLTYPE get_Top(LONG* value) override;
  HRESULT STDMETHODCALLTYPE put_Top(LONG value) override;
  HRESULT STDMETHODCALLTYPE get_Left(LONG* value) override;
  HRESULT STDMETHODCALLTYPE put_Left(LONG value) override;
  HRESULT STDMETHODCALLTYPE get_Width(BSTR* value) override;
  HRESULT STDMETHODCALLTYPE put_Width(BSTR value) override;
  HRESULT STDMETHODCALLTYPE get_Height(BSTR* value) override;
  HRESULT STDMETHODCALLTYPE put_Height(BSTR value) override;
  HRESULT STDMETHODCALLTYPE get_OnlyOne(VARIANT_BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_OnlyOne(VARIANT_BOOL value) override;
  HRESULT STDMETHODCALLTYPE get_Resource(BSTR* value) override;
  HRESULT STDMETHODCALLTYPE put_Resource(BSTR value) override;
  HRESULT STDMETHODCALLTYPE get_Key(BSTR* value) override;
  HRESULT STDMETHODCALLTYPE put_Key(BSTR value) override;
  HRESULT STDMETHODCALLTYPE get_StartXML(BSTR* value) override;
  HRESULT STDMETHODCALLTYPE put_StartXML(BSTR value) override;
  HRESULT STDMETHODCALLTYPE get_GlobalVal(BSTR* value) override;
  HRESULT STDMETHODCALLTYPE put_GlobalVal(BSTR value) override;
  HRESULT STDMETHODCALLTYPE get_Version(BSTR* value) override;
  HRESULT STDMETHODCALLTYPE put_Version(BSTR value) override;
  HRESULT STDMETHODCALLTYPE get_ExeName(BSTR* value) override;
  HRESULT STDMETHODCALLTYPE put_ExeName(BSTR value) override;
  HRESULT STDMETHODCALLTYPE get_UpdateURL(BSTR* value) override;
  HRESULT STDMETHODCALLTYPE put_UpdateURL(BSTR value) override;
  HRESULT STDMETHODCALLTYPE get_ComponentPath(BSTR* value) override;
  HRESULT STDMETHODCALLTYPE put_ComponentPath(BSTR value) override;
  HRESULT STDMETHODCALLTYPE Run() override;
  HRESULT STDMETHODCALLTYPE ParseQRDFile(BSTR file) override;
  HRESULT STDMETHODCALLTYPE get_Launch(VARIANT_BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_Launch(VARIANT_BOOL value) override;
  HRESULT STDMETHODCALLTYPE get_ReInstall(VARIANT_BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_ReInstall(VARIANT_BOOL value) override;
  HRESULT STDMETHODCALLTYPE get_DeviceType(BSTR* value) override;
  HRESULT STDMETHODCALLTYPE put_DeviceType(BSTR value) override;
  HRESULT STDMETHODCALLTYPE get_UResource(BSTR* value) override;
  HRESULT STDMETHODCALLTYPE put_UResource(BSTR value) override;
  HRESULT STDMETHODCALLTYPE Execute(BSTR exeName, BSTR command) override;
  HRESULT STDMETHODCALLTYPE get_UpdateHandle(BSTR* value) override;
  HRESULT STDMETHODCALLTYPE put_UpdateHandle(BSTR value) override;
  HRESULT STDMETHODCALLTYPE ExistVersionUpCnt(VARIANT_BOOL* exists) override;
  HRESULT STDMETHODCALLTYPE get_Retry(LONG* value) override;
  HRESULT STDMETHODCALLTYPE put_Retry(LONG value) override;
  HRESULT STDMETHODCALLTYPE get_TimeOut(LONG* value) override;
  HRESULT STDMETHODCALLTYPE put_TimeOut(LONG value) override;
  HRESULT STDMETHODCALLTYPE get_PreVersionCompare(VARIANT_BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_PreVersionCompare(VARIANT_BOOL value) override;
  HRESULT STDMETHODCALLTYPE get_StartImage(BSTR* value) override;
  HRESULT STDMETHODCALLTYPE put_StartImage(BSTR value) override;
  HRESULT STDMETHODCALLTYPE get_ExecPath(BSTR* value) override;
  HRESULT STDMETHODCALLTYPE put_ExecPath(BSTR value) override;
  HRESULT STDMETHODCALLTYPE MakeShortCut(BSTR exeName, BSTR command, BSTR shortcutName, BSTR iconPath,
                                         BSTR position) override;
  HRESULT STDMETHODCALLTYPE get_Scroll(BSTR* value) override;
  HRESULT STDMETHODCALLTYPE put_Scroll(BSTR value) override;
  HRESULT STDMETHODCALLTYPE get_SiteKey(BSTR* value) override;
  HRESULT STDMETHODCALLTYPE put_SiteKey(BSTR value) override;
  HRESULT STDMETHODCALLTYPE get_UBKImage(BSTR* value) override;
  HRESULT STDMETHODCALLTYPE put_UBKImage(BSTR value) override;
  HRESULT STDMETHODCALLTYPE get_NotLaunchForErr(VARIANT_BOOL* value) override;
  HRESULT STDMETHODCALLTYPE put_NotLaunchForErr(VARIANT_BOOL value) override;

  // --- IKtQxInstaller320_V2 ---
  HRESULT STDMETHODCALLTYPE get_UpdateKillQuorix(BSTR* value) override;
  HRESULT STDMETHODCALLTYPE put_UpdateKillQuorix(BSTR value) override;
  HRESULT STDMETHODCALLTYPE get_EventReturn(VARIANT* value) override;
  HRESULT STDMETHODCALLTYPE put_EventReturn(VARIANT value) override;
  HRESULT STDMETHODCALLTYPE Reserved(BSTR id, VARIANT arguments, VARIANT* output, VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE CreateObject(BSTR progId, IDispatch** object) override;

  // --- IKtQxInstaller320_V3 ---
  HRESULT STDMETHODCALLTYPE IsUACEnabled(VARIANT_BOOL* enabled) override;
  HRESULT STDMETHODCALLTYPE IsElevatedProcess(VARIANT_BOOL* elevated) override;
  HRESULT STDMETHODCALLTYPE IsQuorixRunning(VARIANT_BOOL* running) override;
  HRESULT STDMETHODCALLTYPE AliasToRealPath(BSTR aliasedPath, BSTR* realPath) override;
  HRESULT STDMETHODCALLTYPE IsAdministratorsGroup(VARIANT_BOOL* member) override;
  HRESULT STDMETHODCALLTYPE IsPowerUsersGroup(VARIANT_BOOL* member) override;

  // --- IConnectionPointContainer ---
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

  // --- IProvideClassInfo2 ---
  HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* guid) override;

  // --- IObjectSafety ---
  HRESULT STDMETHODCALLTYPE GetInterfaceSafetyOptions(REFIID iid, DWORD* supported, DWORD* enabled) override;
  HRESULT STDMETHODCALLTYPE SetInterfaceSafetyOptions(REFIID iid, DWORD mask, DWORD enabled) override;

  // --- IPersist, IPersistPropertyBag, IPersistStreamInit, IPersistStorage ---
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* classId) override;
  HRESULT STDMETHODCALLTYPE InitNew() override;
  HRESULT STDMETHODCALLTYPE Load(IPropertyBag* bag, IErrorLog* log) override;
  HRESULT STDMETHODCALLTYPE Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;
  HRESULT STDMETHODCALLTYPE IsDirty() override;
  HRESULT STDMETHODCALLTYPE Load(LPSTREAM stream) override;
  HRESULT STDMETHODCALLTYPE Save(LPSTREAM stream, BOOL clearDirty) override;
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;
  HRESULT STDMETHODCALLTYPE InitNew(IStorage* storage) override;
  HRESULT STDMETHODCALLTYPE Load(IStorage* storage) override;
  HRESULT STDMETHODCALLTYPE Save(IStorage* storage, BOOL sameAsLoad) override;
  HRESULT STDMETHODCALLTYPE SaveCompleted(IStorage* storage) override;
  HRESULT STDMETHODCALLTYPE HandsOffStorage() override;

  // --- IOleObject ---
  HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override;
  HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override;
  HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR application, LPCOLESTR object) override;
  HRESULT STDMETHODCALLTYPE Close(DWORD saveOption) override;
  HRESULT STDMETHODCALLTYPE SetMoniker(DWORD which, IMoniker* moniker) override;
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
  HRESULT STDMETHODCALLTYPE InitFromData(IDataObject* data, BOOL creation, DWORD reserved) override;
  HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD reserved, IDataObject** data) override;
  HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG message, IOleClientSite* site, LONG index, HWND parent,
                                   LPCRECT position) override;
  HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** verbs) override;
  HRESULT STDMETHODCALLTYPE Update() override;
  HRESULT STDMETHODCALLTYPE IsUpToDate() override;
  HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* classId) override;
  HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR* userType) override;
  HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override;
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) override;
  HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* sink, DWORD* connection) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD connection) override;
  HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** advise) override;
  HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* status) override;
  HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE* palette) override;

  // --- IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject ---
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enter) override;
  HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
  HRESULT STDMETHODCALLTYPE UIDeactivate() override;
  HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT clip) override;
  HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override;
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG message) override;
  HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL activate) override;
  HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL activate) override;
  HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frame) override;
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL enable) override;

  // --- IOleControl ---
  HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* info) override;
  HRESULT STDMETHODCALLTYPE OnMnemonic(MSG* message) override;
  HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID id) override;
  HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL freeze) override;

  // --- IViewObject, IViewObject2 ---
  HRESULT STDMETHODCALLTYPE Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* target,
                                 HDC targetDc, HDC drawDc, LPCRECTL bounds, LPCRECTL windowBounds,
                                 BOOL(STDMETHODCALLTYPE* cont)(ULONG_PTR), ULONG_PTR contArgument) override;
  HRESULT STDMETHODCALLTYPE GetColorSet(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* target,
                                        HDC targetDc, LOGPALETTE** colors) override;
  HRESULT STDMETHODCALLTYPE Freeze(DWORD aspect, LONG index, void* aspectInfo, DWORD* freeze) override;
  HRESULT STDMETHODCALLTYPE Unfreeze(DWORD freeze) override;
  HRESULT STDMETHODCALLTYPE SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
  HRESULT STDMETHODCALLTYPE GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* target, LPSIZEL size) override;

  // --- IQuickActivate ---
  HRESULT STDMETHODCALLTYPE QuickActivate(QACONTAINER* container, QACONTROL* control) override;
  HRESULT STDMETHODCALLTYPE SetContentExtent(LPSIZEL size) override;
  HRESULT STDMETHODCALLTYPE GetContentExtent(LPSIZEL size) override;

  // --- The engine's host: what an update run needs of this object ---
  void ReportError(int messageId, HRESULT result, const std::string& extra, const std::string& name,
                   bool fire) override;
  void FireProgress(const std::string& itemName, ULONG progress, ULONG progressMax,
                    const std::string& statusText) override;
  void PumpMessages() override;
  bool StopFlag() override { return stopFlag_ != 0; }
  void SetStopFlag() override { stopFlag_ = 1; }
  HWND DialogOwner() override { return window_; }
  void StoreSetting(const std::string& name, const std::string& value) override;
  kt::engine::RunSettings Settings() override;
  std::string DeviceTypeName() override { return deviceTypeName_; }
  void StoreSettings() override;
  std::string RecallSetting(const char* name) override { return RecallText(name); }
  void ClearError() override { error_.Clear(); }
  LONG ErrorCode() override { return error_.code; }
  std::string ErrorMessage() override { return error_.message; }
  void SetVersionLocalFile(const std::string& path) override { versionLocalFile_ = path; }
  std::string MessageText(int id) override;
  // Events to every sink of both event interfaces (first interface's sinks first).
  void FireStartDownLoad(const std::string& list, const std::string& file, LONG type, LONG total,
                         LONG index) override;
  void FireEndDownLoad(const std::string& list, const std::string& file, LONG type, LONG total,
                       LONG index) override;
  void FireError(const std::string& name, LONG code, const std::string& message) override;
  // The handler's answer written to `pbRet` (0 when none answered).
  VARIANT_BOOL FireConfirm(bool reboot) override;
  // Only to the sinks of the version-2 event interface; a handler may change `message` and
  // answer through EventReturn.
  bool FireConfirmEx(const std::string& type, const VARIANT& info, std::string& message, LONG& answer) override;
  int Ask(const std::string& text, UINT buttons, bool activeOwner) override;

  // Every question the engine puts to a person goes through this seam; tests answer it. Without
  // one, a message box asks.
  using QuestionSeam = std::function<int(const std::string& text, UINT buttons)>;
  void SetQuestionSeam(QuestionSeam seam) { questionSeam_ = std::move(seam); }

  Kt_QxpConfiguration& Configuration() override { return config_; }
  Kt_DeviceWIN32& PcDevice() override;
  Kt_Device* CeDevice() override;
  const ControlProperties& Properties() const { return props_; }
  bool EngineStarted() const { return started_; }
  HWND ControlWindow() const { return window_; }

 private:
  CKtQxInstaller3();
  ~CKtQxInstaller3();

  // Engine start-up, once per object: default settings, device-type name and, in a web page,
  // the remembered settings.
  void StartEngine();
  void UpdateDeviceTypeName();
  bool ContainerIsHtmlDocument() const;

  // Remembered settings under the application's key.
  void LoadSettings();
  void RememberText(const char* name, const std::string& value);
  void RememberNumber(const char* name, LONG value);
  std::string RecallText(const char* name);
  bool IsCeDeviceType() const;
  bool OpenApplicationKey(const char* name, Kt_RegistryWin32& key);
  void RecomputeApplicationKey();

  // Property helpers with the side effects of a put.
  std::string ResolvePath(const std::string& path);
  void PutKey(const std::string& key);
  void PutSiteKey(const std::string& siteKey);
  void PutDeviceType(const std::string& kind);
  void PutVersion(const std::string& version);
  void PutStartXml(const std::string& text);
  void PutUpdateKillQuorix(const std::string& text);
  void PutPosition(LONG& slot, LONG value, const char* rememberedName);
  void PutPathProperty(std::string& slot, const std::string& value, const char* rememberedName);
  void NotifyChanged(DISPID id);

  // Launch descriptions and the updater's hand-over stream.
  HRESULT ApplyLaunchDescription(const std::string& path);
  void ApplyHandOver(const Kt_ParamList& values);
  // The property stream's bytes: the extent, then every entry of the property map in order.
  HRESULT LoadPropertyBytes(const std::vector<BYTE>& bytes, size_t& position);
  HRESULT SavePropertyBytes(std::vector<BYTE>& bytes);

  // The window of the activated control.
  HRESULT CreateControlWindow(HWND parent, const RECT& position);
  void DestroyControlWindow();
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  void FireToAll(DISPID id, std::initializer_list<VARIANT> arguments);
  // The update engine, made at its first use.
  kt::engine::Kt_UpdateRun& Engine();

  volatile LONG references_ = 1;
  Kt_QxpConfiguration config_;
  std::unique_ptr<Kt_DeviceWIN32> pcDevice_;
  std::unique_ptr<Kt_DeviceCE> ceDevice_;
  ControlProperties props_;
  com::Variant eventReturn_;
  engine::ErrorState error_;
  std::string deviceTypeName_ = "WIN32";
  std::string applicationKey_;
  std::string versionLocalFile_;
  std::unique_ptr<kt::engine::Kt_UpdateRun> engine_;
  QuestionSeam questionSeam_;
  bool started_ = false;
  bool settingsStored_ = false;
  bool dirty_ = false;
  LONG stopFlag_ = 0;

  com::ConnectionPoint eventsV1_;
  com::ConnectionPoint eventsV2_;
  com::ConnectionPoint propertyNotify_;
  kt::device::ComPtr<ITypeInfo> typeInfo_;

  kt::device::ComPtr<IOleClientSite> clientSite_;
  kt::device::ComPtr<IOleInPlaceSite> inPlaceSite_;
  kt::device::ComPtr<IAdviseSink> viewAdvise_;
  DWORD viewAdviseAspects_ = 0;
  DWORD viewAdviseFlags_ = 0;
  kt::device::ComPtr<IOleAdviseHolder> oleAdviseHolder_;
  HWND window_ = nullptr;
  SIZEL extent_{5080, 5080};  // HIMETRIC, 192 by 192 pixels at 96 dpi
  DWORD safetyOptions_ = 0;
};

}  // namespace kt::control
