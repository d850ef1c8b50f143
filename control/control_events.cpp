// The object's connection points and the events it fires. Every event goes to the sinks of the
// first event interface, then to those of the version-2 one, each in connection order;
// `OnConfirmEx` only to the version-2 sinks.
#include "control/kt_qx_installer.h"

#include "control/com/bstr.h"
#include "control/com/dispatch_call.h"
#include "control/com/enumerator.h"
#include "control/com/module_lock.h"
#include "engine/message_pump.h"

namespace kt::control {
namespace {

constexpr DISPID kOnError = 1;
constexpr DISPID kOnStartDownLoad = 2;
constexpr DISPID kOnEndDownLoad = 3;
constexpr DISPID kOnConfirm = 4;
constexpr DISPID kOnProgress = 5;
constexpr DISPID kOnConfirmEx = 6;

void FireTo(const com::ConnectionPoint& point, DISPID id, std::initializer_list<VARIANT> arguments) {
  for (const auto& sink : point.Sinks()) {
    com::InvokeMethod(static_cast<IDispatch*>(sink.Get()), id, arguments);
  }
}

}  // namespace

HRESULT CKtQxInstaller3::EnumConnectionPoints(IEnumConnectionPoints** points) {
  std::vector<IConnectionPoint*> all{&eventsV1_, &eventsV2_, &propertyNotify_};
  return com::PointEnumerator::Create(all, 0, points);
}

HRESULT CKtQxInstaller3::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
  if (point == nullptr) return E_POINTER;
  *point = nullptr;
  for (com::ConnectionPoint* candidate : {&eventsV1_, &eventsV2_, &propertyNotify_}) {
    if (candidate->Iid() == iid) {
      candidate->AddRef();
      *point = candidate;
      return S_OK;
    }
  }
  return CONNECT_E_NOCONNECTION;
}

void CKtQxInstaller3::FireToAll(DISPID id, std::initializer_list<VARIANT> arguments) {
  // A handler may release the page's last reference to this object.
  AddRef();
  FireTo(eventsV1_, id, arguments);
  FireTo(eventsV2_, id, arguments);
  Release();
}

void CKtQxInstaller3::FireError(const std::string& name, LONG code, const std::string& message) {
  com::Bstr file(name), text(message);
  FireToAll(kOnError, {com::BorrowedBstr(file.Get()), com::LongValue(code), com::BorrowedBstr(text.Get())});
}

void CKtQxInstaller3::FireStartDownLoad(const std::string& versionFile, const std::string& file, LONG type,
                                        LONG total, LONG index) {
  com::Bstr list(versionFile), name(file);
  FireToAll(kOnStartDownLoad, {com::BorrowedBstr(list.Get()), com::BorrowedBstr(name.Get()), com::LongValue(type),
                               com::LongValue(total), com::LongValue(index)});
}

void CKtQxInstaller3::FireEndDownLoad(const std::string& versionFile, const std::string& file, LONG type,
                                      LONG total, LONG index) {
  // The file name is declared as an out argument: a handler may replace the string, which the
  // owner below frees whatever it holds afterwards.
  com::Bstr list(versionFile), name(file);
  FireToAll(kOnEndDownLoad, {com::BorrowedBstr(list.Get()), com::ByRef(VT_BSTR, name.InOut()), com::LongValue(type),
                             com::LongValue(total), com::LongValue(index)});
}

VARIANT_BOOL CKtQxInstaller3::FireConfirm(bool reboot) {
  VARIANT_BOOL answer = VARIANT_FALSE;
  FireToAll(kOnConfirm, {com::BoolValue(reboot), com::ByRef(VT_BOOL, &answer)});
  return answer;
}

void CKtQxInstaller3::FireProgress(const std::string& item, ULONG progress, ULONG progressMax,
                                   const std::string& status) {
  com::Bstr name(item), text(status);
  PumpMessages();
  FireToAll(kOnProgress, {com::BorrowedBstr(name.Get()), com::LongValue(static_cast<LONG>(progress)),
                          com::LongValue(static_cast<LONG>(progressMax)), com::BorrowedBstr(text.Get())});
  PumpMessages();
}

bool CKtQxInstaller3::FireConfirmEx(const std::string& type, const VARIANT& info, std::string& message,
                                    LONG& answer) {
  eventReturn_.Clear();
  com::Bstr kind(type), text(message);
  AddRef();
  FireTo(eventsV2_, kOnConfirmEx, {com::BorrowedBstr(kind.Get()), info, com::ByRef(VT_BSTR, text.InOut())});
  Release();
  message = com::AnsiFromBstr(text.Get());
  // Only an integer counts as an answer; whatever else a handler left there does not.
  const VARIANT& given = *eventReturn_.Get();
  switch (V_VT(&given)) {
    case VT_I2: answer = V_I2(&given); return true;
    case VT_UI2: answer = V_UI2(&given); return true;
    case VT_I4: answer = V_I4(&given); return true;
    case VT_UI4: answer = static_cast<LONG>(V_UI4(&given)); return true;
    case VT_INT: answer = V_INT(&given); return true;
    case VT_UINT: answer = static_cast<LONG>(V_UINT(&given)); return true;
    case VT_I8: answer = static_cast<LONG>(V_I8(&given)); return true;
    case VT_UI8: answer = static_cast<LONG>(V_UI8(&given)); return true;
    default: return false;
  }
}

void CKtQxInstaller3::ReportError(int messageId, HRESULT result, const std::string& extra, const std::string& name,
                                  bool fire) {
  engine::ErrorReport report;
  report.messageId = static_cast<UINT>(messageId);
  report.messageText = messageId != 0 ? MessageText(messageId) : std::string();
  report.result = result;
  report.extra = extra.empty() ? nullptr : &extra;
  report.name = name;
  engine::ApplyErrorReport(report, error_);
  if (!fire) return;
  PumpMessages();
  FireError(name, error_.code, report.messageText);
  PumpMessages();
}

std::string CKtQxInstaller3::MessageText(int id) {
  return engine::LoadMessageText(com::ThisModule(), static_cast<UINT>(id));
}

void CKtQxInstaller3::PumpMessages() { engine::DrainMessages(); }

int CKtQxInstaller3::Ask(const std::string& text, UINT buttons, bool activeOwner) {
  if (questionSeam_) return questionSeam_(text, buttons);
  HWND owner = activeOwner ? ::GetActiveWindow() : window_;
  return ::MessageBoxA(owner, text.c_str(), "", buttons);
}

void CKtQxInstaller3::NotifyChanged(DISPID id) {
  dirty_ = true;
  for (const auto& sink : propertyNotify_.Sinks()) {
    static_cast<IPropertyNotifySink*>(sink.Get())->OnChanged(id);
  }
}

}  // namespace kt::control
