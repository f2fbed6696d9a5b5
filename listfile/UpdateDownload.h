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
    std::string body;      // the answer as it came, stored as uploaded.lst
    ReadReport report;
    // Its titles, each once, in the order the list shows them.
    TitleSet titles;
};

// One download. The thread keeps the state it shares with this object, so a
// download that is given up on may end whenever the network lets it (Wine's
// WinINet neither honours its receive timeout nor lets a blocked read be
// broken off); its result is then dropped.
class UpdateDownload {
public:
    // Starts at once.
    explicit UpdateDownload(const std::string& url);
    ~UpdateDownload();
    UpdateDownload(const UpdateDownload&) = delete;
    UpdateDownload& operator=(const UpdateDownload&) = delete;

    unsigned long long BytesSoFar() const;
    // GetTickCount of the start or of the last bytes that came.
    DWORD LastProgress() const;
    bool Done() const;
    // Once Done(): the result, handed over once.
    DownloadResult TakeResult();

    struct Job;

private:
    std::shared_ptr<Job> job;
};

} // namespace listfile
