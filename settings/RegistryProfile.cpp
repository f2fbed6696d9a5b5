#include "settings/RegistryProfile.h"

#include <vector>

#include "framework/Handle.h"

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
    return "Software\\" + company_ + "\\" + application_ + "\\" + section;
}

uint32_t RegistryProfile::GetProfileInt(const char* section, const char* entry,
                                        uint32_t defaultValue) const {
    fw::UniqueRegKey key = OpenSection(KeyPath(section));
    if (!key)
        return defaultValue;
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (::RegQueryValueExA(key.Get(), entry, nullptr, &type, reinterpret_cast<BYTE*>(&value),
                           &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value))
        return defaultValue;
    return value;
}

std::string RegistryProfile::GetProfileString(const char* section, const char* entry,
                                              const std::string& defaultValue) const {
    fw::UniqueRegKey key = OpenSection(KeyPath(section));
    if (!key)
        return defaultValue;
    // The value may change size between the two calls; retry a few times.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD type = 0;
        DWORD size = 0;
        if (::RegQueryValueExA(key.Get(), entry, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
            (type != REG_SZ && type != REG_EXPAND_SZ))
            return defaultValue;
        std::vector<char> buffer(size + 1, '\0');
        DWORD got = size;
        LONG rc = ::RegQueryValueExA(key.Get(), entry, nullptr, &type,
                                     reinterpret_cast<BYTE*>(buffer.data()), &got);
        if (rc == ERROR_MORE_DATA)
            continue;
        if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
            return defaultValue;
        // Stored strings need not end in a terminator; stop at the first one.
        size_t length = 0;
        while (length < got && buffer[length] != '\0')
            ++length;
        return std::string(buffer.data(), length);
    }
    return defaultValue;
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
