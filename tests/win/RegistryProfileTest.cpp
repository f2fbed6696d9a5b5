// Settings values read back whatever state the registry is in.
#include <gtest/gtest.h>

#include <string>

#include "settings/RegistryProfile.h"

namespace {

void DeleteTree(HKEY parent, const char* name) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(parent, name, 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS)
        return;
    char child[256];
    DWORD size = sizeof(child);
    while (::RegEnumKeyExA(key, 0, child, &size, nullptr, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS) {
        DeleteTree(key, child);
        size = sizeof(child);
    }
    ::RegCloseKey(key);
    ::RegDeleteKeyA(parent, name);
}

class RegistryProfileTest : public testing::Test {
protected:
    void SetUp() override {
        profile.SetCompany("VelmoraTestCompany");
        profile.SetApplication("ProfileTest");
        DeleteTree(HKEY_CURRENT_USER, "Software\\VelmoraTestCompany");
    }
    void TearDown() override { DeleteTree(HKEY_CURRENT_USER, "Software\\VelmoraTestCompany"); }

    void Put(const char* name, DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS,
                  ::RegCreateKeyExA(HKEY_CURRENT_USER, profile.KeyPath("Settings").c_str(), 0,
                                    nullptr, 0, KEY_WRITE, nullptr, &key, nullptr));
        ::RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
        ::RegCloseKey(key);
    }

    RegistryProfile profile;
};

} // namespace

TEST_F(RegistryProfileTest, MissingValuesGiveDefaultsAndWrittenValuesComeBack) {
    EXPECT_EQ(700u, profile.GetProfileInt("Settings", "Height", 700));
    EXPECT_EQ("x", profile.GetProfileString("Settings", "Key", "x"));
    EXPECT_TRUE(profile.WriteProfileInt("Settings", "Height", 0xFFFFFFFFu));
    EXPECT_TRUE(profile.WriteProfileString("Settings", "Key", "Q"));
    EXPECT_EQ(0xFFFFFFFFu, profile.GetProfileInt("Settings", "Height", 700));
    EXPECT_EQ("Q", profile.GetProfileString("Settings", "Key", "x"));
    EXPECT_TRUE(profile.WriteProfileString("Settings", "Key", ""));
    EXPECT_EQ("", profile.GetProfileString("Settings", "Key", "x")) << "empty is not missing";
}

TEST_F(RegistryProfileTest, ValuesOfAnotherTypeGiveTheirDefaults) {
    Put("Width", REG_SZ, "640", 4);
    const BYTE shortDword[2] = {1, 2};
    Put("Height", REG_DWORD, shortDword, 2);
    DWORD number = 5;
    Put("Key", REG_DWORD, &number, sizeof(number));
    Put("Path", REG_BINARY, "abc", 3);
    EXPECT_EQ(1000u, profile.GetProfileInt("Settings", "Width", 1000));
    EXPECT_EQ(700u, profile.GetProfileInt("Settings", "Height", 700));
    EXPECT_EQ("x", profile.GetProfileString("Settings", "Key", "x"));
    EXPECT_EQ("default.lst", profile.GetProfileString("Settings", "Path", "default.lst"));
}

TEST_F(RegistryProfileTest, StringsOfAnyLengthAndWithoutTerminatorAreReadSafely) {
    std::string huge(300000, 'a');
    huge[150000] = 'b';
    Put("Path", REG_SZ, huge.c_str(), static_cast<DWORD>(huge.size() + 1));
    EXPECT_EQ(huge, profile.GetProfileString("Settings", "Path", ""));
    Put("Key", REG_SZ, "xyz", 3); // stored without its terminator
    EXPECT_EQ("xyz", profile.GetProfileString("Settings", "Key", ""));
    Put("Key", REG_SZ, "ab\0cd", 6); // an embedded terminator ends the string
    EXPECT_EQ("ab", profile.GetProfileString("Settings", "Key", ""));
}
