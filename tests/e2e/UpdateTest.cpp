// The Update button against the local stand-in for the update server that
// the test script runs on 127.0.0.1 (scripts/update_server.py): a served list
// is merged; every failed answer changes nothing and says why; a slow server
// can be cancelled, runs into the time limit, or is left by a close, while
// the program goes on blocking.
#include <gtest/gtest.h>

#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

// The list file at start, already in the order the program writes it, and an
// uploaded.lst of an earlier update beside it.
const char kStartList[] = "shared\r\nx - Opera\r\n";
const char kEarlierUpload[] = "earlier upload\r\n";
const char kNothingChanged[] =
    ".\n\nNothing was changed: the list, uploaded.lst and the current list file are as they were.";

class Update : public testing::Test {
protected:
    void SetUp() override {
        port_ = Env("VELMORA_HTTP_PORT");
        if (port_.empty() || Env("VELMORA_HTTP_ROOT").empty())
            GTEST_SKIP() << "no local HTTP server (run through scripts/test.sh)";
        dir_ = MakeWorkDir("update");
    }
    std::string Path(const std::string& name) const { return dir_ + "\\" + name; }
    std::string Url(const std::string& answer) const {
        return "http://127.0.0.1:" + port_ + "/" + answer + "/updates/velmo/latest.lst";
    }
    // The program is started with the driver's environment.
    void Start(const std::string& url, const char* stallSeconds = nullptr) {
        ASSERT_TRUE(WriteFileBytes(Path("start.lst"), kStartList));
        ASSERT_TRUE(WriteFileBytes(Path("uploaded.lst"), kEarlierUpload));
        UseQuietSettings();
        SetSettingDword("LoadOnStartup", 1);
        SetSettingDword("SaveOnExit", 1);
        SetSettingString("Path", Path("start.lst"));
        ::SetEnvironmentVariableA("VELMORA_UPDATE_URL", url.c_str());
        ::SetEnvironmentVariableA("VELMORA_UPDATE_TIMEOUT", stallSeconds);
        bool started = app_.Start(dir_);
        ::SetEnvironmentVariableA("VELMORA_UPDATE_URL", nullptr);
        ::SetEnvironmentVariableA("VELMORA_UPDATE_TIMEOUT", nullptr);
        ASSERT_TRUE(started && app_.WaitForMainWindow());
        ASSERT_EQ((Lines{"shared", "x - Opera"}), app_.BannedList());
    }
    void ClickUpdate() { app_.Click(app_.PageControl(kBannedPage, IDC_UPDATE)); }
    // The progress window, once it shows the bytes of a stalled answer.
    HWND WaitForStalledDownload() {
        HWND progress = nullptr;
        bool shown = WaitUntil([&] {
            progress = nullptr;
            for (HWND dialog : DialogsOf(app_))
                progress = TextOf(dialog) == "Update" ? dialog : progress;
            return progress &&
                   TextOf(::GetDlgItem(progress, IDC_UPDATE_PROGRESS)) == "100 bytes received";
        });
        return shown ? progress : nullptr;
    }
    void ExpectFailure(const std::string& url, const std::string& reason) {
        ExpectMessage("The update list could not be fetched from " + url + ": " + reason);
    }
    // The message that begins with text and says that nothing changed, answered.
    void ExpectMessage(const std::string& text) {
        HWND box = WaitForMessageBox(app_, text);
        ASSERT_TRUE(box) << text;
        EXPECT_EQ(text + kNothingChanged, MessageBoxText(box));
        ASSERT_TRUE(DismissMessageBox(app_, text));
        ASSERT_TRUE(app_.Settle());
    }
    // The list, the files and which of them is the list file, as at start.
    void ExpectNothingChangedAfterClose() {
        EXPECT_EQ((Lines{"shared", "x - Opera"}), app_.BannedList());
        ASSERT_TRUE(app_.Close());
        EXPECT_EQ(kStartList, ReadFileBytes(Path("start.lst")));
        EXPECT_EQ(kEarlierUpload, ReadFileBytes(Path("uploaded.lst")));
        EXPECT_EQ((Lines{"start.lst", "uploaded.lst"}), FilesIn(dir_)) << "no temporary file";
        EXPECT_EQ(Path("start.lst"), SettingString("Path"));
    }

    std::string port_, dir_;
    VelmoraProcess app_;
};

} // namespace

TEST_F(Update, AServedListIsMergedAndItsFileBecomesTheListFile) {
    const std::string served = "shared\r\nnew one\r\n\r\nnew two";
    std::string folder = Env("VELMORA_HTTP_ROOT");
    for (const char* part : {"merged", "updates", "velmo"})
        ::CreateDirectoryA((folder += std::string("\\") + part).c_str(), nullptr);
    ASSERT_TRUE(WriteFileBytes(folder + "\\latest.lst", served));
    Start(Url("merged"));
    ClickUpdate();
    EXPECT_TRUE(WaitUntil([&] {
        return app_.BannedList().size() == 4 && DialogsOf(app_).empty() &&
               ::IsWindowEnabled(app_.MainWindow());
    }));
    ASSERT_TRUE(app_.Settle());
    EXPECT_TRUE(DialogsOf(app_).empty()) << "no message";
    EXPECT_EQ((Lines{"new one", "new two", "shared", "x - Opera"}), app_.BannedList());
    EXPECT_EQ(served, ReadFileBytes(Path("uploaded.lst")));
    ASSERT_TRUE(app_.Close());
    EXPECT_EQ("uploaded.lst", SettingString("Path"));
    EXPECT_EQ("new one\r\nnew two\r\nshared\r\nx - Opera\r\n", ReadFileBytes(Path("uploaded.lst")))
        << "written at exit";
    EXPECT_EQ(kStartList, ReadFileBytes(Path("start.lst")));
    EXPECT_EQ((Lines{"start.lst", "uploaded.lst"}), FilesIn(dir_));
}

TEST_F(Update, EveryFailedAnswerChangesNothingAndSaysWhy) {
    const struct {
        std::string url, reason;
    } cases[] = {
        {Url("status/404"), "the server answered 404 Not Found"},
        {Url("status/500"), "the server answered 500 Internal Server Error"},
        {Url("empty"), "the server's answer was empty"},
        {Url("junk/100000"), "the server's answer is not a list of titles (it holds binary data)"},
        {Url("html"), "the server's answer is a web page, not a list of titles"},
        {"http://127.0.0.1:" + Env("VELMORA_CLOSED_PORT") + "/updates/velmo/latest.lst",
         "the server could not be reached (the connection was refused)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        dir_ = MakeWorkDir("update-failed");
        Start(c.url);
        ClickUpdate();
        ExpectFailure(c.url, c.reason);
        EXPECT_TRUE(DialogsOf(app_).empty());
        ExpectNothingChangedAfterClose();
    }
}

TEST_F(Update, AListThatCannotBeStoredIsNotMerged) {
    Start(Url("titles/3"));
    ASSERT_TRUE(::SetFileAttributesA(Path("uploaded.lst").c_str(), FILE_ATTRIBUTE_READONLY));
    ClickUpdate();
    ExpectMessage("The update list was fetched but could not be stored. Access to " +
                  Path("uploaded.lst") + " was denied");
    ExpectNothingChangedAfterClose();
}

TEST_F(Update, ASlowDownloadCanBeCancelledWhileTheProgramGoesOnBlocking) {
    Start(Url("stall/600"));
    ClickUpdate();
    HWND progress = WaitForStalledDownload();
    ASSERT_TRUE(progress);
    EXPECT_EQ(Url("stall/600"), TextOf(::GetDlgItem(progress, IDC_UPDATE_SOURCE)));
    EXPECT_FALSE(::IsWindowEnabled(app_.MainWindow())) << "as under a modal dialog";
    WindowFactory windows;
    EXPECT_FALSE(StaysOpen(app_, windows, "x - Opera", 1200, 800)) << "a banned title is closed";
    EXPECT_EQ((Lines{Counter(1, 1), "x - Opera"}), app_.StatisticsLines());

    app_.Click(::GetDlgItem(progress, IDCANCEL));
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(progress); }));
    ASSERT_TRUE(app_.Settle());
    EXPECT_TRUE(::IsWindowEnabled(app_.MainWindow()));
    EXPECT_TRUE(DialogsOf(app_).empty()) << "a cancel needs no message";
    ExpectNothingChangedAfterClose();
}

TEST_F(Update, AServerThatSendsNothingRunsIntoTheTimeLimit) {
    Start(Url("stall/600"), "2");
    ClickUpdate();
    ExpectFailure(Url("stall/600"), "the server sent nothing for 2 seconds");
    EXPECT_TRUE(DialogsOf(app_).empty());
    ExpectNothingChangedAfterClose();
}

TEST_F(Update, CloseDuringADownloadGivesItUpAndCloses) {
    Start(Url("stall/600"));
    ClickUpdate();
    ASSERT_TRUE(WaitForStalledDownload());
    ExpectNothingChangedAfterClose();
}
