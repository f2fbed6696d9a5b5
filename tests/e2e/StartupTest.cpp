// Start-up, the single instance, and the settings kept in the registry.
#include <map>

#include "tests/e2e/ProgramTest.h"

using namespace e2e;

namespace {
const std::map<std::string, DWORD> kDefaults = {
    {"LoadStart", 1}, {"LoadMinimized", 1}, {"SaveOnExit", 1}, {"LoadOnStartup", 1},
    {"AddAlt", 0},    {"AddShift", 0},      {"AddCtrl", 1},    {"ByName", 1},
    {"BySize", 1},    {"BySess", 0},        {"Height", 700},   {"Width", 1000},
    {"AutoStart", 1}, {"Delay", 0},         {"Sessions", 1},   {"nKills", 0},
};

// Every number value and the two strings, as the registry holds them now.
void ExpectStored(const std::map<std::string, DWORD>& numbers, const std::string& key,
                  const std::string& path) {
    for (const auto& expected : numbers)
        EXPECT_EQ(expected.second, SettingDword(expected.first.c_str())) << expected.first;
    EXPECT_EQ(key, SettingString("Key"));
    EXPECT_EQ(path, SettingString("Path"));
}

using Startup = ProgramTest;
} // namespace

TEST_F(Startup, FirstRunStartsHiddenAndStartedASecondInstanceEndsAndEveryDefaultIsWritten) {
    DeleteProgramKey();
    std::string dir = MakeWorkDir("first-run");
    VelmoraProcess second;
    ASSERT_TRUE(app.Start(dir));
    HWND main = app.WaitForMainWindow();
    ASSERT_TRUE(main);
    EXPECT_FALSE(::IsWindowVisible(main)) << "LoadMinimized is on by default";
    EXPECT_EQ("Stop", TextOf(app.Control(IDC_START))) << "LoadStart is on by default";
    ASSERT_TRUE(second.Start(dir));
    EXPECT_TRUE(second.WaitForExit(10000)) << "the second instance kept running";
    EXPECT_EQ(0u, second.ExitCode());
    EXPECT_TRUE(TopLevelWindows(second.Pid()).empty());
    EXPECT_EQ(main, app.WaitForMainWindow(2000));
    ASSERT_TRUE(app.Close());
    ExpectStored(kDefaults, "x", "default.lst");
}

// Wrong types and sizes, strings without their terminator or with one
// inside, a list whose last string is cut short.
TEST_F(Startup, StoredValuesAreUsedMalformedOnesReadAsDefaultsOrAsFarAsTheyGoAndAllAreWrittenBack) {
    SetSettingDword("nKills", 41);
    SetSettingDword("Width", 640);
    SetSettingDword("Sessions", static_cast<DWORD>(-3));
    SetSettingRaw("Delay", REG_SZ, "640", 4);
    DWORD five = 5;
    SetSettingRaw("Key", REG_DWORD, &five, sizeof(five));
    SetSettingRaw("Height", REG_DWORD, "\1\2", 2);
    const std::string longPath(70000, 'p');
    SetSettingRaw("Path", REG_SZ, (longPath + '\0' + "cd").c_str(), 70003);
    SetSettingRaw("BrowserNames", REG_MULTI_SZ, "Brave\0\0Google Chrome", 20);
    Start("stored");
    EXPECT_TRUE(::IsWindowVisible(mainWindow)) << "LoadMinimized 0";
    EXPECT_EQ(Lines{Counter(41, 0)}, app.StatisticsLines());
    const std::pair<int, const char*> shown[] = {{IDC_WIDTH, "640"},
                                                 {IDC_SESSIONS, "-3"},
                                                 {IDC_HEIGHT, "700"},
                                                 {IDC_DELAY, "0"},
                                                 {IDC_HOTKEY, "x"}};
    for (const auto& field : shown)
        EXPECT_EQ(field.second, TextOf(app.PageControl(kOptionsPage, field.first))) << field.first;
    EXPECT_FALSE(Stays("Ad - Google Chrome"));
    EXPECT_TRUE(Stays("Ad - Opera")) << "the stored names replace the first ones";
    ASSERT_TRUE(app.Close());

    std::map<std::string, DWORD> expected = kDefaults;
    for (const char* quiet : {"LoadMinimized", "LoadOnStartup", "SaveOnExit", "AutoStart"})
        expected[quiet] = 0;
    expected["nKills"] = 41 + 1;
    expected["Width"] = 640;
    expected["Sessions"] = static_cast<DWORD>(-3);
    ExpectStored(expected, "x", longPath);
}

// The system may end the session without a WM_CLOSE: with the window on
// screen the message reaches it, in the tray it reaches the hidden parent.
TEST_F(Startup, EndOfSessionSavesTheSettingsOnScreenAndInTheTray) {
    for (DWORD inTray : {0, 1}) {
        SCOPED_TRACE(inTray ? "in the tray" : "on screen");
        UseQuietSettings();
        SetSettingDword("LoadMinimized", inTray);
        SetSettingDword("nKills", 7);
        Start("end-session");
        HWND target = inTray ? OnlyWindowOf(app, "VelmoraHiddenParent") : mainWindow;
        ASSERT_TRUE(target);
        SetText(app.PageControl(kOptionsPage, IDC_DELAY), "250");
        DWORD_PTR answer = 0;
        ASSERT_TRUE(
            ::SendMessageTimeoutA(target, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 5000, &answer));
        EXPECT_NE(0u, answer) << "the session may end";
        ASSERT_TRUE(
            ::SendMessageTimeoutA(target, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 5000, &answer));
        EXPECT_EQ(250u, SettingDword("Delay"));
        EXPECT_EQ(7u, SettingDword("nKills"));
        EXPECT_EQ(inTray, SettingDword("LoadMinimized"));
        ASSERT_TRUE(app.Close()); // before the next settings are stored
    }
}

TEST_F(Startup, WithoutItsHookLibraryTheProgramSaysWhatIsMissingAndWhereAndEnds) {
    DeleteProgramKey();
    std::string dir = MakeWorkDir("no-hook");
    std::string exe = dir + "\\Velmora.exe";
    ASSERT_TRUE(::CopyFileA((Env("VELMORA_DIST") + "\\Velmora.exe").c_str(), exe.c_str(), FALSE));
    ASSERT_TRUE(app.Start(dir, exe));
    const std::string text = "Velmora cannot start: hook.dll was not found. It was looked for in " +
                             dir +
                             ".\n\nVelmora.exe needs the hook.dll that comes with it, in the same "
                             "folder: copy both files of one folder of the program together.";
    HWND box = WaitForMessageBox(app, "hook.dll was not found");
    ASSERT_TRUE(box);
    EXPECT_EQ("Draxtel Velmora", TextOf(box));
    EXPECT_EQ(text, MessageBoxText(box));
    ASSERT_TRUE(DismissMessageBox(app, "hook.dll was not found"));
    ASSERT_TRUE(app.WaitForExit(10000));
    EXPECT_EQ(1u, app.ExitCode());
    EXPECT_EQ(Lines{"Velmora.exe"}, FilesIn(dir));
    EXPECT_EQ("<no string>", SettingString("Path")) << "nothing written";
}
