#include "listfile/UpdateDownload.h"

#include <wininet.h>

#include <algorithm>
#include <cstdlib>
#include <thread>

#include "listfile/SystemCodePage.h"
#include "listfile/SystemTitleOrder.h"
#include "framework/Handle.h"

namespace listfile {

namespace {

constexpr DWORD kReadPiece = 1 << 16;
// The maker's list is a few hundred kilobytes; a million titles are 20 MB.
constexpr unsigned long kMaxAnswerMegabytes = 64;

struct InternetHandleTraits {
    using Type = HINTERNET;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::InternetCloseHandle(h); }
};
using UniqueInternetHandle = fw::UniqueHandle<InternetHandleTraits>;

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
    std::atomic<bool> cancelled{false};
    std::atomic<unsigned long long> bytes{0};
    std::atomic<DWORD> lastProgress{0};
    std::atomic<bool> done{false};
    DownloadResult result; // the thread's until done is set

    void Fail(UpdateFailure::Kind kind, unsigned long code = 0) {
        result.failure.kind = kind;
        result.failure.code = code;
    }
    void Run();
};

void UpdateDownload::Job::Run() {
    UniqueInternetHandle session(
        ::InternetOpenA("Velmora", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session)
        return Fail(UpdateFailure::Kind::Unreachable, ::GetLastError());
    // Asked for, though the watchdog of the progress window is what counts.
    DWORD timeout = UpdateStallSeconds() * 1000;
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT,
                         INTERNET_OPTION_SEND_TIMEOUT})
        ::InternetSetOptionA(session.Get(), option, &timeout, sizeof(timeout));
    // Always the server's current list, never a cached copy.
    const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                        INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_UI;
    UniqueInternetHandle request(
        ::InternetOpenUrlA(session.Get(), url.c_str(), nullptr, 0, flags, 0));
    if (!request)
        return Fail(UpdateFailure::Kind::Unreachable, ::GetLastError());
    DWORD status = 0, size = sizeof(status);
    ::HttpQueryInfoA(request.Get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                     nullptr);
    if (!IsSuccessfulHttpStatus(status)) {
        char text[256] = {};
        DWORD textSize = sizeof(text) - 1;
        if (::HttpQueryInfoA(request.Get(), HTTP_QUERY_STATUS_TEXT, text, &textSize, nullptr))
            result.failure.statusText.assign(text, textSize);
        return Fail(UpdateFailure::Kind::HttpStatus, status);
    }
    std::vector<char> buffer(kReadPiece);
    for (;;) {
        // Whatever has come, as it comes: Wine's InternetReadFile waits to
        // fill the whole buffer, which would hide the progress.
        DWORD available = 0, got = 0;
        if (!::InternetQueryDataAvailable(request.Get(), &available, 0, 0))
            return Fail(UpdateFailure::Kind::Unreachable, ::GetLastError());
        if (cancelled)
            return;
        if (available == 0)
            break;
        if (!::InternetReadFile(request.Get(), buffer.data(), std::min(available, kReadPiece),
                                &got))
            return Fail(UpdateFailure::Kind::Unreachable, ::GetLastError());
        if (got == 0)
            break;
        result.body.append(buffer.data(), got);
        bytes += got;
        lastProgress = ::GetTickCount();
        if (result.body.size() > (kMaxAnswerMegabytes << 20)) {
            result.body.clear();
            result.failure.limit = kMaxAnswerMegabytes;
            return Fail(UpdateFailure::Kind::TooLarge);
        }
    }
    // A connection that ends early is not an error to WinINet: what came
    // would be merged as the whole list, its last title cut in two.
    char length[32] = {};
    DWORD lengthSize = sizeof(length) - 1;
    if (::HttpQueryInfoA(request.Get(), HTTP_QUERY_CONTENT_LENGTH, length, &lengthSize, nullptr)) {
        unsigned long long announced = std::strtoull(length, nullptr, 10);
        if (result.body.size() < announced) {
            result.failure.received = result.body.size();
            result.failure.announced = announced;
            result.body.clear();
            return Fail(UpdateFailure::Kind::Cut);
        }
    }
    // The reading and ordering of a large list is done here, away from the
    // window; only the insertion into the list box is left to it.
    std::vector<std::string> lines = ParseListFile(result.body, SystemCodePage(), &result.report);
    result.failure.problem = CheckUpdateAnswer(result.body, result.report, lines.size());
    if (result.failure.problem != AnswerProblem::None)
        return Fail(UpdateFailure::Kind::NotAList);
    result.titles = TitleSet::From(std::move(lines), SystemTitleOrder());
    result.ok = true;
}

std::string UpdateUrl() {
    return ChooseUpdateUrl(Environment("VELMORA_UPDATE_URL"));
}

unsigned long UpdateStallSeconds() {
    unsigned long seconds =
        std::strtoul(Environment("VELMORA_UPDATE_TIMEOUT").c_str(), nullptr, 10);
    return seconds > 0 && seconds < 86400 ? seconds : 60;
}

UpdateDownload::UpdateDownload(const std::string& url) : job(new Job) {
    job->url = url;
    job->lastProgress = ::GetTickCount();
    std::shared_ptr<Job> shared = job;
    try {
        std::thread([shared] {
            shared->Run();
            shared->done = true;
        }).detach();
    } catch (...) {
        job->Fail(UpdateFailure::Kind::Unreachable, ERROR_NOT_ENOUGH_MEMORY);
        job->done = true;
    }
}

UpdateDownload::~UpdateDownload() {
    job->cancelled = true;
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
