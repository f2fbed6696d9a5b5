// Fetching the update list over HTTP on a thread of its own.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "listfile/ListMessages.h"
#include "listfile/TitleSet.h"

namespace listfile {

// The update address: VELMORA_UPDATE_URL when set, else the maker's server.
std::string UpdateUrl();
// How long the server may send nothing before the update is given up:
// VELMORA_UPDATE_TIMEOUT seconds when set (tests), else 60.
unsigned long UpdateStallSeconds();

// What a finished download brought.
struct DownloadResult {
    bool ok = false;
    UpdateFailure failure; // when not ok
    std::string body;      // the answer's body as it came, stored as uploaded.lst
    ReadReport report;
    // Its titles, each once, in the order the list shows them.
    TitleSet titles;
};

// One download, over a socket of its own (HTTP read by the program itself:
// Wine's WinINet and WinHTTP take an answer cut short for a whole one). The
// thread keeps the state it shares with this object; it waits on the
// socket and on a stop event at once, so that it ends within milliseconds
// of the destruction, whatever the server does (a name lookup under way
// apart, which nothing breaks off).
class UpdateDownload {
public:
    // Starts at once. When done, message is posted to the window (if any),
    // so that the result is taken without waiting for a timer.
    explicit UpdateDownload(const std::string& url, HWND notify = nullptr, UINT message = 0);
    // Stops the download; its thread ends by itself moments later.
    ~UpdateDownload();
    UpdateDownload(const UpdateDownload&) = delete;
    UpdateDownload& operator=(const UpdateDownload&) = delete;

    unsigned long long BytesSoFar() const;
    // GetTickCount of the start or of the last bytes that came.
    DWORD LastProgress() const;
    bool Done() const;
    // Once Done(): the result, handed over once.
    DownloadResult TakeResult();
    // Whether the thread of some download has not ended yet.
    static bool AnyRunning();

    struct Job;

private:
    std::shared_ptr<Job> job;
};

} // namespace listfile
