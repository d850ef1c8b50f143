// Registry access on the connected CE device through the remote API. Names and string values are
// converted between the system code page and the device's UTF-16; an open key holds a connection
// reference until it is closed. Without the remote API every call fails with error 1167.
#pragma once

#include "config/registry.h"
#include "config/remote_api.h"

class Kt_RegistryCe : public Kt_Registry {
public:
    // Longest key path, value name when reading, and value name when writing, in UTF-16 characters.
    static constexpr size_t kMaxKeyPath = 255;
    static constexpr size_t kMaxReadName = 256;
    static constexpr size_t kMaxWriteName = 1024;

    Kt_RegistryCe();
    Kt_RegistryCe(Kt_RegistryCe&& other) noexcept;
    Kt_RegistryCe& operator=(Kt_RegistryCe&& other) noexcept;

    int Create(HKEY root, const std::string& subKey, REGSAM access) override;
    int CreateSub(const Kt_Registry* parent, const std::string& subKey) override;
    int Open(HKEY root, const std::string& subKey, REGSAM access) override;
    int OpenSub(const Kt_Registry* parent, const std::string& subKey, REGSAM access) override;
    int Close() override;
    // The remote-API layer's last error.
    DWORD LastError() const override;
    int SetValue(const std::string& name, DWORD type, const BYTE* data, DWORD size) override;
    // With `data`, strings come back converted and `size` counts the converted bytes; without
    // it, `size` is the device's own size in bytes (UTF-16 for strings), an upper bound.
    int QueryValue(const std::string& name, DWORD* type, std::vector<BYTE>* data, DWORD* size) override;
    ~Kt_RegistryCe() override;

private:
    // Takes the connection for a key about to be opened; fails with the layer's error.
    int Attach();

    kt::rapi::RapiConnection connection_;
};
