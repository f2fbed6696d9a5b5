// Settings values that the registry holds malformed read back soundly.
#include <gtest/gtest.h>

#include <string>

#include "framework/Handle.h"
#include "settings/RegistryProfile.h"

TEST(RegistryProfile, MalformedValuesReadAsTheirDefaultsOrAsFarAsTheyGo) {
    RegistryProfile profile;
    profile.SetCompany("VelmoraTestCompany");
    profile.SetApplication("ProfileTest");
    const std::string path = profile.KeyPath("Settings");
    fw::UniqueRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0,
                                               KEY_WRITE, nullptr, key.Put(), nullptr));
    auto put = [&](const char* name, DWORD type, const void* data, DWORD size) {
        ::RegSetValueExA(key.Get(), name, 0, type, static_cast<const BYTE*>(data), size);
    };
    const BYTE shortDword[2] = {1, 2};
    put("Height", REG_DWORD, shortDword, 2);
    put("Width", REG_SZ, "640", 4);
    std::string huge(300000, 'a');
    huge[150000] = 'b';
    put("Path", REG_SZ, huge.c_str(), static_cast<DWORD>(huge.size() + 1));
    put("Key", REG_SZ, "xyz", 3); // stored without its terminator
    put("Text", REG_SZ, "ab\0cd", 6); // an embedded terminator ends the string
    EXPECT_EQ(700u, profile.GetProfileInt("Settings", "Height", 700));
    EXPECT_EQ(1000u, profile.GetProfileInt("Settings", "Width", 1000));
    EXPECT_EQ(huge, profile.GetProfileString("Settings", "Path", ""));
    EXPECT_EQ("xyz", profile.GetProfileString("Settings", "Key", ""));
    EXPECT_EQ("ab", profile.GetProfileString("Settings", "Text", ""));
    key.Reset();
    ::RegDeleteKeyA(HKEY_CURRENT_USER, path.c_str());
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\VelmoraTestCompany\\ProfileTest");
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\VelmoraTestCompany");
}
