// Winsock 2 before windows.h, which would bring the first Winsock.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "listfile/UpdateDownload.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <thread>

#include "listfile/HttpExchange.h"
#include "listfile/SystemCodePage.h"
#include "listfile/SystemTitleOrder.h"
#include "framework/Handle.h"

namespace listfile {

namespace {

constexpr int kReadPiece = 1 << 16;
// The maker's list is a few hundred kilobytes; a million titles are 20 MB.
constexpr unsigned long kMaxAnswerMegabytes = 64;
// The list is read in pieces of this size, so that a stop is seen between them.
constexpr size_t kParsePiece = 1 << 20;

std::atomic<int> runningThreads{0};

struct SocketTraits {
    using Type = SOCKET;
    static Type Invalid() { return INVALID_SOCKET; }
    static void Close(Type s) { ::closesocket(s); }
};
using UniqueSocket = fw::UniqueHandle<SocketTraits>;

struct AddressInfoTraits {
    using Type = addrinfo*;
    static Type Invalid() { return nullptr; }
    static void Close(Type info) { ::freeaddrinfo(info); }
};

std::string Environment(const char* name) {
    DWORD size = ::GetEnvironmentVariableA(name, nullptr, 0);
    if (size == 0)
        return std::string();
    std::vector<char> buffer(size + 1, '\0');
    DWORD got = ::GetEnvironmentVariableA(name, buffer.data(), static_cast<DWORD>(buffer.size()));
    return got > 0 && got < buffer.size() ? std::string(buffer.data(), got) : std::string();
}

} // namespace

struct UpdateDownload::Job {
    std::string url;
    // Set by the window's thread; the download waits on it beside its socket.
    fw::UniqueKernelHandle stop{::CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    std::atomic<bool> cancelled{false};
    std::atomic<unsigned long long> bytes{0};
    std::atomic<DWORD> lastProgress{0};
    std::atomic<bool> done{false};
    DownloadResult result; // the thread's until done is set

    void Run();
    void Fetch(HttpExchange& http);
    // Connects to the exchange's address; the system's error when it cannot.
    int Connect(const HttpAddress& address, UniqueSocket& socket, HANDLE ready);
    // Waits until the socket has news (then in events) or the download is
    // stopped (then false).
    bool Wait(SOCKET socket, HANDLE ready, WSANETWORKEVENTS& events);
    bool ParseList();
};

bool UpdateDownload::Job::Wait(SOCKET socket, HANDLE ready, WSANETWORKEVENTS& events) {
    HANDLE handles[] = {stop.Get(), ready};
    if (::WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0 + 1)
        return false;
    events = WSANETWORKEVENTS();
    ::WSAEnumNetworkEvents(socket, ready, &events); // resets ready
    return true;
}

int UpdateDownload::Job::Connect(const HttpAddress& address, UniqueSocket& socket, HANDLE ready) {
    // The name lookup is the one wait that a stop cannot break off.
    addrinfo hints = {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    int error =
        ::getaddrinfo(address.host.c_str(), std::to_string(address.port).c_str(), &hints, &found);
    if (error != 0)
        return error;
    fw::UniqueHandle<AddressInfoTraits> addresses(found);
    error = WSAECONNREFUSED;
    for (addrinfo* at = addresses.Get(); at && !cancelled; at = at->ai_next) {
        socket.Reset(::socket(at->ai_family, at->ai_socktype, at->ai_protocol));
        // The socket's events set ready, and the socket no longer blocks.
        if (!socket || ::WSAEventSelect(socket.Get(), ready,
                                        FD_CONNECT | FD_READ | FD_WRITE | FD_CLOSE) != 0) {
            error = ::WSAGetLastError();
            continue;
        }
        if (::connect(socket.Get(), at->ai_addr, static_cast<int>(at->ai_addrlen)) == 0)
            return 0;
        error = ::WSAGetLastError();
        if (error != WSAEWOULDBLOCK)
            continue;
        WSANETWORKEVENTS events;
        do {
            if (!Wait(socket.Get(), ready, events))
                return WSAEINTR;
        } while (!(events.lNetworkEvents & FD_CONNECT));
        error = events.iErrorCode[FD_CONNECT_BIT];
        if (error == 0)
            return 0;
    }
    socket.Reset();
    return error;
}

// One connection: the request out, its answer in, until the exchange has
// what it needs from it.
void UpdateDownload::Job::Fetch(HttpExchange& http) {
    fw::UniqueKernelHandle ready(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    UniqueSocket socket;
    if (!ready)
        return http.Failed(::GetLastError());
    if (int error = Connect(http.Address(), socket, ready.Get()))
        return http.Failed(static_cast<unsigned long>(error));
    http.Connected();
    std::string request = http.Request();
    WSANETWORKEVENTS events;
    for (size_t sent = 0; sent < request.size() && !cancelled;) {
        int n =
            ::send(socket.Get(), request.data() + sent, static_cast<int>(request.size() - sent), 0);
        if (n > 0)
            sent += static_cast<size_t>(n);
        else if (::WSAGetLastError() != WSAEWOULDBLOCK)
            return http.Failed(static_cast<unsigned long>(::WSAGetLastError()));
        else if (!Wait(socket.Get(), ready.Get(), events))
            return;
    }
    std::vector<char> buffer(kReadPiece);
    while (http.Next() == HttpExchange::Step::Read && !cancelled) {
        int n = ::recv(socket.Get(), buffer.data(), kReadPiece, 0);
        if (n > 0) {
            http.Received(buffer.data(), static_cast<size_t>(n));
            bytes = http.BodyBytes();
            lastProgress = ::GetTickCount();
        } else if (n == 0) {
            http.Closed();
        } else if (::WSAGetLastError() != WSAEWOULDBLOCK) {
            http.Failed(static_cast<unsigned long>(::WSAGetLastError()));
        } else if (!Wait(socket.Get(), ready.Get(), events)) {
            return;
        }
    }
}

// The reading and ordering of a large list is done here, away from the
// window; only the insertion into the list box is left to it.
bool UpdateDownload::Job::ParseList() {
    SystemCodePage codePage;
    LineReader reader(codePage);
    std::vector<std::string> lines;
    for (size_t at = 0; at < result.body.size(); at += kParsePiece) {
        if (cancelled)
            return false;
        reader.Feed(result.body.data() + at, std::min(kParsePiece, result.body.size() - at), lines);
    }
    reader.Finish(lines);
    result.report = reader.Report();
    result.failure.problem = CheckUpdateAnswer(result.body, result.report, lines.size());
    if (result.failure.problem != AnswerProblem::None) {
        result.failure.kind = UpdateFailure::Kind::NotAList;
        return false;
    }
    // Seconds for a million titles: a stop is looked for on the way.
    result.titles = TitleSet::From(std::move(lines), SystemTitleOrder(), &cancelled);
    return !cancelled;
}

void UpdateDownload::Job::Run() {
    HttpExchange http(url, kMaxAnswerMegabytes);
    WSADATA data;
    if (int error = ::WSAStartup(MAKEWORD(2, 2), &data)) {
        http.Failed(static_cast<unsigned long>(error));
    } else {
        while (http.Next() == HttpExchange::Step::Connect && !cancelled)
            Fetch(http);
        ::WSACleanup();
    }
    if (cancelled)
        return;
    if (!http.Ok()) {
        result.failure = http.Failure();
        return;
    }
    result.body = http.TakeBody();
    result.ok = ParseList();
}

std::string UpdateUrl() {
    return ChooseUpdateUrl(Environment("VELMORA_UPDATE_URL"));
}

unsigned long UpdateStallSeconds() {
    unsigned long seconds =
        std::strtoul(Environment("VELMORA_UPDATE_TIMEOUT").c_str(), nullptr, 10);
    return seconds > 0 && seconds < 86400 ? seconds : 60;
}

UpdateDownload::UpdateDownload(const std::string& url, HWND notify, UINT message) : job(new Job) {
    job->url = url;
    job->lastProgress = ::GetTickCount();
    std::shared_ptr<Job> shared = job;
    ++runningThreads;
    try {
        if (!job->stop)
            throw std::bad_alloc();
        std::thread([shared, notify, message] {
            shared->Run();
            shared->done = true;
            // A stopped download's window may be gone: its message then goes nowhere.
            if (notify && !shared->cancelled)
                ::PostMessageA(notify, message, 0, 0);
            --runningThreads;
        }).detach();
    } catch (...) {
        --runningThreads;
        job->result.failure.kind = UpdateFailure::Kind::Unreachable;
        job->result.failure.code = ERROR_NOT_ENOUGH_MEMORY;
        job->done = true;
    }
}

UpdateDownload::~UpdateDownload() {
    job->cancelled = true;
    ::SetEvent(job->stop.Get());
}

bool UpdateDownload::AnyRunning() {
    return runningThreads > 0;
}

unsigned long long UpdateDownload::BytesSoFar() const {
    return job->bytes;
}

DWORD UpdateDownload::LastProgress() const {
    return job->lastProgress;
}

bool UpdateDownload::Done() const {
    return job->done;
}

DownloadResult UpdateDownload::TakeResult() {
    return std::move(job->result);
}

} // namespace listfile
