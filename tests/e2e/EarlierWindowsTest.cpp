// Pop-ups of a process that made windows before the program started, as a
// browser that is already running when Velmora starts makes them.
#include <algorithm>

#include "tests/e2e/ProgramTest.h"

using namespace e2e;

namespace {
class EarlierWindows : public ProgramTest {
protected:
    // The maker opens and closes a window of its own, the program starts,
    // and the maker opens small browser windows: every one is closed and
    // counted.
    void ExpectEveryLaterPopupClosed(const std::string& makerExe) {
        ASSERT_TRUE(maker.Start(makerExe));
        HWND earlier = maker.Open("Before the start", 300, 200);
        ASSERT_TRUE(earlier && maker.Close(earlier));
        // Global hooks load the hook library into every process they run in:
        // had any acted on that window, the maker would not have made it in a
        // world without hooks, and nothing below would be tested.
        ASSERT_FALSE(maker.HasModule("hook.dll"))
            << "hooks of an earlier Velmora still act in this Wine session";
        Start("earlier-windows");
        std::vector<HWND> popups;
        Lines expected{Counter(20, 20)};
        for (int i = 0; i < 20; ++i) {
            expected.push_back("Early - Opera " + std::to_string(i));
            popups.push_back(maker.Open(expected.back(), 300, 200));
        }
        ASSERT_TRUE(app.Settle());
        EXPECT_TRUE(WaitUntil([&] {
            return std::none_of(popups.begin(), popups.end(), ::IsWindow);
        })) << "the first one is "
            << (::IsWindow(popups[0]) ? "still open" : "closed");
        ASSERT_TRUE(SettleWith(app, maker)); // the last answers heard
        EXPECT_EQ(expected, app.StatisticsLines());
    }
};
} // namespace

TEST_F(EarlierWindows, EveryPopupOfAProcessThatMadeAWindowBeforeTheStartIsClosedAndCounted) {
    ExpectEveryLaterPopupClosed(std::string());
}

// A 32-bit browser already running when the 64-bit program starts.
TEST_F(EarlierWindows, TheSameHoldsForAProcessOfTheOtherArchitecture) {
    const std::string otherMaker = Env("VELMORA_OTHER_ARCH_MAKER");
    if (otherMaker.empty())
        GTEST_SKIP() << "no process of the other architecture can run here";
    ExpectEveryLaterPopupClosed(otherMaker);
}
