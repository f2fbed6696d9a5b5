// The list files through the real buttons and the real open and save
// dialogs of the running program, the list read at start and written at exit.
#include <gtest/gtest.h>

#include "tests/e2e/Dialogs.h"
#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

constexpr int kAdd = 3;
constexpr int kSave = 1002;
constexpr int kLoad = 1003;
constexpr int kEntry = 1011;
constexpr int kAppend = 1024;
constexpr int kNew = 1025;
constexpr int kReadOnlyBox = 0x410; // chx1 of the file dialogs

using Lines = std::vector<std::string>;

std::string CrLfLines(const Lines& lines) {
    std::string bytes;
    for (const std::string& line : lines)
        bytes += line + "\r\n";
    return bytes;
}

// Quiet settings with the list read at start from path.
void UseListAtStart(const std::string& path, DWORD saveOnExit = 0) {
    UseQuietSettings();
    SetSettingDword("LoadOnStartup", 1);
    SetSettingDword("SaveOnExit", saveOnExit);
    SetSettingString("Path", path);
}

void AddTitle(const VelmoraProcess& app, const std::string& title) {
    std::wstring wide(title.begin(), title.end());
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(app.PageControl(0, kEntry), WM_SETTEXT, 0,
                          reinterpret_cast<LPARAM>(wide.c_str()), SMTO_NORMAL, 5000, &result);
    app.Click(app.PageControl(0, kAdd));
}

// Clicks a file button and answers its dialog with path.
bool UseFileButton(VelmoraProcess& app, int button, const std::string& path) {
    app.Click(app.PageControl(0, button));
    HWND dialog = WaitForFileDialog(app);
    if (!dialog || !ChooseInFileDialog(dialog, path))
        return false;
    return WaitUntil([&] { return !::IsWindow(dialog); });
}

// Saves through the save dialog, answering its overwrite prompt with Yes,
// and returns the message box that follows, dismissed (nothing when the
// list was written).
ShownMessage SaveThroughDialog(VelmoraProcess& app, const std::string& path) {
    app.Click(app.PageControl(0, kSave));
    HWND dialog = WaitForFileDialog(app);
    if (!dialog || !ChooseInFileDialog(dialog, path))
        return {"", "<no save dialog>", false};
    for (;;) {
        HWND box = nullptr;
        WaitUntil([&] {
            for (HWND shown : DialogsOf(app)) {
                if (!FileNameBox(shown))
                    box = shown;
            }
            return box || !::IsWindow(dialog);
        });
        if (!box) {
            // The dialog is gone: a file error, if any, is up once what
            // was queued behind the dialog has been handled.
            app.Settle();
            std::vector<HWND> shown = DialogsOf(app);
            if (shown.empty())
                return {};
            box = shown[0];
        }
        ShownMessage message = ReadMessageBox(box);
        if (message.text.find("replace") != std::string::npos) {
            PressButton(box, IDYES);
            WaitUntil([&] { return !::IsWindow(box); });
            continue;
        }
        PressButton(box, IDOK);
        WaitUntil([&] { return DialogsOf(app).empty(); });
        return message;
    }
}

void ExpectFileError(const std::string& text, const ShownMessage& shown) {
    EXPECT_EQ(text, shown.text);
    EXPECT_EQ("Velmora", shown.caption);
    EXPECT_TRUE(shown.icon) << "shown with the stop icon";
}

class ListFileButtons : public testing::Test {
protected:
    void Start(const std::string& name, const Lines& atStart, DWORD saveOnExit = 0) {
        dir_ = MakeWorkDir(name);
        ASSERT_TRUE(WriteFileBytes(Path("start.lst"), CrLfLines(atStart)));
        UseListAtStart(Path("start.lst"), saveOnExit);
        ASSERT_TRUE(app_.Start(dir_));
        ASSERT_TRUE(app_.WaitForMainWindow());
        ASSERT_TRUE(app_.Settle());
    }
    std::string Path(const std::string& name) const { return dir_ + "\\" + name; }
    std::string StoredPath() {
        std::string path;
        GetSettingString("Path", path);
        return path;
    }

    std::string dir_;
    VelmoraProcess app_;
};

} // namespace

TEST_F(ListFileButtons, LoadReplacesAppendMergesAndAMissingFileEmptiesTheList) {
    Start("load", {"old"});
    ASSERT_EQ((Lines{"old"}), app_.BannedList());
    ASSERT_TRUE(WriteFileBytes(Path("five.lst"), "b\r\n\na\r\nb\na "));
    ASSERT_TRUE(WriteFileBytes(Path("other.lst"), "c\r\na\r\n"));

    // The open dialog: standard, the read-only box hidden.
    app_.Click(app_.PageControl(0, kLoad));
    HWND dialog = WaitForFileDialog(app_);
    ASSERT_TRUE(dialog);
    HWND readOnly = ::GetDlgItem(dialog, kReadOnlyBox);
    EXPECT_TRUE(!readOnly || !::IsWindowVisible(readOnly));
    EXPECT_EQ("", TextOf(FileNameBox(dialog))) << "no initial file name";
    ASSERT_TRUE(ChooseInFileDialog(dialog, Path("five.lst")));
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }));
    ASSERT_TRUE(app_.Settle());
    EXPECT_EQ((Lines{"a", "a ", "b"}), app_.BannedList()) << "Load replaces the list";

    ASSERT_TRUE(UseFileButton(app_, kAppend, Path("five.lst")));
    ASSERT_TRUE(app_.Settle());
    EXPECT_EQ((Lines{"a", "a ", "b"}), app_.BannedList()) << "nothing new in the same file";
    ASSERT_TRUE(UseFileButton(app_, kAppend, Path("other.lst")));
    ASSERT_TRUE(app_.Settle());
    EXPECT_EQ((Lines{"a", "a ", "b", "c"}), app_.BannedList());

    // Cancel changes nothing.
    app_.Click(app_.PageControl(0, kLoad));
    dialog = WaitForFileDialog(app_);
    ASSERT_TRUE(dialog);
    PressButton(dialog, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }));
    ASSERT_TRUE(app_.Settle());
    EXPECT_EQ((Lines{"a", "a ", "b", "c"}), app_.BannedList());

    // A file that is not there: the open dialog takes it, the list empties
    // silently and the file becomes the current list file.
    ASSERT_TRUE(UseFileButton(app_, kLoad, Path("missing.lst")));
    ASSERT_TRUE(app_.Settle());
    EXPECT_TRUE(app_.BannedList().empty());
    EXPECT_TRUE(DialogsOf(app_).empty()) << "no message";
    ASSERT_TRUE(app_.Close());
    EXPECT_EQ(Path("missing.lst"), StoredPath());
    EXPECT_FALSE(FileExists(Path("missing.lst"))) << "SaveOnExit is off";
}

TEST_F(ListFileButtons, SaveWritesTheSortedListWithCrLfAndAsksBeforeReplacing) {
    Start("save", {"abc", "Abc", "zz top - Opera"});
    Lines shown = app_.BannedList();
    ASSERT_EQ(3u, shown.size());

    // A name without extension is written as typed.
    ASSERT_TRUE(UseFileButton(app_, kSave, Path("noext")));
    ASSERT_TRUE(app_.Settle());
    EXPECT_EQ(CrLfLines(shown), ReadFileBytes(Path("noext")));
    EXPECT_EQ("zz top - Opera\r\n", ReadFileBytes(Path("noext")).substr(10));
    EXPECT_FALSE(FileExists(Path("noext.lst")));

    // Saving over it asks first; Yes replaces the file.
    AddTitle(app_, "added");
    ASSERT_TRUE(app_.Settle());
    app_.Click(app_.PageControl(0, kSave));
    HWND dialog = WaitForFileDialog(app_);
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(ChooseInFileDialog(dialog, Path("noext")));
    HWND prompt = WaitForMessageBox(app_);
    ASSERT_TRUE(prompt) << "the save dialog asks before replacing a file";
    EXPECT_NE(std::string::npos, MessageBoxText(prompt).find("replace")) << MessageBoxText(prompt);
    PressButton(prompt, IDNO);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(prompt); }));
    EXPECT_EQ(CrLfLines(shown), ReadFileBytes(Path("noext"))) << "No keeps the file";
    PressButton(dialog, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }));
    EXPECT_TRUE(SaveThroughDialog(app_, Path("noext")).text.empty());
    ASSERT_TRUE(app_.Settle());
    EXPECT_EQ(CrLfLines(app_.BannedList()), ReadFileBytes(Path("noext")));
    EXPECT_EQ(4u, app_.BannedList().size());

    // New empties the list and writes nothing; an empty list saves as 0 bytes.
    app_.Click(app_.PageControl(0, kNew));
    ASSERT_TRUE(app_.Settle());
    EXPECT_TRUE(app_.BannedList().empty());
    EXPECT_FALSE(FileExists(Path("new.lst")));
    ASSERT_TRUE(UseFileButton(app_, kSave, Path("empty.lst")));
    ASSERT_TRUE(app_.Settle());
    bool exists = false;
    EXPECT_EQ("", ReadFileBytes(Path("empty.lst"), &exists));
    EXPECT_TRUE(exists);
    EXPECT_EQ((Lines{"empty.lst", "noext", "start.lst"}), FilesIn(dir_))
        << "no temporary file stays behind";
    ASSERT_TRUE(app_.Close());
    EXPECT_EQ(Path("empty.lst"), StoredPath());
}

TEST_F(ListFileButtons, AFileThatCannotBeWrittenShowsTheFileErrorAndStaysWhole) {
    Start("save-fails", {"one", "two"});
    const std::string old = "old content\r\n";

    // Read-only.
    ASSERT_TRUE(WriteFileBytes(Path("ro.lst"), old));
    ::SetFileAttributesA(Path("ro.lst").c_str(), FILE_ATTRIBUTE_READONLY);
    ExpectFileError("Access to " + Path("ro.lst") + " was denied.",
                    SaveThroughDialog(app_, Path("ro.lst")));
    ::SetFileAttributesA(Path("ro.lst").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(old, ReadFileBytes(Path("ro.lst")));

    // Held open by a program that shares nothing.
    HANDLE holder =
        ::CreateFileA(Path("ro.lst").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    ExpectFileError("A sharing violation occurred while accessing " + Path("ro.lst") + ".",
                    SaveThroughDialog(app_, Path("ro.lst")));
    ::CloseHandle(holder);
    EXPECT_EQ(old, ReadFileBytes(Path("ro.lst")));

    // A folder that is not there: the save dialog does not insist on it.
    ExpectFileError(Path("no folder\\x.lst") + " contains an invalid path.",
                    SaveThroughDialog(app_, Path("no folder\\x.lst")));

    EXPECT_EQ((Lines{"ro.lst", "start.lst"}), FilesIn(dir_)) << "no temporary file stays behind";
    EXPECT_EQ((Lines{"one", "two"}), app_.BannedList()) << "the list is unchanged";
    ASSERT_TRUE(app_.Close());
    EXPECT_EQ(Path("no folder\\x.lst"), StoredPath()) << "Save names the file before it writes";
}

TEST_F(ListFileButtons, NewWritesNothingUntilExitAndThenWritesNewLst) {
    Start("new", {"a", "b"}, 1);
    app_.Click(app_.PageControl(0, kNew));
    ASSERT_TRUE(app_.Settle());
    EXPECT_TRUE(app_.BannedList().empty());
    EXPECT_FALSE(FileExists(Path("new.lst")));
    AddTitle(app_, "x - Netscape");
    ASSERT_TRUE(app_.Settle());
    ASSERT_TRUE(app_.Close());
    EXPECT_EQ("x - Netscape\r\n", ReadFileBytes(Path("new.lst"))) << "in the current folder";
    EXPECT_EQ("a\r\nb\r\n", ReadFileBytes(Path("start.lst")));
    EXPECT_EQ("new.lst", StoredPath());
}

TEST(ListFileAtStart, TheDefaultListIsReadFromTheCurrentFolderOnlyWhenAsked) {
    std::string dir = MakeWorkDir("start-read");
    ASSERT_TRUE(WriteFileBytes(dir + "\\default.lst", "one\r\ntwo\n\nthree"));
    UseQuietSettings();
    {
        VelmoraProcess app;
        ASSERT_TRUE(app.Start(dir));
        ASSERT_TRUE(app.WaitForMainWindow());
        EXPECT_TRUE(app.BannedList().empty()) << "LoadOnStartup is off";
        ASSERT_TRUE(app.Close());
    }
    SetSettingDword("LoadOnStartup", 1);
    VelmoraProcess app;
    ASSERT_TRUE(app.Start(dir));
    ASSERT_TRUE(app.WaitForMainWindow());
    EXPECT_EQ((Lines{"one", "three", "two"}), app.BannedList());
    ASSERT_TRUE(app.Close());
    EXPECT_EQ("one\r\ntwo\n\nthree", ReadFileBytes(dir + "\\default.lst")) << "SaveOnExit is off";
}

TEST(ListFileAtExit, AFailedWriteKeepsTheProgramRunningWithHookTrayAndBlocking) {
    std::string dir = MakeWorkDir("exit-fails");
    std::string path = dir + "\\exit.lst";
    ASSERT_TRUE(WriteFileBytes(path, "Banned - Opera\r\n"));
    UseListAtStart(path, 1);
    SetSettingDword("LoadStart", 1);
    SetSettingDword("ByName", 1);
    SetSettingDword("BySize", 0);
    SetSettingDword("BySess", 0);
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);

    VelmoraProcess app;
    ASSERT_TRUE(app.Start(dir));
    HWND main = app.WaitForMainWindow();
    ASSERT_TRUE(main);
    AddTitle(app, "Added - AOL");
    ASSERT_TRUE(app.Settle());
    ASSERT_TRUE(TrayIconShown(app, 133)) << "started: the icon of menu 133";

    ::PostMessageA(main, WM_CLOSE, 0, 0);
    HWND box = WaitForMessageBox(app);
    ASSERT_TRUE(box);
    ShownMessage shown = ReadMessageBox(box);
    EXPECT_EQ("Access to " + path + " was denied.", shown.text);
    EXPECT_TRUE(shown.icon);
    PressButton(box, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return DialogsOf(app).empty(); }));
    ASSERT_TRUE(app.Settle());
    EXPECT_TRUE(app.Running());
    EXPECT_TRUE(::IsWindow(main));
    EXPECT_TRUE(TrayIconShown(app, 133)) << "the tray icon is back";
    EXPECT_EQ("Stop", TextOf(app.Control(1015))) << "still started";

    // The hook is set again and blocking goes on: a banned title is closed.
    WindowFactory windows;
    HWND popup = windows.Open("Banned - Opera", 400, 300);
    ASSERT_TRUE(popup);
    EXPECT_TRUE(WaitUntil([&] { return !windows.IsOpen(popup); }));
    ASSERT_TRUE(app.Settle());
    std::vector<std::string> lines = app.StatisticsLines();
    EXPECT_EQ((Lines{"Killed 1 popups in total, 1 in this session", "Banned - Opera"}), lines);

    // Once the file can be written, the close goes through and nothing is lost.
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(app.Close());
    EXPECT_EQ("Added - AOL\r\nBanned - Opera\r\n", ReadFileBytes(path));
    EXPECT_EQ((Lines{"exit.lst"}), FilesIn(dir));
}
