// Pop-ups of a process that made windows before the program started, as a
// browser that is already running when Velmora starts makes them.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "tests/e2e/Harness.h"
#include "tests/e2e/MakerProcess.h"

using namespace e2e;

namespace {

// The maker opens and closes a window of its own, Velmora starts, and the
// maker opens `count` small browser windows: every one is closed and counted.
void ExpectEveryLaterPopupClosed(const std::string& makerExe, const std::string& name, int count) {
    UseQuietSettings();
    MakerProcess maker;
    ASSERT_TRUE(maker.Start(makerExe));
    HWND earlier = maker.Open("Before the start", 300, 200);
    ASSERT_TRUE(earlier && maker.Close(earlier));
    // Global hooks load the hook library into every process they run in: had
    // any acted on that window, the maker would not have made it in a world
    // without hooks, and nothing below would be tested.
    ASSERT_FALSE(maker.HasModule("hook.dll"))
        << "hooks of an earlier Velmora still act in this Wine session";

    VelmoraProcess app;
    ASSERT_TRUE(StartApp(app, name));
    std::vector<HWND> popups;
    for (int i = 0; i < count; ++i) {
        HWND popup = maker.Open("Early - Opera " + std::to_string(i), 300, 200);
        ASSERT_TRUE(popup) << i;
        popups.push_back(popup);
    }
    ASSERT_TRUE(app.Settle());
    EXPECT_TRUE(WaitUntil([&] { return std::none_of(popups.begin(), popups.end(), ::IsWindow); }))
        << "the first one is " << (::IsWindow(popups[0]) ? "still open" : "closed");
    Lines lines = app.StatisticsLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(Counter(count, count), lines[0]);
    std::map<std::string, int> seen;
    for (size_t i = 1; i < lines.size(); ++i)
        ++seen[lines[i]];
    for (int i = 0; i < count; ++i)
        EXPECT_EQ(1, seen["Early - Opera " + std::to_string(i)]) << i;
    EXPECT_TRUE(app.Close());
}

} // namespace

TEST(EarlierWindows, EveryPopupOfAProcessThatMadeAWindowBeforeTheStartIsClosedAndCounted) {
    ExpectEveryLaterPopupClosed(std::string(), "earlier-windows", 20);
}

// A 32-bit browser already running when the 64-bit program starts.
TEST(EarlierWindows, TheSameHoldsForAProcessOfTheOtherArchitecture) {
    const std::string otherMaker = Env("VELMORA_OTHER_ARCH_MAKER");
    if (otherMaker.empty())
        GTEST_SKIP() << "no process of the other architecture can run here";
    ExpectEveryLaterPopupClosed(otherMaker, "earlier-windows-other-arch", 20);
}
