// Reading and writing list files of 10,000 and 100,000 titles with the real
// Banned List page, beside the plain algorithm: every line checked by
// walking the list box entry by entry and inserted one at a time in file
// order.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "bannedlist/BannedListPage.h"
#include "bannedlist/ListFileFormat.h"

namespace {

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Titles of the kind pop-ups have, in no order, some differing only in case.
std::vector<std::string> MakeTitles(size_t count, unsigned seed) {
    static const char* const kWords[] = {"Win",   "Free",  "Casino", "Offer", "Deal",  "Click",
                                         "Prize", "Cheap", "Loans",  "Now",   "Today", "Hot"};
    static const char* const kBrowsers[] = {"Microsoft Internet Explorer", "Netscape", "Opera",
                                            "AOL"};
    std::mt19937 random(seed);
    std::vector<std::string> titles;
    titles.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        std::string title;
        int words = 1 + static_cast<int>(random() % 4);
        for (int w = 0; w < words; ++w) {
            std::string word = kWords[random() % 12];
            if (random() % 3 == 0)
                word[0] = static_cast<char>(word[0] | 0x20);
            title += word + " ";
        }
        title += std::to_string(random() % 1000000) + " - " + kBrowsers[random() % 4];
        titles.push_back(title);
    }
    return titles;
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok =
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size();
    ::CloseHandle(file);
    return ok;
}

std::string TextAt(HWND list, int index) {
    LRESULT length = ::SendMessageA(list, LB_GETTEXTLEN, index, 0);
    std::string text(static_cast<size_t>(length < 0 ? 0 : length) + 1, '\0');
    LRESULT got = ::SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(got < 0 ? 0 : static_cast<size_t>(got));
    return text;
}

// The plain algorithm on a sorted list box of its own.
void PlainRead(HWND list, const std::vector<std::string>& lines) {
    ::SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    for (const std::string& line : lines) {
        if (line.empty())
            continue;
        bool present = false;
        for (int i = 0; i < static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0)); ++i) {
            if (TextAt(list, i) == line) {
                present = true;
                break;
            }
        }
        if (!present)
            ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
    ::SendMessageA(list, WM_SETREDRAW, TRUE, 0);
}

void PlainWrite(HWND list, const std::string& path) {
    std::string bytes;
    int count = static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        listfile::AppendListFileLine(bytes, TextAt(list, i));
    WriteBytes(path, bytes);
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
    BannedListPage page;
    page.Create(parent);
    // A sorted list box like the page's, for the plain algorithm.
    HWND plainList = ::CreateWindowExA(
        0, "LISTBOX", "", WS_CHILD | LBS_SORT | LBS_HASSTRINGS | LBS_EXTENDEDSEL | LBS_NOTIFY, 0, 0,
        300, 200, parent, nullptr, nullptr, nullptr);

    std::printf("%-44s %10s %10s %10s\n", "", "titles", "read s", "write s");
    for (size_t count : {size_t{10000}, size_t{100000}}) {
        std::vector<std::string> titles = MakeTitles(count, static_cast<unsigned>(count));
        std::string path = folder + "\\list" + std::to_string(count) + ".lst";
        WriteBytes(path, listfile::FormatListFile(titles));

        page.titles.Clear();
        double start = Now();
        page.ReadListFile(path);
        double read = Now() - start;
        int entries = page.titles.Count();
        start = Now();
        page.WriteListFile(folder + "\\out.lst", false);
        double write = Now() - start;
        std::printf("%-44s %10d %10.3f %10.3f\n", "read into an empty list, atomic write", entries,
                    read, write);
        if (count == 100000) {
            // Append: new titles among entries, placed by the list box.
            std::string more = folder + "\\more.lst";
            WriteBytes(more, listfile::FormatListFile(MakeTitles(10000, 7)));
            start = Now();
            page.ReadListFile(more);
            std::printf("%-44s %10d %10.3f\n", "append 10,000 to those", page.titles.Count(),
                        Now() - start);
        }

        if (count == 10000) {
            ::SendMessageA(plainList, LB_RESETCONTENT, 0, 0);
            start = Now();
            PlainRead(plainList, listfile::ParseListFile(listfile::FormatListFile(titles)));
            double plainRead = Now() - start;
            start = Now();
            PlainWrite(plainList, folder + "\\plain.lst");
            double plainWrite = Now() - start;
            std::printf("%-44s %10d %10.3f %10.3f\n", "plain: walk per line, insert in file order",
                        static_cast<int>(::SendMessageA(plainList, LB_GETCOUNT, 0, 0)), plainRead,
                        plainWrite);
            std::printf("%-44s %10s %10.1f %10.1f\n", "plain / ours", "", plainRead / read,
                        plainWrite / write);
        }
    }
    // What the sorting buys alone: the same exact index, titles in file order.
    for (size_t count : {size_t{10000}, size_t{100000}}) {
        std::vector<std::string> titles = MakeTitles(count, static_cast<unsigned>(count));
        page.titles.Clear();
        double start = Now();
        page.titles.InsertMany(titles);
        std::printf("%-44s %10d %10.3f\n", "indexed, inserted in file order", page.titles.Count(),
                    Now() - start);
    }
    ::DestroyWindow(parent);
    return 0;
}
