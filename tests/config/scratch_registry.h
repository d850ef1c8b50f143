// Registry keys that belong to one test: created under a name of their own and removed afterwards,
// and a guard that sets a shared key aside for a test and puts it back afterwards.
#pragma once

#include <windows.h>

#include <string>

namespace kt_test {

// A key path under HKEY_CURRENT_USER unique to this process and the running test.
std::string ScratchKeyPath();

// Removes a key and everything below it under HKEY_CURRENT_USER; true when it is gone.
bool DeleteKeyTree(const std::string& path);

bool KeyExists(const std::string& path);

// Moves the key `path` (if present) aside on construction, so that the test starts without it,
// and restores it on destruction, after removing whatever the test left there.
class SetAsideKey {
public:
    explicit SetAsideKey(std::string path);
    ~SetAsideKey();
    SetAsideKey(const SetAsideKey&) = delete;
    SetAsideKey& operator=(const SetAsideKey&) = delete;

private:
    std::string path_;
    std::string backup_;
    std::string firstMissingParent_;  // removed again when the test leaves it empty
    bool saved_ = false;
};

// Writes a value of any type (also types the registry layer refuses) below HKEY_CURRENT_USER.
bool WriteRawValue(const std::string& keyPath, const std::string& name, DWORD type, const void* data, DWORD size);
bool WriteRawString(const std::string& keyPath, const std::string& name, const std::string& text);

// Reads a value as stored: type and bytes. False when it is missing.
bool ReadRawValue(const std::string& keyPath, const std::string& name, DWORD& type, std::string& data);

}  // namespace kt_test
