#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/unit/CodePages.h"
#include "tray/TrayIconState.h"

using namespace tray;

namespace {

// A shell that answers as told and keeps the icon it would show.
class FakeShellTray : public TrayIconState {
public:
    bool addWorks = true, modifyWorks = true, deleteWorks = true, shown = false;
    std::vector<std::string> calls;

    bool Place() {
        trayAvailable = true;
        return AddPlacedIcon(kFlagMessage | kFlagIcon | kFlagTip);
    }
    bool Replace() { return ShowReplacedIcon(); }
    // iconHidden, iconDeleted and reAddPending as three digits.
    std::string Flags() const {
        return std::to_string(iconHidden) + std::to_string(iconDeleted) +
               std::to_string(reAddPending);
    }
    // The shell lost every icon when its taskbar was made anew.
    void TaskbarRecreated() { shown = false; }
    std::vector<std::string> TakeCalls() { return std::exchange(calls, {}); }

protected:
    bool ShellAdd(unsigned flags) override {
        calls.push_back("add " + std::to_string(flags));
        // Like the real shell, an icon is never added twice.
        bool ok = addWorks && !shown;
        shown = shown || ok;
        return ok;
    }
    bool ShellModify(unsigned flags) override {
        calls.push_back("modify " + std::to_string(flags));
        return modifyWorks && shown;
    }
    bool ShellDelete() override {
        calls.push_back("delete");
        bool ok = deleteWorks && shown;
        shown = shown && !ok;
        return ok;
    }
};

using Calls = std::vector<std::string>;

} // namespace

TEST(TrayIconState, PlaceReplaceAndDeleteMoveTheFlags) {
    FakeShellTray tray;
    EXPECT_EQ("110", tray.Flags());
    EXPECT_FALSE(tray.Replace()) << "no tray: no shell";
    EXPECT_TRUE(tray.DeleteIcon()) << "no tray: nothing to delete";
    EXPECT_FALSE(tray.ReAddIcon());
    EXPECT_TRUE(tray.TakeCalls().empty());

    EXPECT_TRUE(tray.Place());
    EXPECT_EQ("000", tray.Flags());
    EXPECT_EQ(7u, tray.addFlags);
    EXPECT_TRUE(tray.Replace());
    EXPECT_TRUE(tray.DeleteIcon());
    EXPECT_EQ("110", tray.Flags());
    EXPECT_TRUE(tray.DeleteIcon()) << "a second delete does not ask the shell";
    EXPECT_FALSE(tray.ReAddIcon()) << "deleted on purpose: never back";
    EXPECT_EQ((Calls{"add 7", "modify 2", "delete"}), tray.TakeCalls());

    EXPECT_FALSE(SystemHasTray(0x0A280003)) << "major version 3";
    EXPECT_TRUE(SystemHasTray(0x05650004)) << "major version 4";
}

TEST(TrayIconState, AFailedAddLeavesTheIconAbsentUntilAReAddWorks) {
    FakeShellTray tray;
    tray.addWorks = false;
    EXPECT_FALSE(tray.Place());
    EXPECT_EQ("111", tray.Flags());
    EXPECT_TRUE(tray.Replace()) << "only stored";
    EXPECT_FALSE(tray.ReAddIcon());
    EXPECT_EQ("110", tray.Flags()) << "failed again";
    tray.addWorks = true;
    EXPECT_TRUE(tray.ReAddIcon()) << "a failed re-add is tried again next time";
    EXPECT_EQ("001", tray.Flags());
    tray.TakeCalls();
    EXPECT_TRUE(tray.Replace());
    EXPECT_TRUE(tray.DeleteIcon());
    EXPECT_EQ((Calls{"modify 2", "delete"}), tray.TakeCalls()) << "shown and deleted as usual";

    FakeShellTray never;
    never.addWorks = false;
    never.Place();
    EXPECT_TRUE(never.DeleteIcon()) << "nothing there to delete";
    EXPECT_EQ("110", never.Flags());
    EXPECT_EQ((Calls{"add 7"}), never.TakeCalls());
}

TEST(TrayIconState, AFailedDeleteLeavesTheFlagsAsTheyWereButTheIconUnwanted) {
    FakeShellTray tray;
    tray.Place();
    tray.deleteWorks = false;
    EXPECT_FALSE(tray.DeleteIcon());
    EXPECT_EQ("000", tray.Flags());
    EXPECT_TRUE(tray.Replace()) << "the icon is still shown and can change";
    tray.TaskbarRecreated();
    tray.TakeCalls();
    EXPECT_FALSE(tray.ReAddIcon()) << "deleted on purpose, though the shell refused";
    EXPECT_TRUE(tray.TakeCalls().empty());
}

TEST(TrayIconState, AReAddBringsBackAPresentIconWithItsFlagsOrKeepsOneTheShellStillHas) {
    FakeShellTray tray;
    tray.Place();
    tray.TaskbarRecreated();
    tray.TakeCalls();
    EXPECT_TRUE(tray.ReAddIcon());
    EXPECT_EQ((Calls{"add 7"}), tray.TakeCalls()) << "image, tip and callback again";
    EXPECT_EQ("001", tray.Flags());

    // A work-area change does not drop the icon: the add fails and a modify shows it.
    EXPECT_TRUE(tray.ReAddIcon());
    EXPECT_EQ((Calls{"add 7", "modify 7"}), tray.TakeCalls());
    EXPECT_TRUE(tray.Replace());
    EXPECT_EQ((Calls{"modify 2"}), tray.TakeCalls()) << "later images still reach the shell";
    tray.modifyWorks = false;
    EXPECT_FALSE(tray.ReAddIcon());
    EXPECT_EQ("110", tray.Flags()) << "neither add nor modify";
}

TEST(TrayIconState, TipIsCutTo127BytesOnACharacterBoundary) {
    const std::string exact(127, 'a'), split = std::string(126, 'a') + "\x82\xA0";
    EXPECT_EQ("Draxtel Velmora", CutTip("Draxtel Velmora", testcp::Cp1252));
    EXPECT_EQ(exact, CutTip(exact + "bcd", testcp::Cp1252));
    EXPECT_EQ(std::string(126, 'a'), CutTip(split, testcp::Cp932)) << "the character does not fit";
    EXPECT_EQ(split.substr(0, 127), CutTip(split, testcp::Cp1252)) << "single-byte code page";
    std::string wide;
    for (int i = 0; i < 70; ++i)
        wide += "\x82\xA0";
    EXPECT_EQ(wide.substr(0, 126), CutTip(wide, testcp::Cp932));
    EXPECT_EQ("ab", CutTip("ab\x82", testcp::Cp932)) << "a lead byte with no trail byte";
}
