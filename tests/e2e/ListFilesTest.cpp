// The list files through the real buttons and the real open and save
// dialogs, and the list written at exit.
#include <gtest/gtest.h>

#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

class ListFiles : public testing::Test {
protected:
    void SetUp() override { dir_ = MakeWorkDir("list"); }
    // Starts with the list read at start from start.lst.
    void Start(const std::string& atStart, DWORD saveOnExit = 0) {
        ASSERT_TRUE(WriteFileBytes(Path("start.lst"), atStart));
        UseQuietSettings();
        SetSettingDword("LoadOnStartup", 1);
        SetSettingDword("SaveOnExit", saveOnExit);
        SetSettingString("Path", Path("start.lst"));
        ASSERT_TRUE(app_.Start(dir_));
        ASSERT_TRUE(app_.WaitForMainWindow());
    }
    std::string Path(const std::string& name) const { return dir_ + "\\" + name; }
    // The file error shown now, dismissed.
    void ExpectFileError(const std::string& text) {
        HWND box = WaitForMessageBox(app_, text);
        ASSERT_TRUE(box) << text;
        EXPECT_EQ("Velmora", TextOf(box));
        EXPECT_EQ(text, MessageBoxText(box));
        EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(box, 0x440)))
            << "shown with the stop icon (stc1)";
        ASSERT_TRUE(DismissMessageBox(app_, text));
        ASSERT_TRUE(app_.Settle());
    }

    std::string dir_;
    VelmoraProcess app_;
};

} // namespace

TEST_F(ListFiles, LoadReplacesAppendMergesAndAMissingFileEmptiesTheList) {
    Start("old\r\n");
    ASSERT_EQ(Lines{"old"}, app_.BannedList());
    ASSERT_TRUE(WriteFileBytes(Path("five.lst"), "b\r\n\na\r\nb\na "));
    ASSERT_TRUE(WriteFileBytes(Path("other.lst"), "c\r\na\r\n"));
    ASSERT_TRUE(UseFileButton(app_, IDC_LOAD, Path("five.lst")));
    EXPECT_EQ((Lines{"a", "a ", "b"}), app_.BannedList()) << "Load replaces the list";
    ASSERT_TRUE(UseFileButton(app_, IDC_APPEND, Path("other.lst")));
    EXPECT_EQ((Lines{"a", "a ", "b", "c"}), app_.BannedList());

    // A file that is not there empties the list silently and becomes the list file.
    ASSERT_TRUE(UseFileButton(app_, IDC_LOAD, Path("missing.lst")));
    EXPECT_TRUE(app_.BannedList().empty());
    EXPECT_TRUE(DialogsOf(app_).empty()) << "no message";
    ASSERT_TRUE(app_.Close());
    EXPECT_EQ(Path("missing.lst"), SettingString("Path"));
    EXPECT_FALSE(FileExists(Path("missing.lst"))) << "SaveOnExit is off";
}

// File dialogs move the current folder (under Wine, to where they last
// browsed), so this runs without one.
TEST_F(ListFiles, NewWritesNothingUntilExitAndAnEmptyListIsZeroBytes) {
    Start("a\r\nb\r\n", 1);
    app_.Click(app_.PageControl(kBannedPage, IDC_NEW));
    ASSERT_TRUE(app_.Settle());
    EXPECT_TRUE(app_.BannedList().empty());
    EXPECT_FALSE(FileExists(Path("new.lst")));
    ASSERT_TRUE(app_.Close());
    EXPECT_TRUE(FileExists(Path("new.lst"))) << "in the current folder";
    EXPECT_EQ("", ReadFileBytes(Path("new.lst")));
    EXPECT_EQ("a\r\nb\r\n", ReadFileBytes(Path("start.lst")));
    EXPECT_EQ("new.lst", SettingString("Path"));
}

TEST_F(ListFiles, SaveWritesTheSortedListAsTypedAndLeavesAReadOnlyFileWhole) {
    Start("zz top - Opera\r\nabc\r\nAbc\r\n");
    Lines shown = app_.BannedList();
    ASSERT_EQ(3u, shown.size());
    EXPECT_EQ("zz top - Opera", shown[2]) << "sorted";
    ASSERT_TRUE(UseFileButton(app_, IDC_SAVE, Path("noext")));
    EXPECT_TRUE(DialogsOf(app_).empty());
    std::string written;
    for (const std::string& line : shown)
        written += line + "\r\n";
    EXPECT_EQ(written, ReadFileBytes(Path("noext"))) << "CR LF after every title";

    ASSERT_TRUE(WriteFileBytes(Path("ro.lst"), "old content\r\n"));
    ::SetFileAttributesA(Path("ro.lst").c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(UseFileButton(app_, IDC_SAVE, Path("ro.lst")));
    ExpectFileError("Access to " + Path("ro.lst") + " was denied.");
    ::SetFileAttributesA(Path("ro.lst").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ("old content\r\n", ReadFileBytes(Path("ro.lst")));
    EXPECT_EQ(shown, app_.BannedList());
    EXPECT_EQ((Lines{"noext", "ro.lst", "start.lst"}), FilesIn(dir_))
        << "the name as typed, no temporary file left";
}

TEST_F(ListFiles, AFailedWriteAtExitKeepsTheProgramRunningWithHookAndTray) {
    Start("Banned - Opera\r\n", 1);
    ASSERT_TRUE(AddTitle(app_, "Added - AOL"));
    ASSERT_TRUE(ShellHasIcon(TrayWindowOf(app_), IDR_TRAY_STARTED));
    ::SetFileAttributesA(Path("start.lst").c_str(), FILE_ATTRIBUTE_READONLY);

    ::PostMessageA(app_.MainWindow(), WM_CLOSE, 0, 0);
    HWND question = WaitForMessageBox(app_, "Access to " + Path("start.lst") + " was denied.");
    ASSERT_TRUE(question);
    app_.Click(::GetDlgItem(question, IDCANCEL)); // Keep Running
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(question); }));
    ASSERT_TRUE(app_.Settle());
    EXPECT_TRUE(app_.Running());
    EXPECT_TRUE(ShellHasIcon(TrayWindowOf(app_), IDR_TRAY_STARTED)) << "the tray icon is back";
    EXPECT_EQ("Stop", TextOf(app_.Control(IDC_START))) << "still started";

    // The hook is set again: a banned title is closed.
    WindowFactory windows;
    EXPECT_FALSE(StaysOpen(app_, windows, "Banned - Opera", 1200, 800));
    EXPECT_EQ((Lines{Counter(1, 1), "Banned - Opera"}), app_.StatisticsLines());

    // Once the file can be written, the close goes through and nothing is lost.
    ::SetFileAttributesA(Path("start.lst").c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(app_.Close());
    EXPECT_EQ("Added - AOL\r\nBanned - Opera\r\n", ReadFileBytes(Path("start.lst")));
    EXPECT_EQ(Lines{"start.lst"}, FilesIn(dir_));
}
