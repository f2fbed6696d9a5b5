// The list files of the real program through its buttons and the real open
// and save dialogs, and no list lost: a list file that could not be read,
// one in another encoding or with bytes no title can hold, and every way
// out of an exit save that failed. Each case checks what the user is told
// and the bytes of every file afterwards.
#include <iostream>

#include "tests/e2e/ProgramTest.h"

using namespace e2e;

namespace {

const char kConverted[] = " Its titles were converted to the ANSI code page, in which Velmora "
                          "keeps and saves its lists.";
const char kBeforeSave[] = "\n\nBefore the list is first saved over this file, the original is "
                           "kept as ";
const char kNotSaved[] = "The banned list was not saved.\r\n\r\n";
const char kWaysOut[] =
    "\r\n\r\nSave it to another file, close without saving it, or keep Velmora running?";

class ListFiles : public ListFileTest {
protected:
    // Starts with start.lst holding these bytes as the list file.
    void StartWith(const std::string& atStart, DWORD saveOnExit = 0) {
        ASSERT_TRUE(WriteFileBytes(Path("start.lst"), atStart));
        StartWithList(Path("start.lst"), saveOnExit);
    }
    // Asks to close and waits for the question after the failed save.
    HWND CloseAndExpectQuestion(const std::string& reason) {
        ::PostMessageA(mainWindow, WM_CLOSE, 0, 0);
        HWND question = WaitForMessageBox(app, "The banned list was not saved.");
        EXPECT_TRUE(question) << reason;
        if (question) {
            EXPECT_EQ(kNotSaved + reason + kWaysOut, MessageBoxText(question));
        }
        return question;
    }
};

} // namespace

TEST_F(ListFiles, LoadReplacesAppendMergesAndAMissingFileEmptiesTheList) {
    StartWith("old\r\n");
    ASSERT_EQ(Lines{"old"}, app.BannedList());
    ASSERT_TRUE(WriteFileBytes(Path("five.lst"), "b\r\n\na\r\nb\na "));
    ASSERT_TRUE(WriteFileBytes(Path("other.lst"), "c\r\na\r\n"));
    ASSERT_TRUE(UseFileButton(app, IDC_LOAD, Path("five.lst")));
    EXPECT_EQ((Lines{"a", "a ", "b"}), app.BannedList()) << "Load replaces the list";
    ASSERT_TRUE(UseFileButton(app, IDC_APPEND, Path("other.lst")));
    EXPECT_EQ((Lines{"a", "a ", "b", "c"}), app.BannedList());

    // A file that is not there empties the list silently and becomes the list file.
    ASSERT_TRUE(UseFileButton(app, IDC_LOAD, Path("missing.lst")));
    EXPECT_TRUE(app.BannedList().empty());
    EXPECT_TRUE(DialogsOf(app).empty()) << "no message";
    ASSERT_TRUE(app.Close());
    EXPECT_EQ(Path("missing.lst"), SettingString("Path"));
    EXPECT_FALSE(FileExists(Path("missing.lst"))) << "SaveOnExit is off";
}

// File dialogs move the current folder (under Wine, to where they last
// browsed), so this runs without one.
TEST_F(ListFiles, NewWritesNothingUntilExitAndAnEmptyListIsZeroBytes) {
    StartWith("a\r\nb\r\n", 1);
    app.Click(app.PageControl(kBannedPage, IDC_NEW));
    ASSERT_TRUE(app.Settle());
    EXPECT_TRUE(app.BannedList().empty());
    EXPECT_FALSE(FileExists(Path("new.lst")));
    ASSERT_TRUE(app.Close());
    EXPECT_EQ("", ReadFileBytes(Path("new.lst"))) << "in the current folder";
    EXPECT_EQ("a\r\nb\r\n", ReadFileBytes(Path("start.lst")));
    EXPECT_EQ("new.lst", SettingString("Path"));
}

TEST_F(ListFiles, SaveWritesTheSortedListAsTypedAndLeavesAReadOnlyFileWhole) {
    StartWith("zz top - Opera\r\nabc\r\nAbc\r\n");
    Lines shown = app.BannedList();
    ASSERT_EQ(3u, shown.size());
    EXPECT_EQ("zz top - Opera", shown[2]) << "sorted";
    ASSERT_TRUE(UseFileButton(app, IDC_SAVE, Path("noext")));
    EXPECT_TRUE(DialogsOf(app).empty());
    EXPECT_EQ(shown[0] + "\r\n" + shown[1] + "\r\nzz top - Opera\r\n", ReadFileBytes(Path("noext")))
        << "CR LF after every title";

    ASSERT_TRUE(WriteFileBytes(Path("ro.lst"), "old content\r\n"));
    ::SetFileAttributesA(Path("ro.lst").c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(UseFileButton(app, IDC_SAVE, Path("ro.lst")));
    ExpectBox("Access to " + Path("ro.lst") + " was denied.");
    ::SetFileAttributesA(Path("ro.lst").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ("old content\r\n", ReadFileBytes(Path("ro.lst")));
    EXPECT_EQ(shown, app.BannedList());
    EXPECT_EQ((Lines{"noext", "ro.lst", "start.lst"}), FilesIn(dir))
        << "the name as typed, no temporary file left";
}

TEST_F(ListFiles, AFileLockedAtStartIsReportedAndNeverWrittenOver) {
    const std::string titles = "one\r\nthree\r\ntwo\r\n";
    ASSERT_TRUE(WriteFileBytes(Path("default.lst"), titles));
    {
        // Another program holds the file and shares nothing while Velmora starts.
        fw::UniqueHandle<fw::FileHandleTraits> holder(::CreateFileA(
            Path("default.lst").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(holder);
        // In the tray, as the program starts by default: the message shows all the same.
        StartWithList(Path("default.lst"), 1, 1);
        ExpectBox("A sharing violation occurred while accessing " + Path("default.lst") +
                  ".\n\nThe titles in this file were not read, and Velmora will not write "
                  "over it when it closes.");
    }
    EXPECT_TRUE(app.BannedList().empty());

    // Titles added in this run are not lost either: the close offers the
    // save dialog, and the list goes to the file chosen there.
    ASSERT_TRUE(AddTitle(app, "added - Opera"));
    HWND question = CloseAndExpectQuestion(
        Path("default.lst") +
        " could not be read when the list was taken from it, so Velmora does not write over it.");
    ASSERT_TRUE(question);
    app.Click(::GetDlgItem(question, IDC_SAVE_ELSEWHERE));
    ASSERT_TRUE(AnswerFileDialog(app, Path("elsewhere.lst")));
    ASSERT_TRUE(app.WaitForExit(20000));
    EXPECT_EQ(titles, ReadFileBytes(Path("default.lst")));
    EXPECT_EQ("added - Opera\r\n", ReadFileBytes(Path("elsewhere.lst")));
    EXPECT_EQ((Lines{"default.lst", "elsewhere.lst"}), FilesIn(dir));
    EXPECT_EQ(Path("elsewhere.lst"), SettingString("Path")) << "the list file from now on";
}

// Each encoding and what reading changes is the reader's and the list's unit
// tests; here the message at start and the files on disk, once.
TEST_F(ListFiles, AUnicodeFileIsReadAsWhatItIsAndKeptBeforeTheFirstSave) {
    const std::string utf16le("\xFF\xFE"
                              "C\0a\0f\0\xE9\0 \0-\0 \0O\0p\0e\0r\0a\0\r\0\n\0"
                              "x\0\x16\x04y\0\n\0l\0a\0s\0t\0",
                              46);
    ASSERT_TRUE(WriteFileBytes(Path("default.lst"), utf16le));
    // A backup of an earlier run stays as it is.
    ASSERT_TRUE(WriteFileBytes(Path("default.lst.bak"), "earlier\r\n"));
    StartWithList(Path("default.lst"));
    ExpectBox(Path("default.lst") + " is a Unicode (UTF-16) text file." + kConverted +
              " A title held characters that the ANSI code page cannot show: they were "
              "replaced." +
              kBeforeSave + Path("default.lst.2.bak") + ".");
    EXPECT_EQ((Lines{"Caf\xE9 - Opera", "last", "x?y"}), app.BannedList());
    ASSERT_TRUE(app.Close());
    EXPECT_EQ("Caf\xE9 - Opera\r\nlast\r\nx?y\r\n", ReadFileBytes(Path("default.lst")));
    EXPECT_EQ(utf16le, ReadFileBytes(Path("default.lst.2.bak"))) << "the original, byte for byte";
    EXPECT_EQ("earlier\r\n", ReadFileBytes(Path("default.lst.bak")));
    EXPECT_EQ((Lines{"default.lst", "default.lst.2.bak", "default.lst.bak"}), FilesIn(dir));
}

TEST_F(ListFiles, AFailedExitSaveNamesTheCauseAndOffersEveryWayOut) {
    struct Case {
        std::string path, reason; // "%" in them stands for the work folder
        int choice;
        std::string savedAs;
    };
    std::vector<Case> cases = {
        {"", "The list file has no name: its path is empty.", IDC_CLOSE_WITHOUT_SAVING, ""},
        {"nowhere\\x.lst", "%\\nowhere\\x.lst contains an invalid path.", IDC_SAVE_ELSEWHERE,
         "saved.lst"},
    };
    // Prepared by the test script: default.lst ("kept") in a folder that takes no new file.
    const std::string readOnly = Env("VELMORA_READONLY_DIR");
    if (!readOnly.empty())
        cases.push_back({readOnly + "\\default.lst",
                         "Access to " + readOnly +
                             " was denied. No new file can be made there, so " + readOnly +
                             "\\default.lst was not written.",
                         IDC_CLOSE_WITHOUT_SAVING, ""});
    else
        std::cout << "[  SKIPPED ] the read-only folder: run through scripts/test.sh\n";
    for (Case c : cases) {
        dir = MakeWorkDir("way-out");
        for (std::string* text : {&c.path, &c.reason})
            if (text->find('%') != std::string::npos)
                text->replace(text->find('%'), 1, dir);
        SCOPED_TRACE(c.reason);
        StartWithList(c.path);
        ASSERT_TRUE(AddTitle(app, "added"));
        HWND question = CloseAndExpectQuestion(c.reason);
        ASSERT_TRUE(question);
        app.Click(::GetDlgItem(question, c.choice));
        if (!c.savedAs.empty()) {
            ASSERT_TRUE(AnswerFileDialog(app, Path(c.savedAs)));
        }
        ASSERT_TRUE(app.WaitForExit(20000)) << "closed";
        EXPECT_EQ(c.savedAs.empty() ? Lines{} : Lines{c.savedAs}, FilesIn(dir));
        if (!c.savedAs.empty()) {
            EXPECT_EQ("added\r\n", ReadFileBytes(Path(c.savedAs)));
        }
        if (!readOnly.empty() && c.path.find(readOnly) == 0) {
            EXPECT_EQ("kept\r\n", ReadFileBytes(c.path));
            EXPECT_EQ(Lines{"default.lst"}, FilesIn(readOnly));
        }
        EXPECT_EQ(c.savedAs.empty() ? c.path : Path(c.savedAs), SettingString("Path"));
    }
}

// The last way out: Keep Running, with everything running as before.
TEST_F(ListFiles, AFailedWriteAtExitKeepsTheProgramRunningWithHookAndTray) {
    StartWith("Banned - Opera\r\n", 1);
    ASSERT_TRUE(AddTitle(app, "Added - AOL"));
    ASSERT_TRUE(ShellHasIcon(TrayWindowOf(app), IDR_TRAY_STARTED));
    ::SetFileAttributesA(Path("start.lst").c_str(), FILE_ATTRIBUTE_READONLY);
    HWND question = CloseAndExpectQuestion("Access to " + Path("start.lst") + " was denied.");
    ASSERT_TRUE(question);
    app.Click(::GetDlgItem(question, IDCANCEL)); // Keep Running
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(question); }));
    ASSERT_TRUE(app.Settle());
    EXPECT_TRUE(app.Running());
    EXPECT_TRUE(ShellHasIcon(TrayWindowOf(app), IDR_TRAY_STARTED)) << "the tray icon is back";
    EXPECT_EQ("Stop", TextOf(app.Control(IDC_START))) << "still started";
    EXPECT_FALSE(Stays("Banned - Opera", 1200, 800)) << "the hook is set again";

    // Once the file can be written, the close goes through and nothing is lost.
    ::SetFileAttributesA(Path("start.lst").c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(app.Close());
    EXPECT_EQ("Added - AOL\r\nBanned - Opera\r\n", ReadFileBytes(Path("start.lst")));
    EXPECT_EQ(Lines{"start.lst"}, FilesIn(dir));
}
