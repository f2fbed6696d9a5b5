// The update download over real sockets against the local stand-in for the
// update server (scripts/update_server.py, run by scripts/test.sh): answers
// read in parts, across connections or endless, a web page and no server
// come to their outcome, and the download's thread ends once the download
// is done or stopped. How each answer is read is the HTTP exchange's unit
// tests; an answer cut short, the end-to-end tests'.
#include <gtest/gtest.h>

#include "listfile/UpdateDownload.h"
#include "tests/e2e/Harness.h"

using listfile::UpdateDownload;

namespace {

class Download : public testing::Test {
protected:
    void SetUp() override {
        port = e2e::Env("VELMORA_HTTP_PORT");
        if (port.empty())
            GTEST_SKIP() << "no local HTTP server (run through scripts/test.sh)";
    }
    std::string Url(const std::string& answer) const {
        return "http://127.0.0.1:" + port + "/" + answer + "/updates/velmo/latest.lst";
    }
    // The titles it brought, or the reason the message gives.
    static std::string Outcome(UpdateDownload& download, const std::string& url) {
        if (!e2e::WaitUntil([&] { return download.Done(); }, 120000))
            return "<not done>";
        listfile::DownloadResult result = download.TakeResult();
        std::string outcome;
        if (result.ok) {
            for (size_t i = 0; i < result.titles.Size(); ++i)
                outcome += (outcome.empty() ? "titles: " : ", ") + result.titles.At(i);
            return outcome;
        }
        outcome = UpdateFailedMessage(result.failure, url);
        return outcome.substr(0, outcome.find(".\n\n"));
    }
    static bool ThreadEnds() {
        return e2e::WaitUntil([] { return !UpdateDownload::AnyRunning(); });
    }

    std::string port;
};

} // namespace

TEST_F(Download, EachKindOfAnswerComesToItsOutcomeAndTheThreadEnds) {
    const std::string from = "The update list could not be fetched from ";
    const std::string closedPort =
        "http://127.0.0.1:" + e2e::Env("VELMORA_CLOSED_PORT") + "/updates/velmo/latest.lst";
    const struct {
        std::string url, outcome;
    } cases[] = {
        {Url("chunked"), "titles: Chunk one - Opera, Chunk two - Netscape"},
        {Url("redirect/3/titles/2"), "titles: Update title 0000000, Update title 0000001"},
        {Url("endless"), from + Url("endless") + ": the server's answer is larger than 64 MB"},
        {Url("htmlmark"),
         from + Url("htmlmark") + ": the server's answer is a web page, not a list of titles"},
        {closedPort,
         from + closedPort + ": the server could not be reached (the connection was refused)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        UpdateDownload download(c.url);
        EXPECT_EQ(c.outcome, Outcome(download, c.url));
        EXPECT_TRUE(ThreadEnds());
    }
}

TEST_F(Download, AStoppedDownloadEndsItsThreadWhileTheServerStalls) {
    {
        UpdateDownload download(Url("stall/600"));
        ASSERT_TRUE(e2e::WaitUntil([&] { return download.BytesSoFar() == 100; }));
        EXPECT_TRUE(UpdateDownload::AnyRunning());
    }
    EXPECT_TRUE(ThreadEnds());
}
