// Reading and writing list files of 10,000 and 100,000 titles with the real
// banned list shown on its page (until the list box shows every title),
// beside the plain algorithm at 10,000: every line checked by walking the
// list box entry by entry and inserted one at a time in file order.
#include <windows.h>
#include <commctrl.h>

#include <random>

#include "bannedlist/BannedList.h"
#include "bannedlist/BannedListPage.h"
#include "listfile/ListFileFormat.h"
#include "listfile/SystemCodePage.h"
#include "listfile/SystemTitleOrder.h"
#include "listfile/Win32ListFileSystem.h"
#include "tests/bench/BenchSupport.h"

namespace {

// Titles of the kind pop-ups have, in no order, some differing only in case.
std::vector<std::string> MakeTitles(size_t count) {
    static const char* const kWords[] = {"Win",   "Free",  "Casino", "Offer", "Deal",  "Click",
                                         "Prize", "Cheap", "Loans",  "Now",   "Today", "Hot"};
    static const char* const kBrowsers[] = {"Microsoft Internet Explorer", "Netscape", "Opera",
                                            "AOL"};
    std::mt19937 random(static_cast<unsigned>(count));
    std::vector<std::string> titles;
    for (size_t i = 0; i < count; ++i) {
        std::string title;
        for (int w = 1 + static_cast<int>(random() % 4); w > 0; --w) {
            std::string word = kWords[random() % 12];
            if (random() % 3 == 0)
                word[0] = static_cast<char>(word[0] | 0x20);
            title += word + " ";
        }
        titles.push_back(title + std::to_string(random() % 1000000) + " - " +
                         kBrowsers[random() % 4]);
    }
    return titles;
}

// The plain algorithm on a sorted list box of its own.
void PlainRead(HWND list, const std::vector<std::string>& lines) {
    ::SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    for (const std::string& line : lines) {
        if (!line.empty() && !bench::WalkListBoxFor(list, line))
            ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
    ::SendMessageA(list, WM_SETREDRAW, TRUE, 0);
}

void PlainWrite(HWND list, const std::string& path) {
    std::string bytes;
    for (int i = 0; i < static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0)); ++i)
        listfile::AppendListFileLine(bytes, bench::ListBoxText(list, i));
    e2e::WriteFileBytes(path, bytes);
}

} // namespace

int main() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_TAB_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "velmora-bench-list-files";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    HWND parent = ::CreateWindowExA(0, "STATIC", "bench", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400,
                                    nullptr, nullptr, nullptr, nullptr);
    listfile::SystemTitleOrder order;
    listfile::Win32ListFileSystem files;
    listfile::SystemCodePage codePage;
    bannedlist::BannedList list(order, files, codePage);
    bannedlist::BannedListPage page(list);
    page.Create(parent);
    HWND shown = page.GetDlgItem(IDC_BANNED_LIST);
    // A sorted list box like the page's, for the plain algorithm.
    HWND plainList = ::CreateWindowExA(
        0, "LISTBOX", "", WS_CHILD | LBS_SORT | LBS_HASSTRINGS | LBS_EXTENDEDSEL | LBS_NOTIFY, 0, 0,
        300, 200, parent, nullptr, nullptr, nullptr);

    std::printf("%-44s %10s %10s %10s\n", "", "titles", "read s", "write s");
    double read10000 = 0, write10000 = 0;
    for (size_t count : {size_t{10000}, size_t{100000}}) {
        std::vector<std::string> titles = MakeTitles(count);
        std::string path = folder + "\\list" + std::to_string(count) + ".lst";
        e2e::WriteFileBytes(path, listfile::FormatListFile(titles));
        list.Clear();
        double start = bench::NowMs();
        list.Read(path);
        bench::ShowWholeList(shown, list.Count());
        double read = (bench::NowMs() - start) / 1000;
        start = bench::NowMs();
        list.Write(folder + "\\out.lst");
        double write = (bench::NowMs() - start) / 1000;
        std::printf("%-44s %10d %10.3f %10.3f\n", "read into an empty list, atomic write",
                    static_cast<int>(list.Count()), read, write);
        if (count == 10000) {
            read10000 = read;
            write10000 = write;
        }
    }
    std::vector<std::string> titles = MakeTitles(10000);
    double start = bench::NowMs();
    PlainRead(plainList, listfile::ParseListFile(listfile::FormatListFile(titles),
                                                 listfile::SystemCodePage()));
    double plainRead = (bench::NowMs() - start) / 1000;
    start = bench::NowMs();
    PlainWrite(plainList, folder + "\\plain.lst");
    double plainWrite = (bench::NowMs() - start) / 1000;
    std::printf("%-44s %10d %10.3f %10.3f\n", "plain: walk per line, insert in file order",
                static_cast<int>(::SendMessageA(plainList, LB_GETCOUNT, 0, 0)), plainRead,
                plainWrite);
    std::printf("%-44s %10s %10.1f %10.1f\n", "plain / ours at 10,000", "", plainRead / read10000,
                plainWrite / write10000);
    // The plain way is the one to beat, not a floor: ours at most as slow.
    bench::PrintSummary("reading 10,000 titles, beside the plain way", read10000 * 1000,
                        plainRead * 1000, 1);
    bench::PrintSummary("writing 10,000 titles, beside the plain way", write10000 * 1000,
                        plainWrite * 1000, 1);
    ::DestroyWindow(parent);
    return 0;
}
