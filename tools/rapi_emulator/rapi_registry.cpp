// The device's registry through the remote API: keys are opened by path and kept by handle for the
// life of the process; every call reads the registry file and every change writes it back.
#include "emulator_state.h"
#include "rapi_types.h"
#include "registry_store.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <map>
#include <string>

using namespace rapi_emulator;

namespace {

std::map<HKEY, std::wstring> g_openKeys;

// The path of a root or an open key; false when the handle is neither.
bool KeyPath(HKEY key, std::wstring& path)
{
    static const std::pair<HKEY, const wchar_t*> roots[] = {
        {HKEY_CLASSES_ROOT, L"HKEY_CLASSES_ROOT"}, {HKEY_CURRENT_USER, L"HKEY_CURRENT_USER"},
        {HKEY_LOCAL_MACHINE, L"HKEY_LOCAL_MACHINE"}, {HKEY_USERS, L"HKEY_USERS"}};
    for (const auto& root : roots) {
        if (root.first == key) {
            path = root.second;
            return true;
        }
    }
    auto it = g_openKeys.find(key);
    if (it == g_openKeys.end()) return false;
    path = it->second;
    return true;
}

// The path of `subKey` below `key`; an error code when the handle or the name is unusable.
LONG Below(HKEY key, LPCWSTR subKey, std::wstring& path)
{
    if (!Reachable()) return ERROR_DEVICE_NOT_CONNECTED;
    if (!KeyPath(key, path)) return ERROR_INVALID_HANDLE;
    if (subKey && *subKey) {
        if (subKey[0] == L'\\' || wcschr(subKey, L'\t') || wcschr(subKey, L'\n')) return ERROR_INVALID_PARAMETER;
        path += L"\\";
        path += subKey;
        while (!path.empty() && path.back() == L'\\') path.pop_back();
    }
    return ERROR_SUCCESS;
}

HKEY NewHandle(const std::wstring& path)
{
    static ULONG_PTR next = 0x1000;
    HKEY handle = reinterpret_cast<HKEY>(next);
    next += 4;
    g_openKeys[handle] = path;
    return handle;
}

// Copies `data` into the caller's buffer, with the usual size protocol.
LONG CopyData(const std::vector<BYTE>& data, LPBYTE out, LPDWORD size)
{
    const DWORD needed = static_cast<DWORD>(data.size());
    if (out == nullptr) {
        if (size) *size = needed;
        return ERROR_SUCCESS;
    }
    if (size == nullptr) return ERROR_INVALID_PARAMETER;
    if (*size < needed) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    if (needed) std::memcpy(out, data.data(), needed);
    *size = needed;
    return ERROR_SUCCESS;
}

LONG CopyName(const std::wstring& name, LPWSTR out, LPDWORD length)
{
    if (out == nullptr || length == nullptr) return ERROR_INVALID_PARAMETER;
    if (*length < name.size() + 1) return ERROR_MORE_DATA;
    wmemcpy(out, name.c_str(), name.size() + 1);
    *length = static_cast<DWORD>(name.size());
    return ERROR_SUCCESS;
}

LONG Done(LONG rc)
{
    SetError(static_cast<DWORD>(rc));
    return rc;
}

}  // namespace

RAPI_EXPORT LONG WINAPI CeRegCreateKeyEx(HKEY root, LPCWSTR subKey, DWORD, LPWSTR, DWORD, REGSAM,
                                         LPSECURITY_ATTRIBUTES, PHKEY result, LPDWORD disposition)
{
    std::wstring path;
    LONG rc = Below(root, subKey, path);
    if (rc != ERROR_SUCCESS || result == nullptr) return Done(rc != ERROR_SUCCESS ? rc : ERROR_INVALID_PARAMETER);
    RegistryStore store;
    bool created = false;
    store.Create(path, created);
    if (!store.Save()) return Done(ERROR_WRITE_FAULT);
    *result = NewHandle(path);
    if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return Done(ERROR_SUCCESS);
}

RAPI_EXPORT LONG WINAPI CeRegOpenKeyEx(HKEY root, LPCWSTR subKey, DWORD, REGSAM, PHKEY result)
{
    std::wstring path;
    LONG rc = Below(root, subKey, path);
    if (rc != ERROR_SUCCESS || result == nullptr) return Done(rc != ERROR_SUCCESS ? rc : ERROR_INVALID_PARAMETER);
    RegistryStore store;
    const RegistryKey* key = store.Find(path);
    if (key == nullptr) return Done(ERROR_FILE_NOT_FOUND);
    *result = NewHandle(key->path);
    return Done(ERROR_SUCCESS);
}

RAPI_EXPORT LONG WINAPI CeRegCloseKey(HKEY key)
{
    return Done(g_openKeys.erase(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE);
}

RAPI_EXPORT LONG WINAPI CeRegQueryValueEx(HKEY key, LPCWSTR name, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD size)
{
    std::wstring path;
    LONG rc = Below(key, nullptr, path);
    if (rc != ERROR_SUCCESS) return Done(rc);
    RegistryStore store;
    RegistryKey* found = store.Find(path);
    if (found == nullptr) return Done(ERROR_FILE_NOT_FOUND);
    auto value = found->values.find(RegistryStore::Lower(name ? name : L""));
    if (value == found->values.end()) return Done(ERROR_FILE_NOT_FOUND);
    if (type) *type = value->second.type;
    return Done(CopyData(value->second.data, data, size));
}

RAPI_EXPORT LONG WINAPI CeRegSetValueEx(HKEY key, LPCWSTR name, DWORD, DWORD type, const BYTE* data, DWORD size)
{
    std::wstring path;
    LONG rc = Below(key, nullptr, path);
    if (rc != ERROR_SUCCESS) return Done(rc);
    if ((data == nullptr && size > 0) || (name && (wcschr(name, L'\t') || wcschr(name, L'\n'))))
        return Done(ERROR_INVALID_PARAMETER);
    RegistryStore store;
    RegistryKey* found = store.Find(path);
    if (found == nullptr) return Done(ERROR_KEY_DELETED);
    RegistryValue value;
    value.name = name ? name : L"";
    value.type = type;
    value.data.assign(data, data + size);
    found->values[RegistryStore::Lower(value.name)] = value;
    return Done(store.Save() ? ERROR_SUCCESS : ERROR_WRITE_FAULT);
}

RAPI_EXPORT LONG WINAPI CeRegDeleteValue(HKEY key, LPCWSTR name)
{
    std::wstring path;
    LONG rc = Below(key, nullptr, path);
    if (rc != ERROR_SUCCESS) return Done(rc);
    RegistryStore store;
    RegistryKey* found = store.Find(path);
    if (found == nullptr || found->values.erase(RegistryStore::Lower(name ? name : L"")) == 0)
        return Done(ERROR_FILE_NOT_FOUND);
    return Done(store.Save() ? ERROR_SUCCESS : ERROR_WRITE_FAULT);
}

RAPI_EXPORT LONG WINAPI CeRegDeleteKey(HKEY key, LPCWSTR subKey)
{
    std::wstring path;
    LONG rc = Below(key, subKey, path);
    if (rc != ERROR_SUCCESS) return Done(rc);
    RegistryStore store;
    DWORD error = 0;
    if (!store.RemoveLeaf(path, error)) return Done(static_cast<LONG>(error));
    return Done(store.Save() ? ERROR_SUCCESS : ERROR_WRITE_FAULT);
}

RAPI_EXPORT LONG WINAPI CeRegEnumValue(HKEY key, DWORD index, LPWSTR name, LPDWORD nameLength, LPDWORD,
                                       LPDWORD type, LPBYTE data, LPDWORD size)
{
    std::wstring path;
    LONG rc = Below(key, nullptr, path);
    if (rc != ERROR_SUCCESS) return Done(rc);
    RegistryStore store;
    RegistryKey* found = store.Find(path);
    if (found == nullptr) return Done(ERROR_KEY_DELETED);
    if (index >= found->values.size()) return Done(ERROR_NO_MORE_ITEMS);
    auto value = found->values.begin();
    std::advance(value, index);
    rc = CopyName(value->second.name, name, nameLength);
    if (rc != ERROR_SUCCESS) return Done(rc);
    if (type) *type = value->second.type;
    return Done(CopyData(value->second.data, data, size));
}

RAPI_EXPORT LONG WINAPI CeRegEnumKeyEx(HKEY key, DWORD index, LPWSTR name, LPDWORD nameLength, LPDWORD, LPWSTR,
                                       LPDWORD classLength, PFILETIME lastWrite)
{
    std::wstring path;
    LONG rc = Below(key, nullptr, path);
    if (rc != ERROR_SUCCESS) return Done(rc);
    RegistryStore store;
    const std::vector<std::wstring> names = store.SubKeys(path);
    if (index >= names.size()) return Done(ERROR_NO_MORE_ITEMS);
    if (classLength) *classLength = 0;
    if (lastWrite) ZeroMemory(lastWrite, sizeof(*lastWrite));
    return Done(CopyName(names[index], name, nameLength));
}

RAPI_EXPORT LONG WINAPI CeRegQueryInfoKey(HKEY key, LPWSTR, LPDWORD classLength, LPDWORD, LPDWORD subKeys,
                                          LPDWORD maxSubKeyLength, LPDWORD maxClassLength, LPDWORD values,
                                          LPDWORD maxValueNameLength, LPDWORD maxValueLength, LPDWORD,
                                          PFILETIME lastWrite)
{
    std::wstring path;
    LONG rc = Below(key, nullptr, path);
    if (rc != ERROR_SUCCESS) return Done(rc);
    RegistryStore store;
    RegistryKey* found = store.Find(path);
    if (found == nullptr) return Done(ERROR_KEY_DELETED);
    const std::vector<std::wstring> names = store.SubKeys(path);
    DWORD longestKey = 0, longestName = 0, longestValue = 0;
    for (const std::wstring& n : names) longestKey = std::max<DWORD>(longestKey, static_cast<DWORD>(n.size()));
    for (const auto& v : found->values) {
        longestName = std::max<DWORD>(longestName, static_cast<DWORD>(v.second.name.size()));
        longestValue = std::max<DWORD>(longestValue, static_cast<DWORD>(v.second.data.size()));
    }
    if (classLength) *classLength = 0;
    if (maxClassLength) *maxClassLength = 0;
    if (subKeys) *subKeys = static_cast<DWORD>(names.size());
    if (maxSubKeyLength) *maxSubKeyLength = longestKey;
    if (values) *values = static_cast<DWORD>(found->values.size());
    if (maxValueNameLength) *maxValueNameLength = longestName;
    if (maxValueLength) *maxValueLength = longestValue;
    if (lastWrite) ZeroMemory(lastWrite, sizeof(*lastWrite));
    return Done(ERROR_SUCCESS);
}
