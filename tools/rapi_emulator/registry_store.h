// The device's registry, kept in a text file of the emulator's root: one line per key
// ("K<TAB>path") and per value ("V<TAB>path<TAB>name<TAB>type<TAB>hex bytes"), in UTF-8. Key paths
// begin with the name of their root ("HKEY_LOCAL_MACHINE\Software\..."); names compare without
// regard to case.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace rapi_emulator {

struct RegistryValue {
    std::wstring name;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

struct RegistryKey {
    std::wstring path;
    std::map<std::wstring, RegistryValue> values;  // by lower-case name
};

class RegistryStore {
public:
    // Reads the file (an absent file is an empty registry).
    RegistryStore();
    bool Save() const;

    static std::wstring Lower(const std::wstring& text);

    RegistryKey* Find(const std::wstring& path);
    // Creates the key and its missing parents; `created` tells whether the key itself was new.
    RegistryKey& Create(const std::wstring& path, bool& created);
    // Removes a key without subkeys; false when it has some or does not exist.
    bool RemoveLeaf(const std::wstring& path, DWORD& error);
    // The names of the direct subkeys of `path`, in order.
    std::vector<std::wstring> SubKeys(const std::wstring& path) const;

private:
    std::map<std::wstring, RegistryKey> keys_;  // by lower-case path
};

}  // namespace rapi_emulator
