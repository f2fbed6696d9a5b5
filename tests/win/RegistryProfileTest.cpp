// Settings values that the registry holds malformed read back soundly (the
// wrong types are checked end to end).
#include <gtest/gtest.h>

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
    const BYTE shortDword[2] = {1, 2};
    ::RegSetValueExA(key.Get(), "Height", 0, REG_DWORD, shortDword, 2);
    ::RegSetValueExA(key.Get(), "Key", 0, REG_SZ, reinterpret_cast<const BYTE*>("xyz"), 3);
    ::RegSetValueExA(key.Get(), "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>("ab\0cd"), 6);
    EXPECT_EQ(700u, profile.GetProfileInt("Settings", "Height", 700)) << "two bytes are no number";
    EXPECT_EQ("xyz", profile.GetProfileString("Settings", "Key", "")) << "stored unterminated";
    EXPECT_EQ("ab", profile.GetProfileString("Settings", "Path", "")) << "an embedded terminator";
    key.Reset();
    for (std::string doomed = path; doomed != "Software"; doomed.resize(doomed.rfind('\\')))
        ::RegDeleteKeyA(HKEY_CURRENT_USER, doomed.c_str());
}
