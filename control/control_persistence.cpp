// Persistence by the property map: property bags (a page's object parameters), streams (a host's
// saved state, or the updater's hand-over text) and storages. Every entry but the extent is read
// and written through the dispatch property of its name, so a load runs the setters, in map order.
#include "control/kt_qx_installer.h"

#include <cstring>
#include <vector>

#include "control/com/bstr.h"
#include "control/com/dispatch_call.h"
#include "control/com/variant.h"
#include "control/com/variant_stream.h"
#include "dataset/values/variable.h"

namespace kt::control {
namespace {

struct MapEntry {
  const wchar_t* name;
  DISPID id;
  bool unsetNumber;  // a number that may hold "unset", which is not written
};

const MapEntry kPropertyMap[] = {
    {L"UpdateURL", 19, false},     {L"Debug", 5, false},          {L"Version", 17, false},
    {L"DeviceType", 25, false},    {L"Key", 14, false},           {L"StartXML", 15, false},
    {L"Launch", 23, false},        {L"ReInstall", 24, false},     {L"ComponentPath", 20, false},
    {L"Top", 8, true},             {L"Left", 9, true},            {L"Width", 10, false},
    {L"Height", 11, false},        {L"OnlyOne", 12, false},       {L"Resource", 13, false},
    {L"GlobalVal", 16, false},     {L"ExeName", 18, false},       {L"UResource", 26, false},
    {L"UpdateHandle", 28, false},  {L"Retry", 30, true},          {L"TimeOut", 31, true},
    {L"StartImage", 33, false},    {L"ExecPath", 34, false},      {L"SiteKey", 37, false},
    {L"UBKImage", 38, false},      {L"NotLaunchForErr", 39, false}, {L"UpdateKillQuorix", 40, false},
    {L"EventReturn", 41, false},
};

constexpr char kHandOverPrefix[] = "QxUpdater320";
constexpr size_t kHandOverPrefixLength = sizeof kHandOverPrefix - 1;
constexpr ULONG kReadPiece = 256;
const wchar_t kStorageStreamName[] = L"Contents";

HRESULT ReadWholeStream(IStream* stream, std::vector<BYTE>& bytes) {
  BYTE piece[kReadPiece];
  for (;;) {
    ULONG read = 0;
    const HRESULT result = stream->Read(piece, kReadPiece, &read);
    if (FAILED(result)) return result;
    bytes.insert(bytes.end(), piece, piece + read);
    if (read == 0) return S_OK;
  }
}

// The text (up to a terminating zero) begins with the prefix and has more after it.
bool IsHandOver(const std::vector<BYTE>& bytes) {
  if (bytes.size() <= kHandOverPrefixLength) return false;
  if (std::memcmp(bytes.data(), kHandOverPrefix, kHandOverPrefixLength) != 0) return false;
  return bytes[kHandOverPrefixLength] != 0;
}

// An unset number is left out of what is saved, so that a reloaded control still tells "unset"
// from a position of -1.
bool IsUnset(const ControlProperties& props, DISPID id) {
  switch (id) {
    case 8: return props.top == kUnsetNumber;
    case 9: return props.left == kUnsetNumber;
    case 30: return props.retry == kUnsetNumber;
    case 31: return props.timeOut == kUnsetNumber;
    default: return false;
  }
}

}  // namespace

HRESULT CKtQxInstaller3::GetClassID(CLSID* classId) {
  if (classId == nullptr) return E_POINTER;
  *classId = CLSID_KtQxInstaller320_V3;
  return S_OK;
}

HRESULT CKtQxInstaller3::InitNew() { return S_OK; }

HRESULT CKtQxInstaller3::IsDirty() { return dirty_ ? S_OK : S_FALSE; }

// --- Property bag ---

HRESULT CKtQxInstaller3::Load(IPropertyBag* bag, IErrorLog* log) {
  if (bag == nullptr) return E_POINTER;
  IDispatch* self = static_cast<IKtQxInstaller320_V3*>(this);
  for (const wchar_t* extent : {L"_cx", L"_cy"}) {
    com::Variant value;
    V_VT(value.Get()) = VT_UI4;
    if (SUCCEEDED(bag->Read(extent, value.Get(), log)) &&
        SUCCEEDED(::VariantChangeType(value.Get(), value.Get(), 0, VT_UI4))) {
      (extent[2] == L'x' ? extent_.cx : extent_.cy) = static_cast<LONG>(V_UI4(value.Get()));
    }
  }
  for (const MapEntry& entry : kPropertyMap) {
    com::Variant value;
    if (SUCCEEDED(bag->Read(entry.name, value.Get(), log)) && value.Type() != VT_EMPTY) {
      com::PutProperty(self, entry.id, *value.Get());
    }
  }
  dirty_ = false;
  return S_OK;
}

HRESULT CKtQxInstaller3::Save(IPropertyBag* bag, BOOL clearDirty, BOOL) {
  if (bag == nullptr) return E_POINTER;
  IDispatch* self = static_cast<IKtQxInstaller320_V3*>(this);
  for (const wchar_t* extent : {L"_cx", L"_cy"}) {
    com::Variant value;
    V_VT(value.Get()) = VT_UI4;
    V_UI4(value.Get()) = static_cast<ULONG>(extent[2] == L'x' ? extent_.cx : extent_.cy);
    const HRESULT result = bag->Write(extent, value.Get());
    if (FAILED(result)) return result;
  }
  for (const MapEntry& entry : kPropertyMap) {
    if (entry.unsetNumber && IsUnset(props_, entry.id)) continue;
    com::Variant value;
    HRESULT result = com::GetProperty(self, entry.id, value.Get());
    if (SUCCEEDED(result)) result = bag->Write(entry.name, value.Get());
    if (FAILED(result)) return result;
  }
  if (clearDirty) dirty_ = false;
  return S_OK;
}

// --- Stream ---

HRESULT CKtQxInstaller3::Load(LPSTREAM stream) {
  if (stream == nullptr) return E_POINTER;
  LARGE_INTEGER zero{};
  ULARGE_INTEGER start{};
  const bool seekable = SUCCEEDED(stream->Seek(zero, STREAM_SEEK_CUR, &start));
  std::vector<BYTE> bytes;
  HRESULT result = ReadWholeStream(stream, bytes);
  if (FAILED(result)) return result;

  if (IsHandOver(bytes)) {
    std::string text(reinterpret_cast<const char*>(bytes.data()) + kHandOverPrefixLength,
                     bytes.size() - kHandOverPrefixLength);
    text.resize(std::strlen(text.c_str()));
    Kt_ParamList values;
    values.ParseParamString(text.c_str());
    ApplyHandOver(values);
    dirty_ = false;
    return S_OK;
  }

  size_t consumed = 0;
  result = LoadPropertyBytes(bytes, consumed);
  // The host may keep more after this object's state: leave the stream right behind it.
  if (seekable) {
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(start.QuadPart + consumed);
    stream->Seek(end, STREAM_SEEK_SET, nullptr);
  }
  if (SUCCEEDED(result)) dirty_ = false;
  return result;
}

void CKtQxInstaller3::ApplyHandOver(const Kt_ParamList& values) {
  auto text = [&values](const char* name, std::string& out) {
    const Kt_Variable* variable = values.Find(name);
    if (variable == nullptr) return false;
    const Kt_AString value = variable->value.ToString();
    out.assign(value.c_str(), value.Length());
    return true;
  };
  std::string value;
  if (text("QRD", value)) {
    ApplyLaunchDescription(value);
    return;
  }
  if (text("DeviceType", value)) put_DeviceType(com::Bstr(value).Get());
  if (text("Version", value)) put_Version(com::Bstr(value).Get());
  if (text("SiteKey", value)) put_SiteKey(com::Bstr(value).Get());
  if (text("Key", value)) put_Key(com::Bstr(value).Get());
}

HRESULT CKtQxInstaller3::LoadPropertyBytes(const std::vector<BYTE>& bytes, size_t& position) {
  IDispatch* self = static_cast<IKtQxInstaller320_V3*>(this);
  DWORD cx = 0, cy = 0;
  if (!com::ReadDword(bytes, position, cx) || !com::ReadDword(bytes, position, cy)) return STG_E_READFAULT;
  extent_.cx = static_cast<LONG>(cx);
  extent_.cy = static_cast<LONG>(cy);
  for (const MapEntry& entry : kPropertyMap) {
    com::Variant value;
    const HRESULT result = com::ReadVariant(bytes, position, value.Get());
    if (FAILED(result)) return result;
    if (value.Type() != VT_EMPTY) com::PutProperty(self, entry.id, *value.Get());
  }
  return S_OK;
}

HRESULT CKtQxInstaller3::SavePropertyBytes(std::vector<BYTE>& bytes) {
  IDispatch* self = static_cast<IKtQxInstaller320_V3*>(this);
  com::AppendDword(static_cast<DWORD>(extent_.cx), bytes);
  com::AppendDword(static_cast<DWORD>(extent_.cy), bytes);
  for (const MapEntry& entry : kPropertyMap) {
    com::Variant value;
    if (!(entry.unsetNumber && IsUnset(props_, entry.id))) {
      const HRESULT result = com::GetProperty(self, entry.id, value.Get());
      if (FAILED(result)) return result;
    }
    const HRESULT result = com::AppendVariant(*value.Get(), bytes);
    if (FAILED(result)) return result;
  }
  return S_OK;
}

HRESULT CKtQxInstaller3::Save(LPSTREAM stream, BOOL clearDirty) {
  if (stream == nullptr) return E_POINTER;
  std::vector<BYTE> bytes;
  HRESULT result = SavePropertyBytes(bytes);
  if (FAILED(result)) return result;
  ULONG written = 0;
  result = stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
  if (SUCCEEDED(result) && written != bytes.size()) result = STG_E_WRITEFAULT;
  if (SUCCEEDED(result) && clearDirty) dirty_ = false;
  return result;
}

HRESULT CKtQxInstaller3::GetSizeMax(ULARGE_INTEGER* size) {
  if (size == nullptr) return E_POINTER;
  std::vector<BYTE> bytes;
  const HRESULT result = SavePropertyBytes(bytes);
  size->QuadPart = bytes.size();
  return result;
}

// --- Storage: the property stream as the storage's "Contents" stream ---

HRESULT CKtQxInstaller3::InitNew(IStorage*) { return InitNew(); }

HRESULT CKtQxInstaller3::Load(IStorage* storage) {
  if (storage == nullptr) return E_POINTER;
  kt::device::ComPtr<IStream> stream;
  const HRESULT result = storage->OpenStream(kStorageStreamName, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0,
                                             reinterpret_cast<IStream**>(stream.PutVoid()));
  if (FAILED(result)) return result;
  return Load(stream.Get());
}

HRESULT CKtQxInstaller3::Save(IStorage* storage, BOOL) {
  if (storage == nullptr) return E_POINTER;
  kt::device::ComPtr<IStream> stream;
  const HRESULT result =
      storage->CreateStream(kStorageStreamName, STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0,
                            reinterpret_cast<IStream**>(stream.PutVoid()));
  if (FAILED(result)) return result;
  return Save(stream.Get(), TRUE);
}

HRESULT CKtQxInstaller3::SaveCompleted(IStorage*) { return S_OK; }
HRESULT CKtQxInstaller3::HandsOffStorage() { return S_OK; }

}  // namespace kt::control
