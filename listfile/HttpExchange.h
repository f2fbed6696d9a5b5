// The HTTP of the update download, read by this program itself: the
// request, each answer's framing, the redirects followed and the size limit.
// Portable; the connection is the caller's.
#pragma once

#include <string>

#include "listfile/ListMessages.h"

namespace listfile {

// An http:// address as a connection needs it.
struct HttpAddress {
    std::string host;
    unsigned short port = 80;
    std::string path; // from its first '/'; "/" when the address has none
};
// False for anything but an http:// address with a host (https, a user name,
// spaces or control characters, a port out of range).
bool ParseHttpAddress(const std::string& url, HttpAddress& address);

// One GET, redirects followed: the caller connects where Next() says, sends
// Request(), and hands over what comes until Next() says otherwise.
class HttpExchange {
public:
    static constexpr int kMaxRedirects = 10;
    HttpExchange(const std::string& firstUrl, unsigned long limitMegabytes);

    enum class Step { Connect, Read, Done };
    Step Next() const { return step; }
    // For Connect: where to, and the bytes to send once connected.
    const HttpAddress& Address() const { return address; }
    std::string Request() const;
    // The request went out: what comes now is its answer.
    void Connected();
    void Received(const char* data, size_t size);
    // The server ended the connection.
    void Closed();
    // The connection could not be made or broke (the system's error).
    void Failed(unsigned long systemError);

    // Once Done: the list's bytes when Ok(), else why not.
    bool Ok() const { return step == Step::Done && ok; }
    const UpdateFailure& Failure() const { return failure; }
    std::string TakeBody() { return std::move(body); }
    // The list's bytes so far, of the answer being read.
    unsigned long long BodyBytes() const { return body.size(); }

private:
    enum class Part {
        StatusLine,
        Headers,
        ChunkSize,
        ChunkData,
        ChunkEnd,
        Trailers,
        Sized,
        ToClose
    };
    bool InLine() const {
        return part != Part::ChunkData && part != Part::Sized && part != Part::ToClose;
    }
    void TakeLine();
    void Header(const std::string& name, const std::string& value);
    void EndOfHead();
    void Redirect();
    void ChunkSizeLine();
    void TakeBodyBytes(const char* data, size_t size);
    void Complete();
    void Fail(UpdateFailure::Kind kind);

    Step step = Step::Connect;
    bool ok = false;
    std::string url; // the address of the answer being read
    HttpAddress address;
    unsigned long long limit;
    int redirects = 0;
    UpdateFailure failure;

    Part part = Part::StatusLine;
    std::string line;
    size_t headBytes = 0; // of the head and the trailers
    unsigned long long framingBytes = 0, answerBytes = 0;
    unsigned long status = 0;
    std::string statusText, location, lengthText;
    bool hasLength = false, chunked = false;
    unsigned long long remaining = 0; // of the announced length or the chunk
    std::string body;
};

} // namespace listfile
