// The hook library on its own, loaded as the program loads it: a window of
// this test process receives the reports of windows that the maker, another
// process, creates and destroys.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "engine/HookLibrary.h"
#include "hook/hook.h"
#include "tests/e2e/MakerProcess.h"
#include "tests/win/Support.h"

namespace {

std::string DistFolder(const char* variable) {
    char buffer[MAX_PATH] = {};
    DWORD n = ::GetEnvironmentVariableA(variable, buffer, MAX_PATH);
    return n && n < MAX_PATH ? buffer : "";
}
#ifdef _WIN64
const char kOwnDist[] = "VELMORA_DIST_X64", kOtherDist[] = "VELMORA_DIST_X86";
#else
const char kOwnDist[] = "VELMORA_DIST_X86", kOtherDist[] = "VELMORA_DIST_X64";
#endif

// What arrived for each window: the events, and the title and width read
// while its creation report was handled.
struct Reports {
    std::vector<LPARAM> events;
    std::string title;
    int width = 0;
};
std::map<HWND, Reports> g_reports;

LRESULT CALLBACK ReceiverProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != WM_POPUP_CREATED)
        return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    HWND window = reinterpret_cast<HWND>(wParam);
    Reports& reports = g_reports[window];
    reports.events.push_back(lParam);
    if (lParam == POPUP_EVENT_CREATED) {
        reports.title = wintest::TextOf(window);
        RECT rect{};
        ::GetWindowRect(window, &rect);
        reports.width = rect.right - rect.left;
    }
    return 0;
}

class HookLibrary : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(library.Loaded()) << library.Problem();
        WNDCLASSA wc{};
        wc.lpfnWndProc = ReceiverProc;
        wc.lpszClassName = "VelmoraHookReceiver";
        ::RegisterClassA(&wc);
        receiver.Reset(::CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 9, 9, nullptr,
                                         nullptr, nullptr, nullptr));
        g_reports.clear();
        ASSERT_TRUE(maker.Start());
    }
    void TearDown() override { library.RemoveHook(); }

    // Opens two windows and closes them. This thread takes no message while
    // the maker works: a report that made the maker wait for an answer
    // would hold it up until its command timed out.
    std::vector<Reports> OpenAndClose() {
        HWND made[2] = {maker.Open("HookTest 0", 300, 200), maker.Open("HookTest 1", 300, 200)};
        wintest::Settle(); // the creation reports, while the windows are there
        std::vector<Reports> found;
        for (HWND window : made) {
            EXPECT_TRUE(window && maker.Close(window)) << "the maker was held up";
            wintest::Settle();
            found.push_back(g_reports[window]);
        }
        return found;
    }

    engine::HookLibrary library{DistFolder(kOwnDist)};
    fw::UniqueWindow receiver;
    e2e::MakerProcess maker;
};

} // namespace

TEST_F(HookLibrary, ReportsEachCreationWithReadableTitleAndSizeAndEachDestructionOnce) {
    library.SetHook(receiver.Get());
    library.SetEnable(1);
    // The watcher's own window, made before the maker's: its report would
    // have come before theirs.
    fw::UniqueWindow own(::CreateWindowExA(0, "STATIC", "HookTest own", WS_OVERLAPPEDWINDOW, 0, 0,
                                           300, 200, nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(own);
    const HWND ownHandle = own.Get();
    std::vector<Reports> reports = OpenAndClose();
    own.Reset();
    wintest::Settle();
    EXPECT_EQ(0u, g_reports.count(ownHandle)) << "the watcher's own window was reported";
    for (size_t i = 0; i < reports.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ((std::vector<LPARAM>{POPUP_EVENT_CREATED, POPUP_EVENT_DESTROYED}),
                  reports[i].events);
        EXPECT_EQ("HookTest " + std::to_string(i), reports[i].title);
        EXPECT_EQ(300, reports[i].width);
    }
}

TEST_F(HookLibrary, TheSwitchAndRemovalDecideWhetherReportsArrive) {
    const struct {
        const char* steps; // h: SetHook, 1: SetEnable(1), 0: SetEnable(0), r: RemoveHook
        size_t reports;
    } cases[] = {{"h10", 0}, {"h01", 2}, {"rh1rr", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.steps);
        for (const char* step = c.steps; *step; ++step) {
            if (*step == 'h')
                library.SetHook(receiver.Get());
            else if (*step == 'r')
                library.RemoveHook();
            else
                library.SetEnable(*step == '1');
        }
        for (const Reports& reports : OpenAndClose())
            EXPECT_EQ(c.reports, reports.events.size());
        library.RemoveHook();
    }
}

// Wine keeps the hooks of a watcher ended from outside: each runs the
// library again further down the chain. A second live watcher puts the same
// second hook in the chain.
TEST_F(HookLibrary, TwoOfItsHooksInTheChainStillReportEachDestructionOnce) {
    library.SetHook(receiver.Get());
    library.SetEnable(1);
    e2e::MakerProcess watcher;
    ASSERT_TRUE(watcher.Start());
    ASSERT_TRUE(watcher.Hook(receiver.Get(), DistFolder(kOwnDist) + "\\hook.dll"));
    for (const Reports& reports : OpenAndClose())
        EXPECT_EQ(1, std::count(reports.events.begin(), reports.events.end(),
                                static_cast<LPARAM>(POPUP_EVENT_DESTROYED)));
}

TEST(HookLibraryFile, OnlyTheLibraryOfTheProgramsOwnArchitectureLoads) {
    const std::string own = DistFolder(kOwnDist), other = DistFolder(kOtherDist);
    ASSERT_FALSE(own.empty() || other.empty()) << "the test script names both dist folders";
    EXPECT_TRUE(engine::HookLibrary(own).Loaded());
    engine::HookLibrary foreign(other);
    EXPECT_FALSE(foreign.Loaded());
    EXPECT_EQ("Velmora cannot start: " + other + "\\hook.dll is not a " +
                  (sizeof(void*) == 8 ? "64-bit" : "32-bit") +
                  " library.\n\nVelmora.exe needs the hook.dll that comes with it, in the same "
                  "folder: copy both files of one folder of the program together.",
              foreign.Problem());
    foreign.SetEnable(1); // none loaded: nothing happens
}

TEST(HookLibraryFile, AFileThatIsNoLibraryIsCalledSo) {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    std::string folder =
        std::string(temp) + "velmora-nolibrary-" + std::to_string(::GetTickCount());
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    std::string file = folder + "\\hook.dll";
    FILE* text = std::fopen(file.c_str(), "wb");
    ASSERT_TRUE(text);
    std::fputs("not a library, only text\r\n", text);
    std::fclose(text);
    {
        engine::HookLibrary library(folder);
        EXPECT_FALSE(library.Loaded());
        EXPECT_EQ(
            0u, library.Problem().find("Velmora cannot start: " + file + " is not a library.\n\n"))
            << library.Problem();
    }
    ::DeleteFileA(file.c_str());
    ::RemoveDirectoryA(folder.c_str());
}
