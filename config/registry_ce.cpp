#include "config/registry_ce.h"

#include "config/wide_text.h"

#include <cstring>

namespace {

void ReportDeviceError(DWORD error)
{
    kt::rapi::SetLastError(error);
}

// A device value may grow between the size query and the read.
constexpr int kReadAttempts = 4;

// Converts a key path or value name for the device; `buffer` is the device-side buffer size in
// characters, terminating zero included. Over-long names are refused rather than cut.
bool ToDeviceName(const std::string& name, size_t buffer, std::wstring& out)
{
    return kt::AnsiToWide(name, out) && out.size() < buffer;
}

// Splits a zero-separated list (ending at an empty string or at the end of the data).
template <typename Char>
std::vector<std::basic_string<Char>> SplitList(const Char* data, size_t count)
{
    std::vector<std::basic_string<Char>> items;
    size_t start = 0;
    while (start < count) {
        size_t end = start;
        while (end < count && data[end] != Char{}) ++end;
        if (end == start) break;
        items.emplace_back(data + start, end - start);
        start = end + 1;
    }
    return items;
}

bool ToDeviceValue(DWORD type, const BYTE* data, DWORD size, std::vector<BYTE>& out)
{
    if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ) {
        out.assign(data, data + size);
        return true;
    }
    std::wstring wide;
    const char* text = reinterpret_cast<const char*>(data);
    if (type == REG_MULTI_SZ) {
        for (const std::string& item : SplitList(text, size)) {
            std::wstring converted;
            if (!kt::AnsiToWide(item, converted)) return false;
            wide += converted;
            wide += L'\0';
        }
        wide += L'\0';
    } else if (!kt::AnsiToWide(std::string(text, size), wide)) {
        return false;
    }
    out.resize(wide.size() * sizeof(wchar_t));
    if (!wide.empty()) std::memcpy(out.data(), wide.data(), out.size());
    return true;
}

bool FromDeviceValue(DWORD type, const std::vector<BYTE>& raw, DWORD size, std::string& out)
{
    if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ) {
        out.assign(reinterpret_cast<const char*>(raw.data()), size);
        return true;
    }
    std::wstring wide(size / sizeof(wchar_t), L'\0');
    if (!wide.empty()) std::memcpy(&wide[0], raw.data(), wide.size() * sizeof(wchar_t));
    if (type != REG_MULTI_SZ) return kt::WideToAnsi(wide, out);
    out.clear();
    for (const std::wstring& item : SplitList(wide.data(), wide.size())) {
        std::string converted;
        if (!kt::WideToAnsi(item, converted)) return false;
        out += converted;
        out += '\0';
    }
    out += '\0';
    return true;
}

}  // namespace

Kt_RegistryCe::Kt_RegistryCe() : Kt_Registry(ReportDeviceError)
{
    kt::rapi::Load();
}

Kt_RegistryCe::Kt_RegistryCe(Kt_RegistryCe&& other) noexcept
    : Kt_Registry(ReportDeviceError), connection_(std::move(other.connection_))
{
    key_ = other.key_;
    other.key_ = nullptr;
}

Kt_RegistryCe& Kt_RegistryCe::operator=(Kt_RegistryCe&& other) noexcept
{
    if (this != &other) {
        Close();
        key_ = other.key_;
        other.key_ = nullptr;
        connection_ = std::move(other.connection_);
    }
    return *this;
}

Kt_RegistryCe::~Kt_RegistryCe()
{
    Close();
}

int Kt_RegistryCe::Attach()
{
    if (!connection_.Acquire()) return Fail(ERROR_DEVICE_NOT_CONNECTED);
    return 1;
}

// The predefined roots (HKEY_CLASSES_ROOT to HKEY_USERS) name the device's own predefined keys in
// the remote API, so they are passed on unchanged, as is an open device key.
int Kt_RegistryCe::Create(HKEY root, const std::string& subKey, REGSAM access)
{
    if (!Close()) return 0;
    std::wstring path;
    if (!ToDeviceName(subKey, kMaxKeyPath, path)) return Fail(ERROR_INVALID_PARAMETER);
    if (!Attach()) return 0;
    HKEY key = nullptr;
    DWORD disposition = 0;
    const LONG rc = kt::rapi::CeRegCreateKeyEx(root, path.c_str(), 0, nullptr, 0, access, nullptr, &key,
                                               &disposition);
    if (rc != ERROR_SUCCESS) {
        connection_.Reset();
        return Fail(static_cast<DWORD>(rc));
    }
    key_ = key;
    return 1;
}

int Kt_RegistryCe::CreateSub(const Kt_Registry* parent, const std::string& subKey)
{
    if (!HoldsKeyOf<Kt_RegistryCe>(parent)) return Fail(ERROR_INVALID_HANDLE);
    return Create(parent->Key(), subKey, KEY_ALL_ACCESS);
}

int Kt_RegistryCe::Open(HKEY root, const std::string& subKey, REGSAM access)
{
    if (!Close()) return 0;
    std::wstring path;
    if (!ToDeviceName(subKey, kMaxKeyPath, path)) return Fail(ERROR_INVALID_PARAMETER);
    if (!Attach()) return 0;
    HKEY key = nullptr;
    const LONG rc = kt::rapi::CeRegOpenKeyEx(root, path.c_str(), 0, access, &key);
    if (rc != ERROR_SUCCESS) {
        connection_.Reset();
        return Fail(static_cast<DWORD>(rc));
    }
    key_ = key;
    return 1;
}

int Kt_RegistryCe::OpenSub(const Kt_Registry* parent, const std::string& subKey, REGSAM access)
{
    if (!HoldsKeyOf<Kt_RegistryCe>(parent)) return Fail(ERROR_INVALID_HANDLE);
    return Open(parent->Key(), subKey, access);
}

int Kt_RegistryCe::Close()
{
    if (!key_) return 1;
    HKEY key = key_;
    key_ = nullptr;
    const LONG rc = kt::rapi::CeRegCloseKey(key);
    connection_.Reset();
    if (rc != ERROR_SUCCESS) return Fail(static_cast<DWORD>(rc));
    return 1;
}

DWORD Kt_RegistryCe::LastError() const
{
    return kt::rapi::LastError();
}

int Kt_RegistryCe::SetValue(const std::string& name, DWORD type, const BYTE* data, DWORD size)
{
    if (!key_) return Fail(ERROR_INVALID_HANDLE);
    if (!IsAcceptedType(type)) return Fail(ERROR_UNSUPPORTED_TYPE);
    if (!data && size > 0) return Fail(ERROR_INVALID_PARAMETER);
    std::wstring deviceName;
    if (!ToDeviceName(name, kMaxWriteName, deviceName)) return Fail(ERROR_INVALID_PARAMETER);
    std::vector<BYTE> payload;
    if (!ToDeviceValue(type, data, size, payload)) return Fail(ERROR_NO_UNICODE_TRANSLATION);
    const LONG rc = kt::rapi::CeRegSetValueEx(key_, deviceName.c_str(), 0, type, payload.data(),
                                              static_cast<DWORD>(payload.size()));
    if (rc != ERROR_SUCCESS) return Fail(static_cast<DWORD>(rc));
    return 1;
}

int Kt_RegistryCe::QueryValue(const std::string& name, DWORD* type, std::vector<BYTE>* data, DWORD* size)
{
    if (!key_) return Fail(ERROR_INVALID_HANDLE);
    std::wstring deviceName;
    if (!ToDeviceName(name, kMaxReadName, deviceName)) return Fail(ERROR_INVALID_PARAMETER);
    DWORD storedType = REG_NONE;
    DWORD storedSize = 0;
    LONG rc = kt::rapi::CeRegQueryValueEx(key_, deviceName.c_str(), nullptr, &storedType, nullptr, &storedSize);
    if (rc != ERROR_SUCCESS && rc != ERROR_MORE_DATA) return Fail(static_cast<DWORD>(rc));
    if (type) *type = storedType;
    if (!IsAcceptedType(storedType)) return Fail(ERROR_UNSUPPORTED_TYPE);
    if (!data) {
        if (size) *size = storedSize;
        return 1;
    }
    std::vector<BYTE> raw;
    rc = ERROR_MORE_DATA;
    for (int attempt = 0; attempt < kReadAttempts && rc == ERROR_MORE_DATA; ++attempt) {
        raw.assign(static_cast<size_t>(storedSize) + sizeof(wchar_t), 0);
        DWORD got = storedSize;
        rc = kt::rapi::CeRegQueryValueEx(key_, deviceName.c_str(), nullptr, &storedType, raw.data(), &got);
        storedSize = got;
    }
    if (rc != ERROR_SUCCESS) return Fail(static_cast<DWORD>(rc));
    if (type) *type = storedType;
    if (!IsAcceptedType(storedType) || storedSize > raw.size()) return Fail(ERROR_UNSUPPORTED_TYPE);
    std::string value;
    if (!FromDeviceValue(storedType, raw, storedSize, value)) return Fail(ERROR_NO_UNICODE_TRANSLATION);
    data->assign(value.begin(), value.end());
    data->push_back(0);
    if (size) *size = static_cast<DWORD>(value.size());
    return 1;
}
