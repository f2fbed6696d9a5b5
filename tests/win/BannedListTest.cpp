// The banned list on Windows: the list box that shows it, the system's
// order of titles, and the list files on disk (reading, the writer that
// never leaves a file half-written, files that cannot be read).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "bannedlist/BannedList.h"
#include "bannedlist/BannedListPage.h"
#include "bannedlist/ListBoxMirror.h"
#include "listfile/AtomicFile.h"
#include "listfile/ListFileFormat.h"
#include "listfile/SystemCodePage.h"
#include "listfile/SystemTitleOrder.h"
#include "listfile/Win32ListFileSystem.h"
#include "tests/win/Support.h"

using wintest::ListBoxEntries;

namespace {

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

class BannedList : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(page.Create(host.m_hWnd)); }
    HWND ListBox() const { return page.GetDlgItem(IDC_BANNED_LIST); }
    std::vector<std::string> Titles() const {
        std::vector<std::string> titles;
        for (size_t i = 0; i < list.Count(); ++i)
            titles.push_back(list.At(i));
        return titles;
    }
    // Lets the list box take in a long list, which it does in parts.
    void ShowAll() {
        for (int round = 0; round < 1000 && ListBoxEntries(ListBox()).size() < list.Count();
             ++round)
            wintest::Settle();
    }

    listfile::SystemTitleOrder order;
    listfile::Win32ListFileSystem files;
    listfile::SystemCodePage codePage;
    bannedlist::BannedList list{order, files, codePage};
    wintest::HostWindow host;
    bannedlist::BannedListPage page{list};
};

class ListFiles : public BannedList {
protected:
    void SetUp() override {
        BannedList::SetUp();
        auto name = "velmora-list-" + std::to_string(::GetTickCount());
        folder = (std::filesystem::temp_directory_path() / name).string();
        ASSERT_TRUE(std::filesystem::create_directory(folder));
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::string Path(const std::string& name) const { return folder + "\\" + name; }
    std::set<std::string> Files() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            names.insert(entry.path().filename().string());
        return names;
    }

    std::string folder;
};

} // namespace

TEST_F(BannedList, TheListBoxShowsTheListThroughRandomChanges) {
    // A small alphabet, so that equal titles and near misses (case, blanks,
    // bytes above 0x7F) come up often.
    const std::vector<std::string> pieces = {"a", "A", " ", "b", "\xE9", "\x81", " - Opera", "\t"};
    std::mt19937 random(20240917);
    auto randomTitle = [&] {
        std::string title;
        for (int i = static_cast<int>(random() % 4); i > 0; --i)
            title += pieces[random() % pieces.size()];
        return title;
    };
    HWND box = ListBox(), entry = page.GetDlgItem(IDC_ENTRY);
    for (int step = 0; step < 1500; ++step) {
        int count = static_cast<int>(list.Count());
        switch (random() % 6) {
        case 0:
            list.Insert(randomTitle());
            break;
        case 1:
            ::SetWindowTextA(entry, randomTitle().c_str());
            page.OnAdd();
            ASSERT_EQ("", wintest::TextOf(entry)) << "Add empties the field";
            break;
        case 2:
            ::SendMessageA(box, LB_SETSEL, FALSE, -1);
            for (int i = 0; i < count; ++i)
                ::SendMessageA(box, LB_SETSEL, random() % 3 == 0, i);
            page.RemoveSelected();
            break;
        case 3:
            if (count > 0)
                list.RemoveAt(random() % count);
            break;
        case 4: {
            std::vector<std::string> batch;
            for (int i = static_cast<int>(random() % 6); i > 0; --i)
                batch.push_back(!batch.empty() && random() % 3 == 0 ? batch[0] : randomTitle());
            list.Merge(listfile::TitleSet::From(batch, order));
            break;
        }
        default:
            if (random() % 8 == 0)
                list.Clear();
        }
        ASSERT_EQ(Titles(), ListBoxEntries(box)) << "at step " << step;
    }
}

// One list taken down step by step by Remove, Delete and Backspace, each
// removal emptying the field of text typed since Add. After a key the list
// box moves its own caret, so the selection left is checked after Remove.
TEST_F(BannedList, RemoveDeleteAndBackspaceTakeTheSelectionOutAndSelectTheEntryAfterIt) {
    for (char digit = '0'; digit <= '9'; ++digit)
        list.Insert(std::string(1, digit));
    const struct {
        std::vector<int> selection;
        WPARAM key; // 0: the Remove button
        const char* left;
        std::vector<int> selected;
    } steps[] = {
        {{2, 3, 7}, 0, "0145689", {5}},                         // the entry that was at index 8
        {{0, 4}, VK_DELETE, "14589", {}}, {{4}, 0, "1458", {}}, // nothing after the last one
        {{0}, VK_BACK, "458", {}},        {{}, 0, "458", {}},   {{}, VK_DELETE, "458", {}},
    };
    HWND box = ListBox(), entry = page.GetDlgItem(IDC_ENTRY);
    for (const auto& step : steps) {
        SCOPED_TRACE(step.left);
        ::SetWindowTextA(entry, "typed");
        ::SendMessageA(box, LB_SETSEL, FALSE, -1);
        for (int i : step.selection)
            ::SendMessageA(box, LB_SETSEL, TRUE, i);
        if (step.key)
            ::SendMessageA(box, WM_KEYDOWN, step.key, 0);
        else
            page.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_REMOVE, BN_CLICKED), 0);
        std::string left, shown;
        std::vector<int> selected;
        for (const std::string& title : Titles())
            left += title;
        for (const std::string& title : ListBoxEntries(box))
            shown += title;
        EXPECT_EQ(step.left, left);
        EXPECT_EQ(step.left, shown);
        for (int i = 0; i < static_cast<int>(list.Count()); ++i)
            if (::SendMessageA(box, LB_GETSEL, i, 0) > 0)
                selected.push_back(i);
        if (!step.key) {
            EXPECT_EQ(step.selected, selected);
        }
        EXPECT_EQ(step.selection.empty() ? "typed" : "", wintest::TextOf(entry));
    }
}

TEST_F(BannedList, ALongListIsShownInPartsAndChangesMeetThePartShown) {
    HWND box = host.Add("LISTBOX", 1, "", LBS_HASSTRINGS, 0, 0, 200, 200);
    int asked = 0;
    bannedlist::ListBoxMirror mirror(
        list, [&] { ++asked; }, 0);
    mirror.Attach(box);
    list.SetView(&mirror);
    std::vector<std::string> many;
    for (int i = 0; i < 20000; ++i)
        many.push_back("many " + std::to_string(100000 + i));
    list.Merge(listfile::TitleSet::From(many, order));
    ASSERT_LT(ListBoxEntries(box).size(), list.Count()) << "not all at once";
    EXPECT_EQ(1, asked) << "the rest asked for";
    list.Insert("many 0");           // in the part shown
    list.Insert("many 199999");      // behind it
    list.RemoveAt(1);                // in it
    list.RemoveAt(list.Count() - 1); // behind it
    std::vector<std::string> shown = ListBoxEntries(box), titles = Titles();
    ASSERT_LE(shown.size(), titles.size());
    EXPECT_EQ(std::vector<std::string>(titles.begin(), titles.begin() + shown.size()), shown);
    EXPECT_EQ(shown.size(), mirror.Shown());
    while (mirror.FillSome())
        ;
    EXPECT_EQ(Titles(), ListBoxEntries(box));
    list.SetView(nullptr);
}

// The system's sort keys put titles in the order a sorted list box of the
// locale keeps them.
TEST_F(ListFiles, ReadTitlesComeInTheOrderASortedListBoxKeeps) {
    // Case and blank variants, bytes above 0x7F, punctuation, in no order.
    std::vector<std::string> titles = {"abc",  "Abc",     "ABC",       "abc ", " abc",
                                       "b\tc", "_x",      "\xE9t\xE9", "10",   "9",
                                       "a-b",  "\x80uro", "~",         "a'b",  "A B"};
    std::mt19937 random(4);
    for (int i = 0; i < 3000; ++i) {
        std::string title;
        for (int k = 1 + static_cast<int>(random() % 12); k > 0; --k)
            title += static_cast<char>(0x20 + random() % 0xDF);
        titles.push_back(title);
    }
    std::set<std::string> expected;
    LCID locale = static_cast<LCID>(::SendMessageA(ListBox(), LB_GETLOCALE, 0, 0));
    // Into an empty list, then into a filled one.
    for (const auto& batch : {titles, std::vector<std::string>{"abc", "aBc", "\xE9T\xE9", "0"}}) {
        WriteBytes(Path("in.lst"), listfile::FormatListFile(batch));
        EXPECT_FALSE(list.Read(Path("in.lst")));
        ShowAll();
        expected.insert(batch.begin(), batch.end());
        std::vector<std::string> entries = ListBoxEntries(ListBox());
        ASSERT_EQ(expected, std::set<std::string>(entries.begin(), entries.end()));
        ASSERT_EQ(expected.size(), entries.size()) << "no entry twice";
        for (size_t i = 1; i < entries.size(); ++i)
            EXPECT_NE(CSTR_GREATER_THAN,
                      ::CompareStringA(locale, NORM_IGNORECASE, entries[i - 1].c_str(), -1,
                                       entries[i].c_str(), -1))
                << "out of order: " << entries[i - 1] << " / " << entries[i];
    }
}

TEST_F(ListFiles, EntriesLongerThanTheListBoxPassesOnAreWrittenReadAndShownWhole) {
    // Longer than the 512 characters Wine's ANSI list-box text passes through.
    const std::vector<std::string> titles = {std::string(600, 'T') + " - Opera",
                                             std::string(70000, 'u')};
    list.Merge(listfile::TitleSet::From(titles, order));
    ASSERT_FALSE(list.Write(Path("long.lst")));
    EXPECT_EQ(titles[0] + "\r\n" + titles[1] + "\r\n", ReadBytes(Path("long.lst")));
    list.Clear();
    EXPECT_FALSE(list.Read(Path("long.lst")));
    EXPECT_EQ(titles, ListBoxEntries(ListBox()));
}

TEST_F(ListFiles, PathsThatNameNoFileChangeNothing) {
    list.Insert("kept");
    WriteBytes(Path("empty.lst"), "");
    for (std::string path : {Path("missing.lst"), Path("no folder\\x.lst"), std::string(),
                             std::string("NUL"), Path("empty.lst")})
        EXPECT_FALSE(list.Read(path)) << path;
    std::optional<bannedlist::Notice> folderRead = list.Read(folder);
    ASSERT_TRUE(folderRead) << "a folder is there but is no list";
    EXPECT_EQ(std::vector<std::string>{"kept"}, Titles());
    list.SetPath(folder);
    EXPECT_TRUE(list.SaveAtExit()) << "and is never written over";
    list.SetPath(Path("missing.lst"));
    EXPECT_FALSE(list.SaveAtExit());
    EXPECT_EQ("kept\r\n", ReadBytes(Path("missing.lst")));
}

TEST_F(ListFiles, AFailedWriteNamesItsCauseAndLeavesTheOldFileWholeAndNoTemporaryFile) {
    using Cause = listfile::FileErrorCause;
    auto failure = [](const std::string& path, size_t size = 3) {
        std::optional<listfile::WriteError> error =
            listfile::WriteFileAtomically(path, std::string(size, 'x'));
        EXPECT_TRUE(error && error->place == listfile::WriteError::Place::File);
        return error ? error->cause : Cause::Unknown;
    };
    list.Insert("new title");
    const std::string old = "old 1\r\nold 2\r\n";
    WriteBytes(Path("ro.lst"), old);
    WriteBytes(Path("held.lst"), old);
    ::SetFileAttributesA(Path("ro.lst").c_str(), FILE_ATTRIBUTE_READONLY);
    ::CreateDirectoryA(Path("dir.lst").c_str(), nullptr);
    // Read-only, a folder in the way, a folder that is not there, a bad name,
    // a name too long, no name, a device.
    const std::pair<std::string, Cause> cases[] = {{Path("ro.lst"), Cause::AccessDenied},
                                                   {Path("dir.lst"), Cause::AccessDenied},
                                                   {Path("nowhere\\x.lst"), Cause::BadPath},
                                                   {Path("a<b>.lst"), Cause::BadPath},
                                                   {Path(std::string(5000, 'n')), Cause::BadPath},
                                                   {"", Cause::NoName},
                                                   {"CON", Cause::Device}};
    for (const auto& [path, cause] : cases)
        EXPECT_EQ(cause, failure(path)) << path.substr(0, 100);
    EXPECT_TRUE(list.Write(Path("ro.lst")));

    // Held open by someone who shares everything, the whole new file is
    // written, then the rename fails and the temporary file goes again.
    const DWORD shareModes[] = {FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, 0};
    for (DWORD share : shareModes) {
        fw::UniqueFileHandle holder(::CreateFileA(Path("held.lst").c_str(), GENERIC_READ, share,
                                                  nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(holder);
        EXPECT_EQ(share ? Cause::AccessDenied : Cause::SharingViolation,
                  failure(Path("held.lst"), 5u << 20))
            << "shared " << share;
        EXPECT_TRUE(list.Write(Path("held.lst"))) << "shared " << share;
    }
    EXPECT_EQ(old, ReadBytes(Path("ro.lst")));
    EXPECT_EQ(old, ReadBytes(Path("held.lst")));
    ::SetFileAttributesA(Path("ro.lst").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ((std::set<std::string>{"dir.lst", "held.lst", "ro.lst"}), Files())
        << "no temporary file stays behind";
    EXPECT_EQ(std::vector<std::string>{"new title"}, Titles()) << "the list is unchanged";
}
