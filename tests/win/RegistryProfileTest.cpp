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
    // The last string unterminated, an empty one in the middle.
    ::RegSetValueExA(key.Get(), "BrowserNames", 0, REG_MULTI_SZ,
                     reinterpret_cast<const BYTE*>("Brave\0\0Google Chrome"), 20);
    uint32_t number = 0;
    EXPECT_FALSE(profile.ReadDword("Settings", "Height", number)) << "two bytes are no number";
    std::string text;
    EXPECT_TRUE(profile.ReadString("Settings", "Key", text));
    EXPECT_EQ("xyz", text) << "stored unterminated";
    EXPECT_TRUE(profile.ReadString("Settings", "Path", text));
    EXPECT_EQ("ab", text) << "an embedded terminator";
    std::vector<std::string> list;
    EXPECT_TRUE(profile.ReadStringList("Settings", "BrowserNames", list));
    EXPECT_EQ((std::vector<std::string>{"Brave", "Google Chrome"}), list);
    EXPECT_FALSE(profile.ReadStringList("Settings", "Key", list)) << "a single string is no list";
    key.Reset();
    for (std::string doomed = path; doomed != "Software"; doomed.resize(doomed.rfind('\\')))
        ::RegDeleteKeyA(HKEY_CURRENT_USER, doomed.c_str());
}
