// The pages of the real program driven from outside: editing the banned
// list, switching tabs with the focus kept per page, and keys that must do
// nothing.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/e2e/E2eSupport.h"
#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {
constexpr int kAddId = 3;
constexpr int kRemoveId = 4;
constexpr int kListId = 1010;
constexpr int kEntryId = 1011;
constexpr int kDelayId = 1026;

void Add(VelmoraProcess& app, const std::string& title) {
    SetText(app.PageControl(0, kEntryId), title);
    app.Click(app.PageControl(0, kAddId));
    ASSERT_TRUE(app.Settle());
}

void SelectOnly(HWND list, const std::vector<int>& indices) {
    ::SendMessageW(list, LB_SETSEL, FALSE, -1);
    for (int i : indices)
        ::SendMessageW(list, LB_SETSEL, TRUE, i);
}

std::vector<int> Selected(HWND list) {
    std::vector<int> selected;
    ListBoxSelection(list, &selected);
    return selected;
}
} // namespace

TEST(BannedListPage, AddRefusesEmptyAndDuplicateTitlesSilentlyAndInsertsSorted) {
    UseQuietSettings();
    VelmoraProcess app;
    ASSERT_TRUE(StartAndSettle(app, "add"));
    for (const char* title : {"pear", "apple", "Mango", "pear", "", "Pear", "pear "})
        Add(app, title);
    EXPECT_EQ("", TextOf(app.PageControl(0, kEntryId))) << "the field is emptied every time";
    EXPECT_EQ(nullptr, AnyMessageBox(app.Pid())) << "refusals are silent";
    std::vector<std::string> listed = app.BannedList();
    ASSERT_EQ(5u, listed.size());
    EXPECT_EQ("apple", listed[0]) << "sorted, not appended";
    EXPECT_EQ("Mango", listed[1]);
    EXPECT_EQ(1, std::count(listed.begin(), listed.end(), "pear"));
    EXPECT_EQ(1, std::count(listed.begin(), listed.end(), "Pear")) << "case makes another title";
    EXPECT_EQ(1, std::count(listed.begin(), listed.end(), "pear ")) << "so does a blank";
    EXPECT_TRUE(app.Close());
}

TEST(BannedListPage, RemoveDeletesTheSelectionAndSelectsTheEntryAfterIt) {
    UseQuietSettings();
    VelmoraProcess app;
    ASSERT_TRUE(StartAndSettle(app, "remove"));
    for (int i = 0; i < 10; ++i)
        Add(app, "entry " + std::to_string(i));
    HWND list = app.PageControl(0, kListId);

    SelectOnly(list, {2, 3, 7});
    SetText(app.PageControl(0, kEntryId), "typed since the last read");
    app.Click(app.PageControl(0, kRemoveId));
    ASSERT_TRUE(app.Settle());
    EXPECT_EQ((std::vector<std::string>{"entry 0", "entry 1", "entry 4", "entry 5", "entry 6",
                                        "entry 8", "entry 9"}),
              app.BannedList());
    EXPECT_EQ(std::vector<int>{5}, Selected(list)) << "the entry that was at index 8";
    EXPECT_EQ("", TextOf(app.PageControl(0, kEntryId))) << "the field shows what was last read";

    // Delete, with the last entry among the selection: nothing is left selected.
    SelectOnly(list, {5, 6});
    PostKey(list, VK_DELETE);
    ASSERT_TRUE(app.Settle());
    EXPECT_EQ((std::vector<std::string>{"entry 0", "entry 1", "entry 4", "entry 5", "entry 6"}),
              app.BannedList());
    EXPECT_TRUE(Selected(list).empty());

    SelectOnly(list, {0});
    PostKey(list, VK_BACK);
    ASSERT_TRUE(app.Settle());
    EXPECT_EQ((std::vector<std::string>{"entry 1", "entry 4", "entry 5", "entry 6"}),
              app.BannedList());
    EXPECT_EQ(std::vector<int>{0}, Selected(list));

    // Nothing selected: nothing happens, not even to the entry field.
    SelectOnly(list, {});
    SetText(app.PageControl(0, kEntryId), "kept");
    app.Click(app.PageControl(0, kRemoveId));
    PostKey(list, VK_DELETE);
    ASSERT_TRUE(app.Settle());
    EXPECT_EQ(4u, app.BannedList().size());
    EXPECT_EQ("kept", TextOf(app.PageControl(0, kEntryId)));
    EXPECT_TRUE(app.Close());
}

TEST(BannedListPage, RemovedTitlesCanBeAddedAndBannedAgain) {
    UseQuietSettings();
    VelmoraProcess app;
    ASSERT_TRUE(StartAndSettle(app, "re-add"));
    WindowFactory windows;
    Add(app, "Again - Opera");
    SelectOnly(app.PageControl(0, kListId), {0});
    app.Click(app.PageControl(0, kRemoveId));
    ASSERT_TRUE(app.Settle());
    HWND unbanned = windows.Open("Again - Opera", 1200, 800);
    ASSERT_TRUE(app.Settle());
    EXPECT_TRUE(windows.IsOpen(unbanned)) << "a removed title no longer closes windows";
    Add(app, "Again - Opera");
    EXPECT_EQ(std::vector<std::string>{"Again - Opera"}, app.BannedList());
    HWND banned = windows.Open("Again - Opera", 1200, 800);
    ASSERT_TRUE(app.Settle());
    EXPECT_FALSE(windows.IsOpen(banned));
    EXPECT_TRUE(app.Close());
}

TEST(Pages, EnterAndEscapeCloseNeitherAPageNorTheProgram) {
    UseQuietSettings();
    VelmoraProcess app;
    HWND main = StartAndSettle(app, "keys");
    ASSERT_TRUE(main);
    HWND entry = app.PageControl(0, kEntryId);
    SetText(entry, "typed");
    PostClick(entry);
    for (HWND target : {entry, app.PageControl(0, kListId), app.PageControl(2, kDelayId),
                        app.PageControl(1, 1037), app.Control(1015)}) {
        PostKey(target, VK_RETURN);
        PostKey(target, VK_ESCAPE);
    }
    PostKey(main, VK_ESCAPE);
    ASSERT_TRUE(app.Settle());
    EXPECT_TRUE(app.Running());
    EXPECT_TRUE(::IsWindowVisible(main));
    EXPECT_TRUE(::IsWindowVisible(app.Page(0)));
    EXPECT_EQ("typed", TextOf(entry)) << "Enter is no Add";
    EXPECT_TRUE(app.BannedList().empty());
    EXPECT_EQ("Stop", TextOf(app.Control(1015))) << "Enter on Start clicked nothing either";
    EXPECT_TRUE(app.Close());
}

TEST(Pages, EachTabGivesBackTheFocusItsPageHadWhenLeft) {
    UseQuietSettings();
    VelmoraProcess app;
    HWND main = StartAndSettle(app, "focus");
    ASSERT_TRUE(main);
    EXPECT_EQ(0, CurrentTab(app));
    EXPECT_TRUE(::IsWindowVisible(app.Page(0)));
    for (int i = 1; i < 4; ++i)
        EXPECT_FALSE(::IsWindowVisible(app.Page(i))) << i;

    HWND list = app.PageControl(0, kListId);
    PostClick(list);
    ASSERT_TRUE(app.Settle());
    ASSERT_EQ(list, FocusOf(main));

    app.SelectTab(2);
    ASSERT_TRUE(app.Settle());
    EXPECT_EQ(2, CurrentTab(app));
    EXPECT_TRUE(::IsWindowVisible(app.Page(2)));
    EXPECT_FALSE(::IsWindowVisible(app.Page(0)));
    EXPECT_EQ(app.PageControl(2, 1004), FocusOf(main)) << "first visit: the first control";
    HWND delay = app.PageControl(2, kDelayId);
    PostClick(delay);
    ASSERT_TRUE(app.Settle());
    ASSERT_EQ(delay, FocusOf(main));

    app.SelectTab(0);
    ASSERT_TRUE(app.Settle());
    EXPECT_EQ(list, FocusOf(main));
    app.SelectTab(2);
    ASSERT_TRUE(app.Settle());
    EXPECT_EQ(delay, FocusOf(main));

    // The system menu's About item selects the About tab; once there, again does nothing.
    ::PostMessageA(main, WM_SYSCOMMAND, 16, 0);
    ASSERT_TRUE(app.Settle());
    EXPECT_EQ(3, CurrentTab(app));
    EXPECT_TRUE(::IsWindowVisible(app.Page(3)));
    EXPECT_FALSE(::IsWindowVisible(app.Page(2)));
    HWND aboutFocus = FocusOf(main);
    ::PostMessageA(main, WM_SYSCOMMAND, 16, 0);
    ASSERT_TRUE(app.Settle());
    EXPECT_EQ(3, CurrentTab(app));
    EXPECT_EQ(aboutFocus, FocusOf(main));
    app.SelectTab(2);
    ASSERT_TRUE(app.Settle());
    EXPECT_EQ(delay, FocusOf(main)) << "SelectPage kept the focus of the page it left";
    EXPECT_TRUE(app.Close());
}
