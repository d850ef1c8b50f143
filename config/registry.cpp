#include "config/registry.h"

#include <cstring>

bool Kt_Registry::IsAcceptedType(DWORD type)
{
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
    case REG_BINARY:
    case REG_DWORD:
    case REG_DWORD_BIG_ENDIAN:
    case REG_MULTI_SZ:
        return true;
    default:
        return false;
    }
}

int Kt_Registry::QueryString(const std::string& name, std::string& data, DWORD& size)
{
    DWORD type = REG_NONE;
    DWORD stored = 0;
    std::vector<BYTE> buffer;
    if (!QueryValue(name, &type, &buffer, &stored)) return 0;
    if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ) return Fail(ERROR_UNSUPPORTED_TYPE);
    data.assign(reinterpret_cast<const char*>(buffer.data()), stored);
    size = stored;
    return 1;
}

int Kt_Registry::ReadString(const std::string& name, char* buffer, DWORD& size)
{
    const DWORD capacity = buffer ? size : 0;
    if (capacity > 0) std::memset(buffer, 0, capacity);
    std::string data;
    DWORD stored = 0;
    if (!QueryString(name, data, stored)) return 0;
    if (capacity > 0) {
        const DWORD copied = stored < capacity - 1 ? stored : capacity - 1;
        std::memcpy(buffer, data.data(), copied);
        buffer[copied] = '\0';
    }
    size = stored;
    return 1;
}

int Kt_Registry::QueryDword(const std::string& name, DWORD& value)
{
    DWORD type = REG_NONE;
    DWORD size = 0;
    std::vector<BYTE> data;
    if (!QueryValue(name, &type, &data, &size)) return 0;
    if ((type != REG_DWORD && type != REG_DWORD_BIG_ENDIAN) || size != sizeof(DWORD))
        return Fail(ERROR_UNSUPPORTED_TYPE);
    if (type == REG_DWORD) {
        std::memcpy(&value, data.data(), sizeof(DWORD));
    } else {
        value = (DWORD{data[0]} << 24) | (DWORD{data[1]} << 16) | (DWORD{data[2]} << 8) | DWORD{data[3]};
    }
    return 1;
}

int Kt_Registry::ExistingType(const std::string& name, bool& exists, DWORD& type)
{
    constexpr DWORD kUnknown = 0xFFFFFFFF;
    type = kUnknown;
    exists = true;
    if (QueryValue(name, &type, nullptr, nullptr)) return 1;
    if (type != kUnknown) return 1;  // present, but of a type this layer does not accept
    if (LastError() != ERROR_FILE_NOT_FOUND) return 0;
    exists = false;
    return 1;
}

int Kt_Registry::SetString(const std::string& name, const std::string& text, long length)
{
    if (length < -1 || (length >= 0 && static_cast<size_t>(length) > text.size()) || text.size() > MAXDWORD)
        return Fail(ERROR_INVALID_PARAMETER);
    const DWORD size = length == -1 ? static_cast<DWORD>(text.size()) : static_cast<DWORD>(length);
    bool exists = false;
    DWORD type = REG_SZ;
    if (!ExistingType(name, exists, type)) return 0;
    if (!exists) type = REG_SZ;
    if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ) return Fail(ERROR_UNSUPPORTED_TYPE);
    return SetValue(name, type, reinterpret_cast<const BYTE*>(text.data()), size);
}

int Kt_Registry::SetDword(const std::string& name, DWORD value)
{
    bool exists = false;
    DWORD type = REG_DWORD;
    if (!ExistingType(name, exists, type)) return 0;
    if (!exists) type = REG_DWORD;
    BYTE data[sizeof(DWORD)];
    if (type == REG_DWORD) {
        std::memcpy(data, &value, sizeof(DWORD));
    } else if (type == REG_DWORD_BIG_ENDIAN) {
        data[0] = static_cast<BYTE>(value >> 24);
        data[1] = static_cast<BYTE>(value >> 16);
        data[2] = static_cast<BYTE>(value >> 8);
        data[3] = static_cast<BYTE>(value);
    } else {
        return Fail(ERROR_UNSUPPORTED_TYPE);
    }
    return SetValue(name, type, data, sizeof(DWORD));
}
