#include <gtest/gtest.h>

#include "listfile/HttpExchange.h"

using namespace listfile;

namespace {

const char kUrl[] = "http://lists.example:8080/updates/latest.lst";
constexpr unsigned long kLimitMb = 1;

// What one answer comes to: the list's bytes, or the reason of the message.
std::string Outcome(const HttpExchange& http, const std::string& body) {
    if (http.Next() != HttpExchange::Step::Done)
        return "<not done>";
    if (http.Ok())
        return "list: " + body;
    std::string message = UpdateFailedMessage(http.Failure(), kUrl);
    return message.substr(0, message.find(".\n\n"));
}

// The answer fed whole, then byte by byte (every split of a line or a chunk
// header), and the connection closed unless the exchange ended first; both
// must come to the same.
std::string Answer(const std::string& bytes, bool close = true) {
    std::string outcomes[2];
    for (int byByte = 0; byByte < 2; ++byByte) {
        HttpExchange http(kUrl, kLimitMb);
        http.Connected();
        for (size_t at = 0; at < bytes.size() && http.Next() == HttpExchange::Step::Read;) {
            size_t size = byByte ? 1 : bytes.size();
            http.Received(bytes.data() + at, size);
            at += size;
        }
        if (close)
            http.Closed();
        outcomes[byByte] = Outcome(http, http.TakeBody());
    }
    EXPECT_EQ(outcomes[0], outcomes[1]) << "fed byte by byte";
    return outcomes[0];
}

std::string Failed(const std::string& reason) {
    return std::string("The update list could not be fetched from ") + kUrl + ": " + reason;
}

} // namespace

TEST(HttpExchange, AnAnswerIsCompleteOnlyByItsOwnFramingOrRefusedWithItsCause) {
    const std::string ok = "HTTP/1.1 200 OK\r\n";
    const std::string chunked = ok + "Transfer-Encoding: chunked\r\n\r\n";
    const std::string twoTitles = "Ad One - Opera\r\nAd Two - Netscape\r\n";
    const struct {
        std::string answer, outcome;
        bool close;
    } cases[] = {
        {ok + "Content-Length: 5\r\n\r\nab\r\ncEXTRA", "list: ab\r\nc", false},
        {"HTTP/1.0 200 OK\nContent-length:  5 \n\nab\ncd", "list: ab\ncd", true},
        {ok + "Content-Length: 525\r\n\r\n" + std::string(25, 'x'),
         Failed("the connection ended after 25 of the 525 bytes the server announced"), true},
        {ok + "Content-Length: 4, 4\r\n\r\nabcd", "list: abcd", false},
        {ok + "Content-Length: 0\r\n\r\n", "list: ", false},
        {ok + "\r\nuntil the end", "list: until the end", true},
        // Chunked: sizes in either case, extensions, trailers.
        {chunked + "5;name=value\r\nab\r\nc\r\nA\r\n0123456789\r\n0\r\nTrailer: x\r\n\r\nnext",
         "list: ab\r\nc0123456789", false},
        {ok + "Transfer-Encoding: gzip, Chunked\r\nContent-Length: 1\r\n\r\n2\r\nab\r\n0\r\n",
         "list: ab", true},
        // Cut short: in a chunk, before the next chunk header, before the
        // last chunk's line end. Once the last chunk came, only trailers are
        // missing.
        {chunked + "23\r\n" + twoTitles + "\r\n1000\r\nHalf - Op",
         Failed("the connection ended after 44 bytes, before the end of the answer"), true},
        {chunked + "2\r\nab\r\n",
         Failed("the connection ended after 2 bytes, before the end of "
                "the answer"),
         true},
        {chunked + "2\r\nab",
         Failed("the connection ended after 2 bytes, before the end of the "
                "answer"),
         true},
        {chunked + "2\r\nab\r\n0\r\n", "list: ab", true},
        // Lengths that are no number of bytes.
        {ok + "Content-Length: -5\r\n\r\n" + twoTitles,
         Failed("the server announced the answer's length as \"-5\", which is not a number of "
                "bytes"),
         true},
        {ok + "Content-Length: abc\r\n\r\n",
         Failed("the server announced the answer's length as \"abc\", which is not a number of "
                "bytes"),
         true},
        {ok + "Content-Length: 4\r\nContent-Length: 5\r\n\r\nabcd",
         Failed("the server announced the answer's length as \"4, 5\", which is not a number of "
                "bytes"),
         true},
        {ok + "Content-Length: +4\r\n\r\nabcd",
         Failed("the server announced the answer's length as \"+4\", which is not a number of "
                "bytes"),
         true},
        // Over the limit: said at once when announced, else as soon as passed.
        {ok + "Content-Length: 1073741824\r\n\r\n",
         Failed("the server's answer is larger than 1 MB"), false},
        {ok + "Content-Length: 99999999999999999999999999\r\n\r\n",
         Failed("the server's answer is larger than 1 MB"), false},
        {chunked + "100001\r\n", Failed("the server's answer is larger than 1 MB"), false},
        {ok + "\r\n" + std::string(1 << 20, 'x'), "list: " + std::string(1 << 20, 'x'), true},
        {ok + "\r\n" + std::string((1 << 20) + 1, 'x'),
         Failed("the server's answer is larger than 1 MB"), false},
        // Other answers.
        {"HTTP/1.1 404 Not Found\r\nContent-Length: 3\r\n\r\nabc",
         Failed("the server answered 404 Not Found"), false},
        {"HTTP/1.1 100 Continue\r\n\r\n" + ok + "Content-Length: 2\r\n\r\nab", "list: ab", false},
        {"SSH-2.0-OpenSSH_9.2\r\n", Failed("the server's answer is not valid HTTP"), false},
        {chunked + "2\r\nabX\r\n", Failed("the server's answer is not valid HTTP"), false},
        {chunked + "zz\r\n", Failed("the server's answer is not valid HTTP"), false},
        {ok + "X: " + std::string(70000, 'x'), Failed("the server's answer is not valid HTTP"),
         false},
        {ok, Failed("the server's answer is not valid HTTP"), true},
        {"", Failed("the server closed the connection without an answer"), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer.substr(0, 120));
        EXPECT_EQ(c.outcome, Answer(c.answer, c.close));
    }
}

TEST(HttpExchange, RedirectsAreFollowedUpToTheLimitAndNamedInTheMessage) {
    // Each answer redirects to the location given; the addresses connected to.
    auto follow = [](const std::vector<std::string>& locations, std::vector<std::string>& paths) {
        HttpExchange http(kUrl, kLimitMb);
        paths.clear();
        for (const std::string& location : locations) {
            if (http.Next() != HttpExchange::Step::Connect)
                break;
            paths.push_back(http.Address().host + ":" + std::to_string(http.Address().port) +
                            http.Address().path);
            http.Connected();
            std::string answer = "HTTP/1.1 302 Found\r\nLocation: " + location + "\r\n\r\n";
            http.Received(answer.data(), answer.size());
        }
        return Outcome(http, std::string());
    };
    std::vector<std::string> paths;
    follow({"next.lst", "/top", "//other:81/x?y", "http://third/", "https://secure/x"}, paths);
    EXPECT_EQ((std::vector<std::string>{"lists.example:8080/updates/latest.lst",
                                        "lists.example:8080/updates/next.lst",
                                        "lists.example:8080/top", "other:81/x?y", "third:80/"}),
              paths);
    EXPECT_EQ("The update list could not be fetched from " + std::string(kUrl) +
                  " (redirected to https://secure/x): the address is not a valid http:// address",
              follow({"https://secure/x"}, paths));

    std::vector<std::string> loop(HttpExchange::kMaxRedirects + 1, "/loop");
    EXPECT_EQ("The update list could not be fetched from " + std::string(kUrl) +
                  " (redirected to http://lists.example:8080/loop): the server redirected the "
                  "request more than 10 times",
              follow(loop, paths));
    EXPECT_EQ(11u, paths.size());
    loop.pop_back();
    EXPECT_EQ("<not done>", follow(loop, paths)) << "ten redirects are followed";

    HttpExchange noLocation(kUrl, kLimitMb);
    noLocation.Connected();
    std::string answer = "HTTP/1.1 302 Found\r\n\r\n";
    noLocation.Received(answer.data(), answer.size());
    EXPECT_EQ(Failed("the server answered 302 Found"), Outcome(noLocation, std::string()));
}

TEST(HttpExchange, OnlyPlainHttpAddressesAreAskedFor) {
    HttpExchange http("HTTP://[::1]:81/a b?q#part", kLimitMb);
    EXPECT_EQ(HttpExchange::Step::Done, http.Next()) << "a space";
    for (const char* bad : {"https://host/x", "ftp://host/", "http://", "http://:80/",
                            "http://u@host/", "http://host:0/", "http://host:65536/",
                            "http://host:8x/", "http://ho st/", "file:///c:/x.lst"}) {
        HttpAddress address;
        EXPECT_FALSE(ParseHttpAddress(bad, address)) << bad;
    }
    HttpExchange v6("HTTP://[::1]:81?q=\xE9#part", kLimitMb);
    ASSERT_EQ(HttpExchange::Step::Connect, v6.Next());
    EXPECT_EQ("::1", v6.Address().host);
    EXPECT_EQ("GET /?q=%E9 HTTP/1.1\r\nHost: [::1]:81\r\nUser-Agent: Velmora\r\nAccept: */*\r\n"
              "Cache-Control: no-cache\r\nPragma: no-cache\r\nConnection: close\r\n\r\n",
              v6.Request());
    HttpExchange plain("http://example.com", kLimitMb);
    EXPECT_EQ(0u, plain.Request().find("GET / HTTP/1.1\r\nHost: example.com\r\n"));
}
