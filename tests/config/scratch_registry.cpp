#include "tests/config/scratch_registry.h"

#include <gtest/gtest.h>

namespace kt_test {

std::string ScratchKeyPath()
{
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "none";
    for (char& c : name)
        if (c == '/' || c == '\\') c = '_';
    return "Software\\KtConfigTests\\" + std::to_string(GetCurrentProcessId()) + "_" + name;
}

bool DeleteKeyTree(const std::string& path)
{
    const LONG rc = RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str());
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) return false;
    const LONG rc2 = RegDeleteKeyA(HKEY_CURRENT_USER, path.c_str());
    // The common parent of the scratch keys goes as soon as it is empty.
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\KtConfigTests");
    return rc2 == ERROR_SUCCESS || rc2 == ERROR_FILE_NOT_FOUND;
}

bool KeyExists(const std::string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

namespace {

bool CopyTree(const std::string& from, const std::string& to)
{
    HKEY source = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, from.c_str(), 0, KEY_READ, &source) != ERROR_SUCCESS) return false;
    HKEY target = nullptr;
    bool ok = RegCreateKeyExA(HKEY_CURRENT_USER, to.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &target,
                              nullptr) == ERROR_SUCCESS;
    if (ok) {
        ok = RegCopyTreeA(source, nullptr, target) == ERROR_SUCCESS;
        RegCloseKey(target);
    }
    RegCloseKey(source);
    return ok;
}

}  // namespace

SetAsideKey::SetAsideKey(std::string path) : path_(std::move(path))
{
    std::string flat = path_;
    for (char& c : flat)
        if (c == '\\') c = '_';
    backup_ = ScratchKeyPath() + "_aside\\" + flat;
    for (size_t end = path_.find('\\'); end != std::string::npos; end = path_.find('\\', end + 1)) {
        if (!KeyExists(path_.substr(0, end))) {
            firstMissingParent_ = path_.substr(0, end);
            break;
        }
    }
    if (KeyExists(path_)) {
        saved_ = CopyTree(path_, backup_);
        EXPECT_TRUE(saved_) << "cannot set aside " << path_;
        if (saved_) {
            EXPECT_TRUE(DeleteKeyTree(path_));
        }
    }
}

SetAsideKey::~SetAsideKey()
{
    EXPECT_TRUE(DeleteKeyTree(path_));
    for (std::string parent = path_.substr(0, path_.rfind('\\'));
         !firstMissingParent_.empty() && parent.size() >= firstMissingParent_.size();
         parent = parent.substr(0, parent.rfind('\\'))) {
        if (RegDeleteKeyA(HKEY_CURRENT_USER, parent.c_str()) != ERROR_SUCCESS) break;
    }
    if (saved_) {
        EXPECT_TRUE(CopyTree(backup_, path_)) << "cannot restore " << path_;
        // Only this key's own backup goes: another key set aside by the same test keeps its
        // backup beside it until that key is restored; the common parent goes once it is empty.
        DeleteKeyTree(backup_);
        RegDeleteKeyA(HKEY_CURRENT_USER, backup_.substr(0, backup_.rfind('\\')).c_str());
    }
}

bool WriteRawValue(const std::string& keyPath, const std::string& name, DWORD type, const void* data, DWORD size)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    const bool ok =
        RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

bool WriteRawString(const std::string& keyPath, const std::string& name, const std::string& text)
{
    return WriteRawValue(keyPath, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

bool ReadRawValue(const std::string& keyPath, const std::string& name, DWORD& type, std::string& data)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD size = 0;
    bool ok = RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS;
    if (ok) {
        data.assign(size, '\0');
        ok = RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size) ==
             ERROR_SUCCESS;
        data.resize(size);
    }
    RegCloseKey(key);
    return ok;
}

}  // namespace kt_test
