// Settings under HKEY_CURRENT_USER\Software\<company>\<application>\<section>,
// read and written value by value, in the manner of an application's
// profile functions.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

class RegistryProfile {
public:
    void SetCompany(const std::string& company) { company_ = company; }
    void SetApplication(const std::string& application) { application_ = application; }
    // Software\<company>\<application>\<section>
    std::string KeyPath(const std::string& section) const;

    // A missing value, or one of another type, gives the default.
    uint32_t GetProfileInt(const char* section, const char* entry, uint32_t defaultValue) const;
    std::string GetProfileString(const char* section, const char* entry,
                                 const std::string& defaultValue) const;
    bool WriteProfileInt(const char* section, const char* entry, uint32_t value) const;
    bool WriteProfileString(const char* section, const char* entry, const std::string& value) const;

private:
    std::string company_;
    std::string application_;
};
