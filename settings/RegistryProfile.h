// Settings under HKEY_CURRENT_USER\Software\<company>\<application>\<section>,
// read and written value by value, in the manner of an application's
// profile functions.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace settings {

class RegistryProfile {
public:
    void SetCompany(const std::string& name) { company = name; }
    void SetApplication(const std::string& name) { application = name; }
    // Software\<company>\<application>\<section>
    std::string KeyPath(const std::string& section) const;

    // Each read fails for a missing value and for one of another type
    // (a REG_DWORD must hold four bytes).
    bool ReadDword(const char* section, const char* entry, uint32_t& value) const;
    // REG_SZ or REG_EXPAND_SZ, up to its first terminator.
    bool ReadString(const char* section, const char* entry, std::string& value) const;
    // REG_MULTI_SZ: its strings in order, empty ones left out.
    bool ReadStringList(const char* section, const char* entry,
                        std::vector<std::string>& value) const;
    bool WriteProfileInt(const char* section, const char* entry, uint32_t value) const;
    bool WriteProfileString(const char* section, const char* entry, const std::string& value) const;
    // REG_MULTI_SZ, every string with its terminator and one more at the end.
    bool WriteProfileStringList(const char* section, const char* entry,
                                const std::vector<std::string>& value) const;
    // True when the value is gone, or was never there.
    bool DeleteProfileValue(const char* section, const char* entry) const;

private:
    // The value's bytes and type; false when it cannot be read.
    bool ReadRaw(const char* section, const char* entry, DWORD& type,
                 std::vector<char>& data) const;

    std::string company;
    std::string application;
};

} // namespace settings
