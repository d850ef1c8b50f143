// Registry access with one open key per object, the same for the PC (Kt_RegistryWin32) and for a
// connected CE device (Kt_RegistryCe).
//
// Results are 1 for success and 0 for failure; the error code of a failure is left to LastError.
// Strings are narrow (system ANSI code page). Only six value types are accepted: REG_SZ,
// REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_DWORD_BIG_ENDIAN and REG_MULTI_SZ.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class Kt_Registry {
public:
    Kt_Registry(const Kt_Registry&) = delete;
    Kt_Registry& operator=(const Kt_Registry&) = delete;

    // The virtual operations below are listed in their slot order, which is part of the interface.

    // Creates or opens `subKey` below `root` (a predefined root such as HKEY_CURRENT_USER, or an
    // open key) with the access mask. A key already held is closed first.
    virtual int Create(HKEY root, const std::string& subKey, REGSAM access) = 0;
    // Create below the key held by `parent`, with full access (0xF003F). The parent must be a
    // registry object of the same kind (PC or device); any other fails with ERROR_INVALID_HANDLE.
    virtual int CreateSub(const Kt_Registry* parent, const std::string& subKey) = 0;
    // Opens an existing key; a key already held is closed first.
    virtual int Open(HKEY root, const std::string& subKey, REGSAM access) = 0;
    // Open below the key held by `parent`, which must be of the same kind, as for CreateSub.
    virtual int OpenSub(const Kt_Registry* parent, const std::string& subKey, REGSAM access) = 0;
    // Flushes and closes the held key; 1 when no key was open.
    virtual int Close() = 0;
    // The error code of the last failure.
    virtual DWORD LastError() const = 0;
    // Writes a value of one of the six accepted types.
    virtual int SetValue(const std::string& name, DWORD type, const BYTE* data, DWORD size) = 0;
    // Reads a value. Stores its type in `type` (also when the type is not accepted, which fails)
    // and its size in bytes in `size`. When `data` is given it receives size + 1 bytes, the last
    // one zero, so that text is always terminated.
    virtual int QueryValue(const std::string& name, DWORD* type, std::vector<BYTE>* data, DWORD* size) = 0;
    virtual ~Kt_Registry() = default;

    HKEY Key() const { return key_; }
    bool IsOpen() const { return key_ != nullptr; }

    // Reads a value of type REG_SZ, REG_EXPAND_SZ or REG_MULTI_SZ: `data` receives the stored
    // bytes (embedded and trailing zeros included), `size` their number.
    int QueryString(const std::string& name, std::string& data, DWORD& size);
    // Fills the caller's buffer of `size` bytes with at most size - 1 bytes of the stored text and
    // a terminating zero, and sets `size` to the full stored length, so that a caller can tell
    // that the text did not fit. Returns 1 when the value was found.
    int ReadString(const std::string& name, char* buffer, DWORD& size);
    // Reads a REG_DWORD, or a REG_DWORD_BIG_ENDIAN converted to host order; both must hold exactly
    // four bytes.
    int QueryDword(const std::string& name, DWORD& value);
    // Writes `length` bytes of `text` (-1: all of it, without a terminating zero). An existing
    // string value keeps its type, a missing one is created as REG_SZ; a value of any other type
    // is left alone and the call fails.
    int SetString(const std::string& name, const std::string& text, long length = -1);
    // Writes four bytes. An existing REG_DWORD or REG_DWORD_BIG_ENDIAN keeps its type, a missing
    // value is created as REG_DWORD; a value of any other type is left alone and the call fails.
    int SetDword(const std::string& name, DWORD value);

    static bool IsAcceptedType(DWORD type);

protected:
    using ErrorSink = void (*)(DWORD error);
    explicit Kt_Registry(ErrorSink reportError) : reportError_(reportError) {}

    // Fails with `error`, so that LastError reports it.
    int Fail(DWORD error) const
    {
        reportError_(error);
        return 0;
    }

    // True when `parent` holds a key and is a registry object of the kind `Kind`. A key of the
    // device's registry means nothing to the PC's registry functions and the other way round, so
    // a parent of the other kind is refused before its key reaches them.
    template <class Kind>
    static bool HoldsKeyOf(const Kt_Registry* parent)
    {
        return parent && parent->Key() && dynamic_cast<const Kind*>(parent) != nullptr;
    }

    HKEY key_ = nullptr;

private:
    // Looks up the type of an existing value. Returns 1 with the type, 1 with `exists` false when
    // the value is missing, 0 when the key cannot be asked.
    int ExistingType(const std::string& name, bool& exists, DWORD& type);

    ErrorSink reportError_;
};
