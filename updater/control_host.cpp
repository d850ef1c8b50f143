#include "updater/control_host.h"

#include "control/qxinstaller.h"

namespace kt::updater {
namespace {

// The start description as a memory stream: the text and its terminating zero.
HRESULT MakeStream(const std::string& text, kt::device::ComPtr<IStream>& stream) {
  HRESULT result = ::CreateStreamOnHGlobal(nullptr, TRUE, reinterpret_cast<IStream**>(stream.PutVoid()));
  if (FAILED(result)) return result;
  result = stream->Write(text.c_str(), static_cast<ULONG>(text.size() + 1), nullptr);
  if (FAILED(result)) return result;
  LARGE_INTEGER start{};
  return stream->Seek(start, STREAM_SEEK_SET, nullptr);
}

}  // namespace

HRESULT ControlSite::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
    *object = static_cast<IOleClientSite*>(this);
  } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) {
    *object = static_cast<IOleInPlaceSite*>(this);
  } else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  return S_OK;
}

HRESULT ControlSite::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  if (moniker != nullptr) *moniker = nullptr;
  return E_NOTIMPL;
}

HRESULT ControlSite::GetContainer(IOleContainer** container) {
  if (container != nullptr) *container = nullptr;
  return E_NOINTERFACE;
}

HRESULT ControlSite::GetWindow(HWND* window) {
  if (window == nullptr) return E_POINTER;
  *window = dialog_;
  return S_OK;
}

HRESULT ControlSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                      LPRECT clip, LPOLEINPLACEFRAMEINFO info) {
  if (frame != nullptr) *frame = nullptr;
  if (document != nullptr) *document = nullptr;
  // A control that is never shown needs no room.
  if (position != nullptr) ::SetRectEmpty(position);
  if (clip != nullptr) ::SetRectEmpty(clip);
  if (info != nullptr) {
    info->fMDIApp = FALSE;
    info->hwndFrame = dialog_;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
  }
  return S_OK;
}

HRESULT ControlHost::Create(const std::string& startDescription, IDispatch* events, int controlId) {
  Destroy();
  HRESULT result = ::CoCreateInstance(CLSID_KtQxInstaller320, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                      object_.PutVoid());
  if (FAILED(result)) return result;
  object_->SetClientSite(&site_);
  kt::device::ComPtr<IPersistStreamInit> persist;
  result = object_->QueryInterface(IID_IPersistStreamInit, persist.PutVoid());
  if (SUCCEEDED(result)) {
    if (startDescription.empty()) {
      result = persist->InitNew();
    } else {
      kt::device::ComPtr<IStream> stream;
      result = MakeStream(startDescription, stream);
      if (SUCCEEDED(result)) result = persist->Load(stream.Get());
    }
  }
  if (SUCCEEDED(result)) result = object_->QueryInterface(IID_IDispatch, dispatch_.PutVoid());
  if (SUCCEEDED(result)) {
    RECT none{};
    result = object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site_, 0, dialog_, &none);
  }
  if (SUCCEEDED(result)) {
    kt::device::ComPtr<IOleInPlaceObject> inPlace;
    HWND window = nullptr;
    if (SUCCEEDED(object_->QueryInterface(IID_IOleInPlaceObject, inPlace.PutVoid())) &&
        SUCCEEDED(inPlace->GetWindow(&window)) && window != nullptr) {
      ::ShowWindow(window, SW_HIDE);
      ::SetWindowLongPtrA(window, GWLP_ID, controlId);
    }
  }
  if (SUCCEEDED(result) && events != nullptr) {
    kt::device::ComPtr<IConnectionPointContainer> container;
    result = object_->QueryInterface(IID_IConnectionPointContainer, container.PutVoid());
    if (SUCCEEDED(result)) {
      result = container->FindConnectionPoint(DIID__IKtQxInstaller320Events,
                                              reinterpret_cast<IConnectionPoint**>(events_.PutVoid()));
    }
    if (SUCCEEDED(result)) result = events_->Advise(events, &cookie_);
  }
  if (FAILED(result)) Destroy();
  return result;
}

void ControlHost::Destroy() {
  if (events_) {
    events_->Unadvise(cookie_);
    events_.Reset();
    cookie_ = 0;
  }
  dispatch_.Reset();
  if (object_) {
    object_->Close(OLECLOSE_NOSAVE);
    object_->SetClientSite(nullptr);
    object_.Reset();
  }
}

}  // namespace kt::updater
