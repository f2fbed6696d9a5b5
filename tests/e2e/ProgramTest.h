// The fixture of the end-to-end tests: the program started on quiet settings
// (window on screen, no list file) and whatever a test stores before it
// starts, with a window maker at hand.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/Harness.h"

namespace e2e {

class ProgramTest : public testing::Test {
protected:
    void SetUp() override { UseQuietSettings(); }
    // Starts the program on the settings stored now, in a new work folder.
    void Start(const std::string& name = "program") { ASSERT_TRUE(main_ = StartApp(app_, name)); }
    // The maker, started on first use.
    MakerProcess& Maker() {
        if (!maker_.Running()) {
            EXPECT_TRUE(maker_.Start());
        }
        return maker_;
    }
    // Opens a window in the maker and lets the program judge it.
    bool Stays(const std::string& title, int width = 300, int height = 200) {
        return StaysOpen(app_, Maker(), title, width, height);
    }
    // Destroyed in reverse order: the maker ends before the program closes.
    VelmoraProcess app_;
    MakerProcess maker_;
    HWND main_ = nullptr;
};

// The same in a work folder of its own, with a list file read at start.
class ListFileTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        dir_ = MakeWorkDir("list");
    }
    std::string Path(const std::string& name) const { return dir_ + "\\" + name; }
    // Starts with the list read from path, and written there at exit when saveOnExit.
    void StartWithList(const std::string& path, DWORD saveOnExit = 1, DWORD inTray = 0) {
        SetSettingDword("LoadMinimized", inTray);
        SetSettingDword("LoadOnStartup", 1);
        SetSettingDword("SaveOnExit", saveOnExit);
        SetSettingString("Path", path);
        ASSERT_TRUE(app_.Start(dir_) && (main_ = app_.WaitForMainWindow()));
    }
    // The box showing exactly this text, answered with OK.
    void ExpectBox(const std::string& text) {
        HWND box = WaitForMessageBox(app_, text.substr(0, 40));
        ASSERT_TRUE(box) << text;
        EXPECT_EQ("Velmora", TextOf(box));
        EXPECT_EQ(text, MessageBoxText(box));
        ASSERT_TRUE(DismissMessageBox(app_, text.substr(0, 40)));
        ASSERT_TRUE(app_.Settle());
    }
    std::string dir_;
};

} // namespace e2e
