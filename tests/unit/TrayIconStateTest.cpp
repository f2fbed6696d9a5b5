#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/unit/CodePages.h"
#include "tray/TrayIconState.h"

using namespace tray;

namespace {

// A shell that answers as told and keeps the icon it would show.
class FakeShellTray : public TrayIconState {
public:
    bool addWorks = true;
    bool modifyWorks = true;
    bool deleteWorks = true;
    bool shown = false;
    std::vector<std::string> calls;

    bool Place(unsigned flags = kFlagMessage | kFlagIcon | kFlagTip) {
        trayAvailable = true;
        return AddPlacedIcon(flags);
    }
    bool Replace() { return ShowReplacedIcon(); }

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

struct Flags {
    bool hidden, deleted, pending;
};
void ExpectFlags(const FakeShellTray& tray, Flags expected, const char* when) {
    EXPECT_EQ(expected.hidden, tray.iconHidden) << when;
    EXPECT_EQ(expected.deleted, tray.iconDeleted) << when;
    EXPECT_EQ(expected.pending, tray.reAddPending) << when;
}

// The shell lost every icon when its taskbar was made anew.
void TaskbarRecreated(FakeShellTray& tray) { tray.shown = false; }

} // namespace

TEST(TrayIconState, PlaceReplaceAndDeleteMoveTheFlags) {
    FakeShellTray tray;
    ExpectFlags(tray, {true, true, false}, "new");
    EXPECT_TRUE(tray.DeleteIcon()) << "no tray yet: nothing to delete";
    EXPECT_TRUE(tray.calls.empty());

    EXPECT_TRUE(tray.Place());
    ExpectFlags(tray, {false, false, false}, "placed");
    EXPECT_EQ(7u, tray.addFlags);
    EXPECT_TRUE(tray.Replace());
    EXPECT_TRUE(tray.DeleteIcon());
    ExpectFlags(tray, {true, true, false}, "deleted");
    EXPECT_TRUE(tray.DeleteIcon()) << "a second delete does not ask the shell";
    EXPECT_EQ((std::vector<std::string>{"add 7", "modify 2", "delete"}), tray.calls);
}

TEST(TrayIconState, FailedAddLeavesTheIconAbsentAndTheImageWaiting) {
    FakeShellTray tray;
    tray.addWorks = false;
    EXPECT_FALSE(tray.Place());
    ExpectFlags(tray, {true, true, true}, "failed add");
    EXPECT_TRUE(tray.Replace()) << "only stored";
    EXPECT_TRUE(tray.DeleteIcon()) << "nothing there to delete";
    EXPECT_FALSE(tray.reAddPending);
    EXPECT_EQ((std::vector<std::string>{"add 7"}), tray.calls);
}

TEST(TrayIconState, FailedDeleteLeavesTheFlagsAsTheyWere) {
    FakeShellTray tray;
    tray.Place();
    tray.deleteWorks = false;
    EXPECT_FALSE(tray.DeleteIcon());
    ExpectFlags(tray, {false, false, false}, "failed delete");
    EXPECT_TRUE(tray.Replace()) << "the icon is still shown and can change";
}

TEST(TrayIconState, NoTrayMeansNoShell) {
    FakeShellTray tray;
    EXPECT_FALSE(tray.Replace());
    EXPECT_TRUE(tray.DeleteIcon());
    EXPECT_FALSE(tray.ReAddIcon());
    EXPECT_TRUE(tray.calls.empty());
    EXPECT_FALSE(SystemHasTray(0x0A280003)) << "major version 3";
    EXPECT_TRUE(SystemHasTray(0x1DB10106)) << "Wine's version word";
    EXPECT_TRUE(SystemHasTray(0x0A280004));
}

TEST(TrayIconState, ReAddBringsBackAPresentIconWithItsFlags) {
    FakeShellTray tray;
    tray.Place();
    tray.Replace();
    TaskbarRecreated(tray);
    tray.calls.clear();
    EXPECT_TRUE(tray.ReAddIcon());
    EXPECT_TRUE(tray.shown);
    EXPECT_EQ((std::vector<std::string>{"add 7"}), tray.calls) << "image, tip and callback again";
    ExpectFlags(tray, {false, false, true}, "re-added");
    EXPECT_TRUE(tray.DeleteIcon());
    EXPECT_FALSE(tray.shown) << "a re-added icon can be deleted";
}

TEST(TrayIconState, ReAddRetriesAnAddThatFailed) {
    FakeShellTray tray;
    tray.addWorks = false;
    tray.Place();
    EXPECT_FALSE(tray.ReAddIcon());
    ExpectFlags(tray, {true, true, false}, "failed again");
    tray.addWorks = true;
    EXPECT_TRUE(tray.ReAddIcon()) << "a failed re-add is tried again next time";
    ExpectFlags(tray, {false, false, true}, "added at last");
    tray.calls.clear();
    EXPECT_TRUE(tray.Replace());
    EXPECT_EQ((std::vector<std::string>{"modify 2"}), tray.calls) << "the new image is shown";
    EXPECT_TRUE(tray.DeleteIcon());
    EXPECT_FALSE(tray.shown);
}

TEST(TrayIconState, ReAddNeverBringsBackADeletedIcon) {
    FakeShellTray tray;
    tray.Place();
    tray.DeleteIcon();
    tray.calls.clear();
    EXPECT_FALSE(tray.ReAddIcon());
    EXPECT_TRUE(tray.calls.empty());

    FakeShellTray refused;
    refused.Place();
    refused.deleteWorks = false;
    refused.DeleteIcon();
    TaskbarRecreated(refused);
    refused.calls.clear();
    EXPECT_FALSE(refused.ReAddIcon()) << "deleted on purpose, though the shell refused";
    EXPECT_TRUE(refused.calls.empty());
}

TEST(TrayIconState, ReAddOfAnIconTheShellStillHasKeepsItShown) {
    // A work-area change does not drop the icon, and the shell will not add it twice.
    FakeShellTray tray;
    tray.Place();
    tray.calls.clear();
    EXPECT_TRUE(tray.ReAddIcon());
    EXPECT_EQ((std::vector<std::string>{"add 7", "modify 7"}), tray.calls);
    ExpectFlags(tray, {false, false, true}, "still there");
    tray.calls.clear();
    EXPECT_TRUE(tray.Replace());
    EXPECT_EQ((std::vector<std::string>{"modify 2"}), tray.calls)
        << "later images still reach the shell";

    tray.modifyWorks = false;
    EXPECT_FALSE(tray.ReAddIcon());
    ExpectFlags(tray, {true, true, false}, "neither add nor modify");
}

TEST(TrayIconState, TipIsCutTo127BytesOnACharacterBoundary) {
    EXPECT_EQ("Draxtel Velmora", CutTip("Draxtel Velmora", testcp::Cp1252));
    EXPECT_EQ("", CutTip("", testcp::Cp1252));
    std::string exact(127, 'a');
    EXPECT_EQ(exact, CutTip(exact, testcp::Cp1252));
    EXPECT_EQ(exact, CutTip(exact + "bcd", testcp::Cp1252));
    // 126 single bytes and a double-byte character: the character does not fit.
    std::string split = std::string(126, 'a') + "\x82\xA0";
    EXPECT_EQ(std::string(126, 'a'), CutTip(split, testcp::Cp932));
    EXPECT_EQ(split.substr(0, 127), CutTip(split, testcp::Cp1252)) << "single-byte code page";
    std::string wide;
    for (int i = 0; i < 70; ++i)
        wide += "\x82\xA0";
    EXPECT_EQ(wide.substr(0, 126), CutTip(wide, testcp::Cp932));
    EXPECT_EQ("ab", CutTip("ab\x82", testcp::Cp932)) << "a lead byte with no trail byte";
}
