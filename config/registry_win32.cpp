#include "config/registry_win32.h"

namespace {

void ReportWin32Error(DWORD error)
{
    SetLastError(error);
}

// A value may grow between the size query and the read; a few retries cover that race.
constexpr int kReadAttempts = 4;

}  // namespace

Kt_RegistryWin32::Kt_RegistryWin32() : Kt_Registry(ReportWin32Error) {}

Kt_RegistryWin32::Kt_RegistryWin32(Kt_RegistryWin32&& other) noexcept : Kt_Registry(ReportWin32Error)
{
    key_ = other.key_;
    other.key_ = nullptr;
}

Kt_RegistryWin32& Kt_RegistryWin32::operator=(Kt_RegistryWin32&& other) noexcept
{
    if (this != &other) {
        Close();
        key_ = other.key_;
        other.key_ = nullptr;
    }
    return *this;
}

Kt_RegistryWin32::~Kt_RegistryWin32()
{
    Close();
}

int Kt_RegistryWin32::Create(HKEY root, const std::string& subKey, REGSAM access)
{
    if (!Close()) return 0;
    HKEY key = nullptr;
    const LONG rc = RegCreateKeyExA(root, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                                    nullptr, &key, nullptr);
    if (rc != ERROR_SUCCESS) return Fail(static_cast<DWORD>(rc));
    key_ = key;
    return 1;
}

int Kt_RegistryWin32::CreateSub(const Kt_Registry* parent, const std::string& subKey)
{
    if (!HoldsKeyOf<Kt_RegistryWin32>(parent)) return Fail(ERROR_INVALID_HANDLE);
    return Create(parent->Key(), subKey, KEY_ALL_ACCESS);
}

int Kt_RegistryWin32::Open(HKEY root, const std::string& subKey, REGSAM access)
{
    if (!Close()) return 0;
    HKEY key = nullptr;
    const LONG rc = RegOpenKeyExA(root, subKey.c_str(), 0, access, &key);
    if (rc != ERROR_SUCCESS) return Fail(static_cast<DWORD>(rc));
    key_ = key;
    return 1;
}

int Kt_RegistryWin32::OpenSub(const Kt_Registry* parent, const std::string& subKey, REGSAM access)
{
    if (!HoldsKeyOf<Kt_RegistryWin32>(parent)) return Fail(ERROR_INVALID_HANDLE);
    return Open(parent->Key(), subKey, access);
}

int Kt_RegistryWin32::Close()
{
    if (!key_) return 1;
    HKEY key = key_;
    key_ = nullptr;
    RegFlushKey(key);
    const LONG rc = RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return Fail(static_cast<DWORD>(rc));
    return 1;
}

DWORD Kt_RegistryWin32::LastError() const
{
    return GetLastError();
}

int Kt_RegistryWin32::SetValue(const std::string& name, DWORD type, const BYTE* data, DWORD size)
{
    if (!key_) return Fail(ERROR_INVALID_HANDLE);
    if (!IsAcceptedType(type)) return Fail(ERROR_UNSUPPORTED_TYPE);
    if (!data && size > 0) return Fail(ERROR_INVALID_PARAMETER);
    const LONG rc = RegSetValueExA(key_, name.c_str(), 0, type, data, size);
    if (rc != ERROR_SUCCESS) return Fail(static_cast<DWORD>(rc));
    return 1;
}

int Kt_RegistryWin32::QueryValue(const std::string& name, DWORD* type, std::vector<BYTE>* data, DWORD* size)
{
    if (!key_) return Fail(ERROR_INVALID_HANDLE);
    DWORD storedType = REG_NONE;
    DWORD storedSize = 0;
    LONG rc = RegQueryValueExA(key_, name.c_str(), nullptr, &storedType, nullptr, &storedSize);
    if (rc != ERROR_SUCCESS) return Fail(static_cast<DWORD>(rc));
    if (type) *type = storedType;
    if (!IsAcceptedType(storedType)) return Fail(ERROR_UNSUPPORTED_TYPE);
    if (data) {
        rc = ERROR_MORE_DATA;
        for (int attempt = 0; attempt < kReadAttempts && rc == ERROR_MORE_DATA; ++attempt) {
            data->assign(static_cast<size_t>(storedSize) + 1, 0);
            DWORD got = storedSize;
            rc = RegQueryValueExA(key_, name.c_str(), nullptr, &storedType, data->data(), &got);
            if (rc == ERROR_MORE_DATA) storedSize = got;
            else if (rc == ERROR_SUCCESS) storedSize = got;
        }
        if (rc != ERROR_SUCCESS) {
            data->clear();
            return Fail(static_cast<DWORD>(rc));
        }
        data->resize(static_cast<size_t>(storedSize) + 1);
        if (type) *type = storedType;
        if (!IsAcceptedType(storedType)) {
            data->clear();
            return Fail(ERROR_UNSUPPORTED_TYPE);
        }
    }
    if (size) *size = storedSize;
    return 1;
}
