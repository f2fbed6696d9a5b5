// Whether the download's thread outlives its update: the real program's
// Update against the local stand-in server, ended by a refusal, by Cancel
// (while the server stalls, and while a million titles that came are read
// and ordered) and by the time limit. Threads are the Unix tasks of the
// program's process (Z:\proc\PID\task); the download's are watched from
// the end of the update (the message shown, or the progress window gone)
// until they are gone (a download that came and went between two looks,
// 20 ms apart, shows none). Then the whole process's processor time over 3 s.
#include <algorithm>
#include <set>

#include "tests/bench/BenchSupport.h"

namespace {

std::set<std::string> Tasks(const std::string& pid) {
    std::set<std::string> tasks;
    WIN32_FIND_DATAA entry;
    fw::UniqueFindHandle search(
        ::FindFirstFileA(("Z:\\proc\\" + pid + "\\task\\*").c_str(), &entry));
    for (bool more = bool(search); more; more = ::FindNextFileA(search.Get(), &entry))
        if (entry.cFileName[0] != '.')
            tasks.insert(entry.cFileName);
    return tasks;
}

// Adds to found the tasks that are not in before.
void NoteNewTasks(const std::string& pid, const std::set<std::string>& before,
                  std::set<std::string>& found) {
    for (const std::string& task : Tasks(pid))
        if (!before.count(task))
            found.insert(task);
}

HWND ProgressWindow(const e2e::VelmoraProcess& app) {
    for (HWND dialog : e2e::DialogsOf(app))
        if (::GetDlgItem(dialog, IDC_UPDATE_PROGRESS))
            return dialog;
    return nullptr;
}

} // namespace

int main() {
    const std::string port = bench::UpdateServerPort();
    if (port.empty())
        return 0;
    double slowestGone = 0, mostCpu = 0;
    bool allGone = true;
    enum class End { Refused, Cancel, TimeLimit };
    const struct {
        const char* what;
        const char* answer;
        End end;
        const char* cancelAt = "100 bytes received";
    } cases[] = {
        {"redirect loop, refused", "loop", End::Refused},
        {"1 GB announced, refused", "huge", End::Refused},
        {"endless chunks, refused at 64 MB", "endless", End::Refused},
        {"chunked cut short, refused", "chunkcut", End::Refused},
        {"stalled, Cancel", "stall/600", End::Cancel},
        {"1,000,000 titles came, Cancel", "titles/1000000", End::Cancel, "22000000 bytes received"},
        {"stalled, time limit of 2 s", "stall/600", End::TimeLimit},
    };
    std::printf("%-34s %9s %14s %14s %14s\n", "update", "download", "gone after", "other new",
                "process CPU");
    std::printf("%-34s %9s %14s %14s %14s\n", "", "threads", "its end, ms", "threads",
                "ms, 3 s after");
    for (const auto& c : cases) {
        e2e::UseQuietSettings();
        std::string url = "http://127.0.0.1:" + port + "/" + c.answer + "/updates/velmo/latest.lst";
        ::SetEnvironmentVariableA("VELMORA_UPDATE_URL", url.c_str());
        ::SetEnvironmentVariableA("VELMORA_UPDATE_TIMEOUT",
                                  c.end == End::TimeLimit ? "2" : nullptr);
        e2e::VelmoraProcess app;
        HWND main = e2e::StartApp(app, "bench-update-threads");
        ::SetEnvironmentVariableA("VELMORA_UPDATE_URL", nullptr);
        ::SetEnvironmentVariableA("VELMORA_UPDATE_TIMEOUT", nullptr);
        std::string pid = bench::FindUnixProcess("Velmora.exe");
        if (!main || pid.empty()) {
            std::printf("Velmora did not start\n");
            return 1;
        }
        // The download's threads: those that came while only the progress
        // window showed. A message box brings threads of its own (its sound).
        std::set<std::string> before = Tasks(pid), download, others;
        app.Click(app.PageControl(e2e::kBannedPage, IDC_UPDATE));
        HWND progress = nullptr;
        auto noteDownload = [&] {
            progress = ProgressWindow(app);
            if (progress && e2e::DialogsOf(app).size() == 1)
                NoteNewTasks(pid, before, download);
        };
        bool ended = false;
        if (c.end == End::Cancel) {
            ended = e2e::WaitUntil(
                [&] {
                    noteDownload();
                    return progress &&
                           e2e::TextOf(::GetDlgItem(progress, IDC_UPDATE_PROGRESS)) == c.cancelAt;
                },
                60000);
            app.Click(::GetDlgItem(progress, IDCANCEL));
            ended = ended && e2e::WaitUntil([&] { return !::IsWindow(progress); });
        } else {
            ended = e2e::WaitUntil(
                [&] {
                    noteDownload();
                    for (HWND dialog : e2e::DialogsOf(app))
                        if (e2e::MessageBoxText(dialog).find("could not be fetched") !=
                            std::string::npos)
                            return true;
                    return false;
                },
                60000);
        }
        double end = bench::NowMs();
        bool gone = ended && e2e::WaitUntil(
                                 [&] {
                                     std::set<std::string> now = Tasks(pid);
                                     return std::none_of(download.begin(), download.end(),
                                                         [&](auto& t) { return now.count(t); });
                                 },
                                 30000);
        double goneMs = bench::NowMs() - end;
        double cpu = bench::CpuMs(pid);
        ::Sleep(3000);
        cpu = bench::CpuMs(pid) - cpu;
        NoteNewTasks(pid, before, others);
        for (const std::string& task : download)
            others.erase(task);
        allGone = allGone && ended && gone;
        slowestGone = std::max(slowestGone, goneMs);
        mostCpu = std::max(mostCpu, cpu);
        if (!ended)
            std::printf("%-34s the update did not end\n", c.what);
        else if (!gone)
            std::printf("%-34s %9zu %14s %14zu %14.0f\n", c.what, download.size(), "not in 30 s",
                        others.size(), cpu);
        else
            std::printf("%-34s %9zu %14.0f %14zu %14.0f\n", c.what, download.size(), goneMs,
                        others.size(), cpu);
        for (HWND box : e2e::DialogsOf(app))
            ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        app.Close();
    }
    bench::PrintSummaryOf("the download's thread after its update ended, the slowest", slowestGone,
                          0, "gone within 1000 ms", allGone && slowestGone <= 1000);
    bench::PrintSummaryOf("the program's processor time 3 s after, the most", mostCpu, 0,
                          "0 ms (one 10 ms tick at most)", allGone && mostCpu <= 10);
    return 0;
}
