// The fixture of the end-to-end tests: the program started on quiet settings
// (window on screen, no list file) and whatever a test stores before it
// starts, with a window maker at hand.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/Harness.h"

namespace e2e {

// The Options page's check boxes, each drawn with a tick or a cross.
inline constexpr int kCheckBoxes[] = {
    IDC_BY_NAME,         IDC_BY_SIZE, IDC_START_MINIMIZED, IDC_SAVE_ON_EXIT, IDC_ENABLED_ON_STARTUP,
    IDC_LOAD_ON_STARTUP, IDC_ADD_ALT, IDC_ADD_SHIFT,       IDC_ADD_CTRL,     IDC_LOAD_ON_BOOT,
    IDC_BY_SESSION};

class ProgramTest : public testing::Test {
protected:
    void SetUp() override { UseQuietSettings(); }
    // Starts the program on the settings stored now, in a new work folder.
    void Start(const std::string& name = "program") {
        ASSERT_TRUE(mainWindow = StartApp(app, name));
    }
    // The maker, started on first use.
    MakerProcess& Maker() {
        if (!maker.Running()) {
            EXPECT_TRUE(maker.Start());
        }
        return maker;
    }
    // Opens a window in the maker and lets the program judge it.
    bool Stays(const std::string& title, int width = 300, int height = 200) {
        HWND window = Maker().Open(title, width, height);
        return window && SettleWith(app, maker) && ::IsWindow(window);
    }
    // Destroyed in reverse order: the maker ends before the program closes.
    VelmoraProcess app;
    MakerProcess maker;
    HWND mainWindow = nullptr;
};

// The same in a work folder of its own, with a list file read at start.
class ListFileTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        dir = MakeWorkDir("list");
    }
    std::string Path(const std::string& name) const { return dir + "\\" + name; }
    // Starts with the list read from path, and written there at exit when saveOnExit.
    void StartWithList(const std::string& path, DWORD saveOnExit = 1, DWORD inTray = 0) {
        SetSettingDword("LoadMinimized", inTray);
        SetSettingDword("LoadOnStartup", 1);
        SetSettingDword("SaveOnExit", saveOnExit);
        SetSettingString("Path", path);
        ASSERT_TRUE(app.Start(dir) && (mainWindow = app.WaitForMainWindow()));
    }
    // The box showing exactly this text, answered with OK.
    void ExpectBox(const std::string& text) {
        HWND box = WaitForMessageBox(app, text.substr(0, 40));
        ASSERT_TRUE(box) << text;
        EXPECT_EQ("Draxtel Velmora", TextOf(box));
        EXPECT_EQ(text, MessageBoxText(box));
        ASSERT_TRUE(DismissMessageBox(app, text.substr(0, 40)));
        ASSERT_TRUE(app.Settle());
    }
    std::string dir;
};

} // namespace e2e
