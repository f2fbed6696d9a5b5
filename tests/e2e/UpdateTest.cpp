// The Update button against the local stand-in for the update server that
// the test script runs on 127.0.0.1 (scripts/update_server.py): a served list
// is merged; a refused answer changes nothing and says why; a slow server
// can be cancelled, runs into the time limit, or is left by a close, while
// the program goes on blocking; a close while a long list still shows saves
// it whole. The list model's unit tests take an answer that cannot be stored.
#include <algorithm>

#include "tests/e2e/ProgramTest.h"

using namespace e2e;

namespace {

// The list file at start, already in the order the program writes it, and an
// uploaded.lst of an earlier update beside it.
const char kStartList[] = "shared\r\nx - Opera\r\n";
const char kEarlierUpload[] = "earlier upload\r\n";
const char kNothingChanged[] =
    ".\n\nNothing was changed: the list, uploaded.lst and the current list file are as they were.";

class Update : public ListFileTest {
protected:
    void SetUp() override {
        port = Env("VELMORA_HTTP_PORT");
        if (port.empty() || Env("VELMORA_HTTP_ROOT").empty())
            GTEST_SKIP() << "no local HTTP server (run through scripts/test.sh)";
        ListFileTest::SetUp();
    }
    std::string Url(const std::string& answer) const {
        return "http://127.0.0.1:" + port + "/" + answer + "/updates/velmo/latest.lst";
    }
    // Starts the program, which takes the address from the driver's
    // environment, and clicks Update.
    void StartFetching(const std::string& url, const char* stallSeconds = nullptr) {
        ASSERT_TRUE(WriteFileBytes(Path("start.lst"), kStartList));
        ASSERT_TRUE(WriteFileBytes(Path("uploaded.lst"), kEarlierUpload));
        ::SetEnvironmentVariableA("VELMORA_UPDATE_URL", url.c_str());
        ::SetEnvironmentVariableA("VELMORA_UPDATE_TIMEOUT", stallSeconds);
        StartWithList(Path("start.lst"));
        ::SetEnvironmentVariableA("VELMORA_UPDATE_URL", nullptr);
        ::SetEnvironmentVariableA("VELMORA_UPDATE_TIMEOUT", nullptr);
        ASSERT_EQ((Lines{"shared", "x - Opera"}), app.BannedList());
        app.Click(app.PageControl(kBannedPage, IDC_UPDATE));
    }
    // The progress window, once it shows the bytes of a stalled answer.
    HWND WaitForStalledDownload() {
        HWND progress = nullptr;
        bool shown = WaitUntil([&] {
            progress = nullptr;
            for (HWND dialog : DialogsOf(app))
                progress = ::GetDlgItem(dialog, IDC_UPDATE_PROGRESS) ? dialog : progress;
            return progress &&
                   TextOf(::GetDlgItem(progress, IDC_UPDATE_PROGRESS)) == "100 bytes received";
        });
        return shown ? progress : nullptr;
    }
    void ExpectFailure(const std::string& url, const std::string& reason) {
        ExpectBox("The update list could not be fetched from " + url + ": " + reason +
                  kNothingChanged);
        EXPECT_TRUE(DialogsOf(app).empty());
    }
    // The list, the files and which of them is the list file, as at start.
    void ExpectNothingChangedAfterClose() {
        EXPECT_EQ((Lines{"shared", "x - Opera"}), app.BannedList());
        ASSERT_TRUE(app.Close());
        EXPECT_EQ(kStartList, ReadFileBytes(Path("start.lst")));
        EXPECT_EQ(kEarlierUpload, ReadFileBytes(Path("uploaded.lst")));
        EXPECT_EQ((Lines{"start.lst", "uploaded.lst"}), FilesIn(dir)) << "no temporary file";
        EXPECT_EQ(Path("start.lst"), SettingString("Path"));
    }

    std::string port;
};

} // namespace

TEST_F(Update, AServedListIsMergedAndItsFileBecomesTheListFile) {
    const std::string served = "shared\r\nnew one\r\n\r\nnew two";
    std::string folder = Env("VELMORA_HTTP_ROOT");
    for (const char* part : {"merged", "updates", "velmo"})
        ::CreateDirectoryA((folder += std::string("\\") + part).c_str(), nullptr);
    ASSERT_TRUE(WriteFileBytes(folder + "\\latest.lst", served));
    StartFetching(Url("merged"));
    EXPECT_TRUE(WaitUntil([&] {
        return app.BannedList().size() == 4 && DialogsOf(app).empty() &&
               ::IsWindowEnabled(mainWindow);
    }));
    ASSERT_TRUE(app.Settle());
    EXPECT_TRUE(DialogsOf(app).empty()) << "no message";
    EXPECT_EQ((Lines{"new one", "new two", "shared", "x - Opera"}), app.BannedList());
    EXPECT_EQ(served, ReadFileBytes(Path("uploaded.lst")));
    ASSERT_TRUE(app.Close());
    EXPECT_EQ("uploaded.lst", SettingString("Path"));
    EXPECT_EQ("new one\r\nnew two\r\nshared\r\nx - Opera\r\n", ReadFileBytes(Path("uploaded.lst")))
        << "written at exit";
    EXPECT_EQ(kStartList, ReadFileBytes(Path("start.lst")));
    EXPECT_EQ((Lines{"start.lst", "uploaded.lst"}), FilesIn(dir));
}

// Each kind of refused answer is tried against the download itself
// (tests/win/UpdateDownloadTest.cpp); here one, a chunked answer cut short.
TEST_F(Update, ARefusedAnswerChangesNothingAndSaysWhy) {
    StartFetching(Url("chunkcut"));
    ExpectFailure(Url("chunkcut"),
                  "the connection ended after 44 bytes, before the end of the answer");
    ExpectNothingChangedAfterClose();
}

TEST_F(Update, ASlowDownloadCanBeCancelledWhileTheProgramGoesOnBlocking) {
    StartFetching(Url("stall/600"));
    HWND progress = WaitForStalledDownload();
    ASSERT_TRUE(progress);
    EXPECT_EQ(Url("stall/600"), TextOf(::GetDlgItem(progress, IDC_UPDATE_SOURCE)));
    EXPECT_FALSE(::IsWindowEnabled(mainWindow)) << "as under a modal dialog";
    EXPECT_FALSE(Stays("x - Opera", 1200, 800)) << "a banned title is closed";

    app.Click(::GetDlgItem(progress, IDCANCEL));
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(progress); }));
    ASSERT_TRUE(app.Settle());
    EXPECT_TRUE(::IsWindowEnabled(mainWindow));
    EXPECT_TRUE(DialogsOf(app).empty()) << "a cancel needs no message";
    ExpectNothingChangedAfterClose();
}

TEST_F(Update, AServerThatSendsNothingRunsIntoTheTimeLimit) {
    StartFetching(Url("stall/600"), "2");
    ExpectFailure(Url("stall/600"), "the server sent nothing for 2 seconds");
    ExpectNothingChangedAfterClose();
}

TEST_F(Update, CloseDuringADownloadGivesItUpAndCloses) {
    StartFetching(Url("stall/600"));
    ASSERT_TRUE(WaitForStalledDownload());
    ExpectNothingChangedAfterClose();
}

// The titles go into the list at once; a long list only shows in parts, and
// a close meanwhile saves the whole merged list where the update stored it.
TEST_F(Update, CloseWhileALongListIsStillShowingSavesTheWholeMergedList) {
    const int count = 400000;
    StartFetching(Url("titles/" + std::to_string(count)));
    HWND list = app.PageControl(kBannedPage, IDC_BANNED_LIST);
    LRESULT shown = 0;
    ASSERT_TRUE(WaitUntil(
        [&] {
            shown = ::SendMessageA(list, LB_GETCOUNT, 0, 0);
            return shown > 2 && ::IsWindowEnabled(mainWindow);
        },
        120000));
    EXPECT_LT(shown, count + 2) << "closed while the list was still showing";
    ASSERT_TRUE(app.Close(60000));
    EXPECT_EQ("uploaded.lst", SettingString("Path"));
    std::string saved = ReadFileBytes(Path("uploaded.lst"));
    EXPECT_EQ(static_cast<size_t>(count + 2),
              static_cast<size_t>(std::count(saved.begin(), saved.end(), '\n')));
    EXPECT_EQ(0u, saved.find("shared\r\nUpdate title 0000000\r\n"));
    EXPECT_NE(std::string::npos, saved.find("Update title 0399999\r\nx - Opera\r\n"));
}
