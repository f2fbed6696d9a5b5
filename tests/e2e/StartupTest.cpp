// Start-up, the single instance, and the settings kept in the registry.
#include <gtest/gtest.h>

#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

struct Expected {
    const char* name;
    DWORD value;
};
const Expected kDefaults[] = {
    {"LoadStart", 1}, {"LoadMinimized", 1}, {"SaveOnExit", 1}, {"LoadOnStartup", 1},
    {"AddAlt", 0},    {"AddShift", 0},      {"AddCtrl", 1},    {"ByName", 1},
    {"BySize", 1},    {"BySess", 0},        {"Height", 700},   {"Width", 1000},
    {"AutoStart", 1}, {"Delay", 0},         {"Sessions", 1},   {"nKills", 0},
};

struct WindowSearch {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindowsOfProcess(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    if (owner == search->pid)
        search->found.push_back(hwnd);
    return TRUE;
}

std::vector<HWND> TopLevelWindowsOf(DWORD pid) {
    WindowSearch search{pid, {}};
    ::EnumWindows(CollectWindowsOfProcess, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace

TEST(Startup, SecondInstanceEndsSilentlyAndLeavesTheFirstAlone) {
    UseQuietSettings();
    std::string dir = MakeWorkDir("second");
    VelmoraProcess first;
    ASSERT_TRUE(first.Start(dir));
    HWND main = first.WaitForMainWindow();
    ASSERT_TRUE(main);

    VelmoraProcess second;
    ASSERT_TRUE(second.Start(dir));
    EXPECT_TRUE(second.WaitForExit(10000)) << "the second instance kept running";
    EXPECT_EQ(0u, second.ExitCode());
    EXPECT_TRUE(TopLevelWindowsOf(second.Pid()).empty());

    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(first.Settle());
    EXPECT_EQ(main, first.WaitForMainWindow(2000));
    EXPECT_TRUE(first.Close());
}

TEST(Startup, FirstRunStartsHiddenAndStartedAndWritesEveryDefault) {
    DeleteProgramKey();
    std::string dir = MakeWorkDir("first-run");
    VelmoraProcess app;
    ASSERT_TRUE(app.Start(dir));
    HWND main = app.WaitForMainWindow();
    ASSERT_TRUE(main);
    EXPECT_TRUE(app.Settle());
    EXPECT_FALSE(::IsWindowVisible(main)) << "LoadMinimized is on by default";
    EXPECT_EQ("Stop", TextOf(app.Control(1015))) << "LoadStart is on by default";
    ASSERT_TRUE(app.Close());

    for (const Expected& expected : kDefaults) {
        DWORD value = 0xDEADBEEF;
        EXPECT_TRUE(GetSettingDword(expected.name, value)) << expected.name;
        EXPECT_EQ(expected.value, value) << expected.name;
    }
    std::string key, path;
    EXPECT_TRUE(GetSettingString("Key", key));
    EXPECT_EQ("x", key);
    EXPECT_TRUE(GetSettingString("Path", path));
    EXPECT_EQ("default.lst", path);
}

TEST(Startup, StoredValuesAreUsedAndWrittenBackUnchanged) {
    DeleteProgramKey();
    SetSettingDword("LoadMinimized", 0);
    SetSettingDword("nKills", 41);
    SetSettingDword("Width", 640);
    SetSettingDword("Sessions", static_cast<DWORD>(-3));
    SetSettingString("Key", "q");
    std::string dir = MakeWorkDir("stored");
    VelmoraProcess app;
    ASSERT_TRUE(app.Start(dir));
    HWND main = app.WaitForMainWindow();
    ASSERT_TRUE(main);
    ASSERT_TRUE(app.Settle());
    EXPECT_TRUE(::IsWindowVisible(main));
    std::vector<std::string> lines = app.StatisticsLines();
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ("Killed 41 popups in total, 0 in this session", lines[0]);
    EXPECT_EQ("640", TextOf(app.PageControl(2, 1007)));
    EXPECT_EQ("-3", TextOf(app.PageControl(2, 1027)));
    EXPECT_EQ("q", TextOf(app.PageControl(2, 1020)));
    ASSERT_TRUE(app.Close());

    DWORD value = 0;
    EXPECT_TRUE(GetSettingDword("LoadMinimized", value));
    EXPECT_EQ(0u, value);
    EXPECT_TRUE(GetSettingDword("nKills", value));
    EXPECT_EQ(41u, value);
    EXPECT_TRUE(GetSettingDword("Width", value));
    EXPECT_EQ(640u, value);
    EXPECT_TRUE(GetSettingDword("Sessions", value));
    EXPECT_EQ(static_cast<DWORD>(-3), value);
    EXPECT_TRUE(GetSettingDword("Height", value)) << "unchanged values are written too";
    EXPECT_EQ(700u, value);
    std::string key;
    EXPECT_TRUE(GetSettingString("Key", key));
    EXPECT_EQ("q", key);
}

TEST(Startup, ValuesOfTheWrongTypeReadAsTheirDefaults) {
    UseQuietSettings();
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0,
                                               KEY_WRITE, nullptr, &key, nullptr));
    const char width[] = "640";
    ::RegSetValueExA(key, "Width", 0, REG_SZ, reinterpret_cast<const BYTE*>(width), sizeof(width));
    DWORD five = 5;
    ::RegSetValueExA(key, "Key", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&five), sizeof(five));
    const BYTE binary[3] = {1, 2, 3};
    ::RegSetValueExA(key, "Height", 0, REG_BINARY, binary, sizeof(binary));
    std::string longPath(70000, 'p');
    ::RegSetValueExA(key, "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(longPath.c_str()),
                     static_cast<DWORD>(longPath.size() + 1));
    ::RegCloseKey(key);

    VelmoraProcess app;
    ASSERT_TRUE(app.Start(MakeWorkDir("wrong-type")));
    ASSERT_TRUE(app.WaitForMainWindow());
    ASSERT_TRUE(app.Settle());
    EXPECT_EQ("1000", TextOf(app.PageControl(2, 1007)));
    EXPECT_EQ("700", TextOf(app.PageControl(2, 1006)));
    EXPECT_EQ("x", TextOf(app.PageControl(2, 1020)));
    ASSERT_TRUE(app.Close());

    DWORD value = 0;
    EXPECT_TRUE(GetSettingDword("Width", value)) << "written back as a number";
    EXPECT_EQ(1000u, value);
    std::string path;
    EXPECT_TRUE(GetSettingString("Path", path));
    EXPECT_EQ(longPath, path) << "a long string is read whole";
}

TEST(Startup, EndOfSessionSavesTheSettings) {
    UseQuietSettings();
    SetSettingDword("nKills", 7);
    VelmoraProcess app;
    ASSERT_TRUE(app.Start(MakeWorkDir("end-session")));
    HWND main = app.WaitForMainWindow();
    ASSERT_TRUE(main);
    ASSERT_TRUE(app.Settle());
    ::SendMessageW(app.PageControl(2, 1026), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"250"));

    DWORD_PTR answer = 0;
    ASSERT_TRUE(::SendMessageTimeoutA(main, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 5000, &answer));
    EXPECT_NE(0u, answer) << "the session may end";
    ASSERT_TRUE(::SendMessageTimeoutA(main, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 5000, &answer));

    DWORD value = 0;
    EXPECT_TRUE(GetSettingDword("Delay", value));
    EXPECT_EQ(250u, value);
    EXPECT_TRUE(GetSettingDword("nKills", value));
    EXPECT_EQ(7u, value);
    EXPECT_TRUE(GetSettingDword("LoadMinimized", value));
    app.Kill();
}
