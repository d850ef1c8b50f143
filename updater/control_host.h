#pragma once
// Hosts the control in the updater's dialog: creates it by its class identifier, hands it the
// start description as its persisted stream, activates it in place as a child window that is
// never shown, connects the dialog's event sink and gives the dialog its dispatch interface.
#include <windows.h>
#include <ole2.h>
#include <ocidl.h>

#include <string>

#include "device/com_ptr.h"

namespace kt::updater {

// The container side the control asks for while it activates: the dialog is its window.
class ControlSite : public IOleClientSite, public IOleInPlaceSite {
 public:
  explicit ControlSite(HWND dialog) : dialog_(dialog) {}
  ControlSite(const ControlSite&) = delete;
  ControlSite& operator=(const ControlSite&) = delete;
  virtual ~ControlSite() = default;

  // IUnknown: the site lives as long as its host, which outlives the control's references.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  // IOleClientSite
  HRESULT STDMETHODCALLTYPE SaveObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override;
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override;
  HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }
  // IOleWindow
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  // IOleInPlaceSite
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                             LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO info) override;
  HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

 private:
  HWND dialog_;
};

class ControlHost {
 public:
  explicit ControlHost(HWND dialog) : site_(dialog), dialog_(dialog) {}
  ~ControlHost() { Destroy(); }
  ControlHost(const ControlHost&) = delete;
  ControlHost& operator=(const ControlHost&) = delete;

  // Creates the control (window id `controlId`), loading `startDescription` as its persisted
  // state when it is not empty; `events` receives its events. A failing result leaves no control.
  HRESULT Create(const std::string& startDescription, IDispatch* events, int controlId);
  // Disconnects the events, deactivates and releases the control.
  void Destroy();

  IDispatch* Dispatch() const { return dispatch_.Get(); }
  explicit operator bool() const { return static_cast<bool>(dispatch_); }

 private:
  ControlSite site_;
  HWND dialog_;
  kt::device::ComPtr<IOleObject> object_;
  kt::device::ComPtr<IDispatch> dispatch_;
  kt::device::ComPtr<IConnectionPoint> events_;
  DWORD cookie_ = 0;
};

}  // namespace kt::updater
