// Registry access on the PC. Root values are the predefined handles (HKEY_CURRENT_USER ...);
// any other root is taken as an open key. LastError is the thread's GetLastError.
#pragma once

#include "config/registry.h"

class Kt_RegistryWin32 : public Kt_Registry {
public:
    Kt_RegistryWin32();
    Kt_RegistryWin32(Kt_RegistryWin32&& other) noexcept;
    Kt_RegistryWin32& operator=(Kt_RegistryWin32&& other) noexcept;

    int Create(HKEY root, const std::string& subKey, REGSAM access) override;
    int CreateSub(const Kt_Registry* parent, const std::string& subKey) override;
    int Open(HKEY root, const std::string& subKey, REGSAM access) override;
    int OpenSub(const Kt_Registry* parent, const std::string& subKey, REGSAM access) override;
    // Flushes before closing, so that each written key reaches the disk when it is closed.
    int Close() override;
    DWORD LastError() const override;
    int SetValue(const std::string& name, DWORD type, const BYTE* data, DWORD size) override;
    int QueryValue(const std::string& name, DWORD* type, std::vector<BYTE>* data, DWORD* size) override;
    ~Kt_RegistryWin32() override;
};
