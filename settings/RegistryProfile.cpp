#include "settings/RegistryProfile.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "framework/Handle.h"

namespace settings {

namespace {
// The keys are created when missing, on reading as on writing.
fw::UniqueRegKey OpenSection(const std::string& path) {
    fw::UniqueRegKey key;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_READ | KEY_WRITE, nullptr, key.Put(), nullptr) != ERROR_SUCCESS)
        key.Reset();
    return key;
}
} // namespace

std::string RegistryProfile::KeyPath(const std::string& section) const {
    return "Software\\" + company + "\\" + application + "\\" + section;
}

bool RegistryProfile::ReadRaw(const char* section, const char* entry, DWORD& type,
                              std::vector<char>& data) const {
    fw::UniqueRegKey key = OpenSection(KeyPath(section));
    if (!key)
        return false;
    // The value may change size between the two calls; retry a few times.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD size = 0;
        if (::RegQueryValueExA(key.Get(), entry, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return false;
        data.assign(size, '\0');
        DWORD got = size;
        LONG rc = ::RegQueryValueExA(key.Get(), entry, nullptr, &type,
                                     reinterpret_cast<BYTE*>(data.data()), &got);
        if (rc == ERROR_MORE_DATA)
            continue;
        if (rc != ERROR_SUCCESS)
            return false;
        data.resize(got);
        return true;
    }
    return false;
}

bool RegistryProfile::ReadDword(const char* section, const char* entry, uint32_t& value) const {
    DWORD type = 0;
    std::vector<char> data;
    if (!ReadRaw(section, entry, type, data) || type != REG_DWORD || data.size() != sizeof(DWORD))
        return false;
    DWORD dword = 0;
    std::memcpy(&dword, data.data(), sizeof(dword));
    value = dword;
    return true;
}

bool RegistryProfile::ReadString(const char* section, const char* entry, std::string& value) const {
    DWORD type = 0;
    std::vector<char> data;
    if (!ReadRaw(section, entry, type, data) || (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    // Stored strings need not end in a terminator; stop at the first one.
    value.assign(data.data(), std::find(data.begin(), data.end(), '\0') - data.begin());
    return true;
}

bool RegistryProfile::ReadStringList(const char* section, const char* entry,
                                     std::vector<std::string>& value) const {
    DWORD type = 0;
    std::vector<char> data;
    if (!ReadRaw(section, entry, type, data) || type != REG_MULTI_SZ)
        return false;
    value.clear();
    // Each string ends in a terminator, the last one perhaps not.
    for (auto start = data.begin(); start != data.end();) {
        auto end = std::find(start, data.end(), '\0');
        if (end != start)
            value.emplace_back(start, end);
        start = end == data.end() ? end : end + 1;
    }
    return true;
}

bool RegistryProfile::WriteProfileInt(const char* section, const char* entry,
                                      uint32_t value) const {
    fw::UniqueRegKey key = OpenSection(KeyPath(section));
    if (!key)
        return false;
    DWORD data = value;
    return ::RegSetValueExA(key.Get(), entry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                            sizeof(data)) == ERROR_SUCCESS;
}

bool RegistryProfile::WriteProfileString(const char* section, const char* entry,
                                         const std::string& value) const {
    fw::UniqueRegKey key = OpenSection(KeyPath(section));
    if (!key)
        return false;
    return ::RegSetValueExA(key.Get(), entry, 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

bool RegistryProfile::WriteProfileStringList(const char* section, const char* entry,
                                             const std::vector<std::string>& value) const {
    fw::UniqueRegKey key = OpenSection(KeyPath(section));
    if (!key)
        return false;
    std::string data;
    for (const std::string& item : value)
        data += item + '\0';
    data += '\0';
    return ::RegSetValueExA(key.Get(), entry, 0, REG_MULTI_SZ,
                            reinterpret_cast<const BYTE*>(data.data()),
                            static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

bool RegistryProfile::DeleteProfileValue(const char* section, const char* entry) const {
    fw::UniqueRegKey key = OpenSection(KeyPath(section));
    if (!key)
        return false;
    LONG rc = ::RegDeleteValueA(key.Get(), entry);
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

} // namespace settings
