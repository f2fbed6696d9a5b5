// The Update button against a local stand-in for the update server that the
// test script runs on 127.0.0.1 (VELMORA_HTTP_ROOT, VELMORA_HTTP_PORT).
#include <gtest/gtest.h>

#include "tests/e2e/Dialogs.h"
#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

constexpr int kUpdate = 1026;
using Lines = std::vector<std::string>;

class UpdateButton : public testing::Test {
protected:
    void SetUp() override {
        if (Env("VELMORA_HTTP_PORT").empty() || Env("VELMORA_HTTP_ROOT").empty())
            GTEST_SKIP() << "no local HTTP server (run through scripts/test.sh)";
        dir_ = MakeWorkDir("update");
    }
    void TearDown() override { ::SetEnvironmentVariableA("VELMORA_UPDATE_URL", nullptr); }

    std::string Path(const std::string& name) const { return dir_ + "\\" + name; }

    // Puts bytes on the server under /<prefix>/updates/velmo/latest.lst.
    std::string Serve(const std::string& prefix, const std::string& bytes) {
        std::string folder = Env("VELMORA_HTTP_ROOT");
        for (const char* part : {prefix.c_str(), "updates", "velmo"}) {
            folder += std::string("\\") + part;
            ::CreateDirectoryA(folder.c_str(), nullptr);
        }
        EXPECT_TRUE(WriteFileBytes(folder + "\\latest.lst", bytes));
        return Url(Env("VELMORA_HTTP_PORT"), prefix);
    }
    static std::string Url(const std::string& port, const std::string& prefix) {
        return "http://127.0.0.1:" + port + "/" + prefix + "/updates/velmo/latest.lst";
    }

    // Starts the program with this update address and the list at start.
    void Start(VelmoraProcess& app, const std::string& url, const std::string& list) {
        ASSERT_TRUE(WriteFileBytes(Path("start.lst"), list));
        UseQuietSettings();
        SetSettingDword("LoadOnStartup", 1);
        SetSettingString("Path", Path("start.lst"));
        // The program is started with the driver's environment.
        ::SetEnvironmentVariableA("VELMORA_UPDATE_URL", url.c_str());
        ASSERT_TRUE(app.Start(dir_));
        ASSERT_TRUE(app.WaitForMainWindow());
    }

    void ClickUpdate(VelmoraProcess& app) {
        app.Click(app.PageControl(0, kUpdate));
        // The download blocks the program until it is done.
        ASSERT_TRUE(app.Settle(30000));
        EXPECT_TRUE(DialogsOf(app).empty()) << "Update shows no message";
    }

    std::string dir_;
};

} // namespace

TEST_F(UpdateButton, AServedListIsMergedAndReplacesUploadedLst) {
    const std::string served = "shared\r\nnew one\r\n\r\nnew two";
    std::string url = Serve("merged", served);
    ASSERT_TRUE(WriteFileBytes(Path("uploaded.lst"), "stale title\r\n"));
    VelmoraProcess app;
    Start(app, url, "x - Opera\r\nshared\r\n");

    ClickUpdate(app);
    EXPECT_EQ((Lines{"new one", "new two", "shared", "x - Opera"}), app.BannedList());
    EXPECT_EQ(served, ReadFileBytes(Path("uploaded.lst")));
    EXPECT_EQ((Lines{"start.lst", "uploaded.lst"}), FilesIn(dir_)) << "no temporary file left";
    ASSERT_TRUE(app.Close());
    std::string path;
    EXPECT_TRUE(GetSettingString("Path", path));
    EXPECT_EQ("uploaded.lst", path);
}

TEST_F(UpdateButton, AnErrorStatusOrAClosedPortChangesNeitherTheListNorUploadedLst) {
    const std::string earlier = "earlier upload\r\n";
    ASSERT_TRUE(WriteFileBytes(Path("uploaded.lst"), earlier));
    const std::string urls[] = {
        Url(Env("VELMORA_HTTP_PORT"), "not-there"), // 404 with an HTML page
        Url(Env("VELMORA_CLOSED_PORT"), "any"),     // nobody listening
    };
    for (const std::string& url : urls) {
        SCOPED_TRACE(url);
        VelmoraProcess app;
        Start(app, url, "x - Opera\r\n");
        ClickUpdate(app);
        EXPECT_EQ((Lines{"x - Opera"}), app.BannedList()) << "an error page is never merged";
        EXPECT_EQ(earlier, ReadFileBytes(Path("uploaded.lst")));
        EXPECT_EQ((Lines{"start.lst", "uploaded.lst"}), FilesIn(dir_)) << "no temporary file left";
        ASSERT_TRUE(app.Close());
        std::string path;
        EXPECT_TRUE(GetSettingString("Path", path));
        EXPECT_EQ("uploaded.lst", path) << "the current list file all the same";
    }
}
