#include "listfile/HttpExchange.h"

#include <algorithm>
#include <cstring>

namespace listfile {

namespace {

// A head (or trailer section) or a line longer than these is no answer of a
// list server.
constexpr size_t kMaxHeadBytes = 64 * 1024;
constexpr size_t kMaxLineBytes = 8 * 1024;

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c | 0x20) : c;
}

bool StartsWithNoCase(const std::string& text, const char* prefix) {
    size_t length = std::strlen(prefix);
    if (text.size() < length)
        return false;
    for (size_t i = 0; i < length; ++i)
        if (Lower(text[i]) != prefix[i])
            return false;
    return true;
}

std::string Trimmed(const std::string& text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A decimal number of bytes, growing no further once it is past any limit.
bool ParseByteCount(const std::string& text, unsigned long long& value) {
    if (text.empty() || !std::all_of(text.begin(), text.end(), IsDigit))
        return false;
    value = 0;
    for (char c : text)
        value = std::min(value * 10 + static_cast<unsigned>(c - '0'), 1ULL << 62);
    return true;
}

} // namespace

bool ParseHttpAddress(const std::string& url, HttpAddress& address) {
    if (!StartsWithNoCase(url, "http://"))
        return false;
    for (char c : url)
        if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7F)
            return false;
    size_t start = 7, end = url.find_first_of("/?#", start);
    std::string authority = url.substr(start, end - start);
    std::string rest = end == std::string::npos ? std::string() : url.substr(end);
    rest = rest.substr(0, rest.find('#'));
    if (authority.find('@') != std::string::npos)
        return false;
    // A bracketed IPv6 literal, or a name or IPv4 address; then perhaps a port.
    size_t colon = authority.rfind(':');
    if (colon != std::string::npos && authority.find(']', colon) != std::string::npos)
        colon = std::string::npos;
    std::string host = authority.substr(0, colon);
    if (host.size() > 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    if (host.empty() || host.find_first_of("[]") != std::string::npos)
        return false;
    unsigned long long port = 80;
    if (colon != std::string::npos &&
        (!ParseByteCount(authority.substr(colon + 1), port) || port == 0 || port > 65535))
        return false;
    address.host = host;
    address.port = static_cast<unsigned short>(port);
    address.path = rest.empty() || rest[0] != '/' ? "/" + rest : rest;
    return true;
}

HttpExchange::HttpExchange(const std::string& firstUrl, unsigned long limitMegabytes)
    : url(firstUrl), limit(static_cast<unsigned long long>(limitMegabytes) << 20) {
    failure.limit = limitMegabytes;
    if (!ParseHttpAddress(url, address))
        Fail(UpdateFailure::Kind::BadAddress);
}

std::string HttpExchange::Request() const {
    std::string path;
    for (char c : address.path) {
        // Bytes beyond ASCII go escaped, as a browser sends them.
        unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            path += c;
        } else {
            path += '%';
            path += "0123456789ABCDEF"[byte >> 4];
            path += "0123456789ABCDEF"[byte & 15];
        }
    }
    std::string host =
        address.host.find(':') != std::string::npos ? "[" + address.host + "]" : address.host;
    if (address.port != 80)
        host += ":" + std::to_string(address.port);
    // One answer per connection, and never a cached copy.
    return "GET " + path + " HTTP/1.1\r\nHost: " + host +
           "\r\nUser-Agent: Velmora\r\nAccept: */*\r\nCache-Control: no-cache\r\n"
           "Pragma: no-cache\r\nConnection: close\r\n\r\n";
}

void HttpExchange::Connected() {
    if (step != Step::Connect)
        return;
    step = Step::Read;
    part = Part::StatusLine;
    line.clear();
    headBytes = framingBytes = answerBytes = 0;
    status = 0;
    statusText.clear();
    location.clear();
    lengthText.clear();
    hasLength = chunked = false;
    body.clear();
}

void HttpExchange::Received(const char* data, size_t size) {
    answerBytes += size;
    while (size > 0 && step == Step::Read) {
        if (!InLine()) {
            size_t take = part == Part::ToClose
                              ? size
                              : static_cast<size_t>(std::min<unsigned long long>(size, remaining));
            TakeBodyBytes(data, take);
            data += take;
            size -= take;
            continue;
        }
        const char* end = static_cast<const char*>(std::memchr(data, '\n', size));
        size_t take = end ? static_cast<size_t>(end - data) + 1 : size;
        // Chunk lines count against the size limit, so that framing alone
        // cannot go on for ever.
        bool framing = part == Part::ChunkSize || part == Part::ChunkEnd;
        if (framing)
            framingBytes += take;
        else
            headBytes += take;
        if (line.size() + take > kMaxLineBytes || headBytes > kMaxHeadBytes)
            return Fail(UpdateFailure::Kind::Malformed);
        if (framingBytes > limit)
            return Fail(UpdateFailure::Kind::TooLarge);
        line.append(data, take);
        data += take;
        size -= take;
        if (end) {
            line.pop_back();
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            TakeLine();
            line.clear();
        }
    }
}

void HttpExchange::TakeLine() {
    switch (part) {
    case Part::StatusLine: {
        if (line.empty())
            return; // an empty line before the status line is tolerated
        // HTTP/1.x NNN reason
        if (line.size() < 12 || line.compare(0, 7, "HTTP/1.") != 0 || line[8] != ' ' ||
            !IsDigit(line[9]) || !IsDigit(line[10]) || !IsDigit(line[11]) ||
            (line.size() > 12 && line[12] != ' ')) {
            return Fail(UpdateFailure::Kind::Malformed);
        }
        status = std::stoul(line.substr(9, 3));
        statusText = Trimmed(line.substr(std::min<size_t>(13, line.size())));
        part = Part::Headers;
        return;
    }
    case Part::Headers: {
        if (line.empty())
            return EndOfHead();
        size_t colon = line.find(':');
        if (colon == std::string::npos || colon == 0)
            return Fail(UpdateFailure::Kind::Malformed);
        std::string name = line.substr(0, colon);
        std::transform(name.begin(), name.end(), name.begin(), Lower);
        Header(name, Trimmed(line.substr(colon + 1)));
        return;
    }
    case Part::ChunkSize:
        return ChunkSizeLine();
    case Part::ChunkEnd:
        if (!line.empty())
            return Fail(UpdateFailure::Kind::Malformed);
        part = Part::ChunkSize;
        return;
    case Part::Trailers:
        if (line.empty())
            Complete();
        return;
    case Part::ChunkData:
    case Part::Sized:
    case Part::ToClose:
        return;
    }
}

void HttpExchange::Header(const std::string& name, const std::string& value) {
    if (name == "location") {
        location = value;
    } else if (name == "content-length") {
        // Repeated, or a list: every value must be the same.
        lengthText = hasLength ? lengthText + ", " + value : value;
        hasLength = true;
    } else if (name == "transfer-encoding") {
        // The last coding decides how the body ends.
        std::string last = Trimmed(value.substr(value.rfind(',') + 1));
        std::transform(last.begin(), last.end(), last.begin(), Lower);
        chunked = last == "chunked";
    }
}

void HttpExchange::EndOfHead() {
    if (status >= 100 && status < 200) { // an interim answer; the real one follows
        part = Part::StatusLine;
        hasLength = chunked = false;
        location.clear();
        lengthText.clear();
        return;
    }
    bool redirect =
        status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
    if (redirect && !location.empty())
        return Redirect();
    if (!IsSuccessfulHttpStatus(status)) {
        failure.code = status;
        failure.statusText = statusText;
        return Fail(UpdateFailure::Kind::HttpStatus);
    }
    if (status == 204 || status == 304)
        return Complete();
    if (chunked) {
        part = Part::ChunkSize;
        return;
    }
    if (!hasLength) {
        part = Part::ToClose;
        return;
    }
    unsigned long long length = 0;
    bool valid = true, first = true;
    size_t at = 0;
    while (valid && at <= lengthText.size()) {
        size_t comma = std::min(lengthText.find(',', at), lengthText.size());
        unsigned long long value = 0;
        valid = ParseByteCount(Trimmed(lengthText.substr(at, comma - at)), value) &&
                (first || value == length);
        length = value;
        first = false;
        at = comma + 1;
    }
    if (!valid) {
        failure.lengthText = lengthText;
        return Fail(UpdateFailure::Kind::BadLength);
    }
    if (length > limit) {
        failure.announced = length;
        return Fail(UpdateFailure::Kind::TooLarge);
    }
    failure.announced = remaining = length;
    part = Part::Sized;
    if (length == 0)
        Complete();
}

void HttpExchange::Redirect() {
    std::string target;
    if (StartsWithNoCase(location, "http://")) {
        target = location;
    } else if (location.compare(0, 2, "//") == 0) {
        target = "http:" + location;
    } else if (location.find("://") != std::string::npos) {
        target = location; // another scheme: refused below
    } else {
        std::string authority = url.substr(0, url.find_first_of("/?#", 7));
        if (location[0] == '/')
            target = authority + location;
        else
            target = authority + address.path.substr(0, address.path.rfind('/') + 1) + location;
    }
    failure.redirectedTo = target;
    if (++redirects > kMaxRedirects) {
        failure.limit = kMaxRedirects;
        return Fail(UpdateFailure::Kind::TooManyRedirects);
    }
    url = target;
    if (!ParseHttpAddress(url, address))
        return Fail(UpdateFailure::Kind::BadAddress);
    step = Step::Connect;
}

void HttpExchange::ChunkSizeLine() {
    // Hex digits, then perhaps extensions after ';', which mean nothing here.
    std::string digits = Trimmed(line.substr(0, line.find(';')));
    if (digits.empty() || digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return Fail(UpdateFailure::Kind::Malformed);
    unsigned long long size = 0;
    for (char c : digits) {
        unsigned digit = IsDigit(c) ? c - '0' : (Lower(c) - 'a' + 10);
        size = std::min(size * 16 + digit, 1ULL << 62);
    }
    if (size == 0) {
        part = Part::Trailers;
        return;
    }
    if (body.size() + size > limit)
        return Fail(UpdateFailure::Kind::TooLarge);
    remaining = size;
    part = Part::ChunkData;
}

void HttpExchange::TakeBodyBytes(const char* data, size_t size) {
    if (body.size() + size > limit)
        return Fail(UpdateFailure::Kind::TooLarge);
    body.append(data, size);
    if (part == Part::ToClose)
        return;
    remaining -= size;
    if (remaining > 0)
        return;
    if (part == Part::Sized)
        Complete();
    else
        part = Part::ChunkEnd;
}

void HttpExchange::Closed() {
    if (step != Step::Read)
        return;
    switch (part) {
    case Part::ToClose:
    case Part::Trailers: // the last chunk came; only the trailers' end is missing
        return Complete();
    case Part::Sized:
        failure.received = body.size();
        return Fail(UpdateFailure::Kind::Cut);
    case Part::ChunkSize:
    case Part::ChunkData:
    case Part::ChunkEnd:
        failure.received = body.size();
        return Fail(UpdateFailure::Kind::CutChunked);
    case Part::StatusLine:
    case Part::Headers:
        return Fail(UpdateFailure::Kind::Malformed);
    }
}

void HttpExchange::Failed(unsigned long systemError) {
    failure.code = systemError;
    Fail(UpdateFailure::Kind::Unreachable);
}

void HttpExchange::Complete() {
    step = Step::Done;
    ok = true;
}

void HttpExchange::Fail(UpdateFailure::Kind kind) {
    failure.kind = kind;
    if (kind == UpdateFailure::Kind::Malformed)
        failure.received = answerBytes;
    body.clear();
    step = Step::Done;
    ok = false;
}

} // namespace listfile
