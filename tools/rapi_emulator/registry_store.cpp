#include "registry_store.h"

#include "emulator_state.h"

#include <cwctype>
#include <fstream>
#include <sstream>

namespace rapi_emulator {
namespace {

std::wstring File()
{
    return Root() + L"registry.txt";
}

std::vector<std::string> SplitTabs(const std::string& line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) return fields;
        start = tab + 1;
    }
}

std::string Hex(const std::vector<BYTE>& data)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (BYTE b : data) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

std::vector<BYTE> Bytes(const std::string& hex)
{
    std::vector<BYTE> out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) out.push_back(static_cast<BYTE>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return out;
}

}  // namespace

RegistryStore::RegistryStore()
{
    std::ifstream in(File().c_str(), std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<std::string> fields = SplitTabs(line);
        bool created = false;
        if (fields.size() == 2 && fields[0] == "K") {
            Create(FromUtf8(fields[1]), created);
        } else if (fields.size() == 5 && fields[0] == "V") {
            RegistryValue value;
            value.name = FromUtf8(fields[2]);
            value.type = static_cast<DWORD>(std::stoul(fields[3]));
            value.data = Bytes(fields[4]);
            Create(FromUtf8(fields[1]), created).values[Lower(value.name)] = value;
        }
    }
}

bool RegistryStore::Save() const
{
    std::ostringstream out;
    for (const auto& entry : keys_) {
        const RegistryKey& key = entry.second;
        out << "K\t" << ToUtf8(key.path) << "\n";
        for (const auto& value : key.values)
            out << "V\t" << ToUtf8(key.path) << "\t" << ToUtf8(value.second.name) << "\t" << value.second.type << "\t"
                << Hex(value.second.data) << "\n";
    }
    std::ofstream file(File().c_str(), std::ios::binary | std::ios::trunc);
    file << out.str();
    return static_cast<bool>(file);
}

std::wstring RegistryStore::Lower(const std::wstring& text)
{
    std::wstring out(text);
    for (wchar_t& c : out) c = static_cast<wchar_t>(towlower(c));
    return out;
}

RegistryKey* RegistryStore::Find(const std::wstring& path)
{
    auto it = keys_.find(Lower(path));
    return it == keys_.end() ? nullptr : &it->second;
}

RegistryKey& RegistryStore::Create(const std::wstring& path, bool& created)
{
    size_t cut = path.rfind(L'\\');
    if (cut != std::wstring::npos) {
        bool parentCreated = false;
        Create(path.substr(0, cut), parentCreated);
    }
    auto inserted = keys_.emplace(Lower(path), RegistryKey{path, {}});
    created = inserted.second;
    return inserted.first->second;
}

bool RegistryStore::RemoveLeaf(const std::wstring& path, DWORD& error)
{
    if (!Find(path)) {
        error = ERROR_FILE_NOT_FOUND;
        return false;
    }
    if (!SubKeys(path).empty()) {
        error = ERROR_ACCESS_DENIED;
        return false;
    }
    keys_.erase(Lower(path));
    return true;
}

std::vector<std::wstring> RegistryStore::SubKeys(const std::wstring& path) const
{
    const std::wstring prefix = Lower(path) + L"\\";
    std::vector<std::wstring> names;
    for (const auto& entry : keys_) {
        if (entry.first.compare(0, prefix.size(), prefix) != 0) continue;
        const std::wstring rest = entry.second.path.substr(prefix.size());
        if (rest.find(L'\\') == std::wstring::npos) names.push_back(rest);
    }
    return names;
}

}  // namespace rapi_emulator
