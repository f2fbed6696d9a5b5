#include <gtest/gtest.h>

#include "engine/CloseAnswers.h"
#include "engine/KillRules.h"
#include "engine/OpenBrowserWindows.h"

using namespace engine;

TEST(KillRules, SessionSizeAndNameInTurnWithSignedLimitsAndTheListAskedLast) {
    const struct {
        const char* what;
        int bySess, byName;
        int32_t sessions, widthLimit, width, height, openCount;
        bool newlyCounted, listed;
        KillReason expected;
        int asked; // how often the list was asked
    } cases[] = {
        {"smaller both ways", 0, 1, 1, 1000, 999, 699, 1, true, false, KillReason::Size, 0},
        {"as wide as the limit", 0, 1, 1, 1000, 1000, 699, 1, true, false, KillReason::None, 1},
        {"as high as the limit", 0, 1, 1, 1000, 999, 700, 1, true, false, KillReason::None, 1},
        {"a negative width limit", 0, 1, 1, -5, 0, 0, 1, true, false, KillReason::None, 1},
        {"banned and big", 0, 1, 1, 1000, 1000, 700, 1, true, true, KillReason::Name, 1},
        {"banned and small", 0, 1, 1, 1000, 10, 10, 1, true, true, KillReason::Size, 0},
        {"banned, name rule off", 0, 0, 1, 1000, 2000, 2000, 1, true, true, KillReason::None, 0},
        {"one open of one", 1, 1, 1, 0, 5, 5, 1, true, false, KillReason::None, 1},
        {"two open of one", 1, 1, 1, 0, 5, 5, 2, true, true, KillReason::Session, 0},
        {"two open, let through", 1, 1, 1, 0, 5, 5, 2, false, false, KillReason::None, 1},
        {"none open of -1", 1, 1, -1, 0, 5, 5, 0, true, false, KillReason::Session, 0},
    };
    for (const auto& c : cases) {
        settings::Settings rules;
        rules.BySess = c.bySess;
        rules.ByName = c.byName;
        rules.Sessions = c.sessions;
        rules.Width = c.widthLimit;
        Candidate window;
        window.newlyCounted = c.newlyCounted;
        window.openBrowserCount = c.openCount;
        window.width = c.width;
        window.height = c.height;
        int asked = 0;
        EXPECT_EQ(c.expected, DecideKill(rules, window, [&] { return ++asked, c.listed; }))
            << c.what;
        EXPECT_EQ(c.asked, asked) << c.what;
    }
}

TEST(OpenBrowserWindows, NeverBelowZeroAndEachWindowCountsOnce) {
    OpenBrowserWindows open;
    open.Destroyed(7); // open before the program started
    EXPECT_EQ(0, open.Count());
    for (OpenBrowserWindows::WindowId id : {1, 1, 2, 3})
        open.Created(id);
    open.Destroyed(1);
    open.Destroyed(1);
    EXPECT_EQ(2, open.Count());
    open.ForgetGone([](OpenBrowserWindows::WindowId id) { return id != 2; });
    EXPECT_EQ(1, open.Count()) << "a window whose destruction report was lost is forgotten";
}

TEST(CloseAnswers, TheOrderOfTheTwoAnswersTellsWhetherTheThreadTookTheRequest) {
    const struct {
        const char* what;
        bool questionSent, requestFirst, windowThere;
        int64_t length;
        std::optional<bool> afterFirst, tookIt;
    } cases[] = {
        {"closed while handling it", true, false, false, 0, true, true},
        {"handled it, the question meanwhile", true, false, true, 12, true, true},
        {"refused, or closes later", true, true, true, 12, true, true},
        {"closed later, before the answer was taken", true, true, false, 12, std::nullopt, true},
        {"destroyed with both waiting", true, true, false, 0, std::nullopt, false},
        {"gone in the instant after the request, the question not sent", false, true, false, 0,
         true, true},
        {"there, the question never sent", false, true, true, 0, true, true},
    };
    for (const auto& c : cases) {
        CloseAnswers answers(c.questionSent);
        std::optional<bool> first = c.requestFirst ? answers.RequestAnswered(c.windowThere)
                                                   : answers.QuestionAnswered(c.length);
        EXPECT_EQ(c.afterFirst, first) << c.what;
        std::optional<bool> known = first;
        if (!known)
            known = answers.QuestionAnswered(c.length);
        EXPECT_EQ(c.tookIt, known) << c.what;
    }
}
