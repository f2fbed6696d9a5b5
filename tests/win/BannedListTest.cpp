// The Banned List page with a real list box: the exact index beside it, the
// merge of list files into the sorted list, the writer that never leaves a
// file half-written, bad input.
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

#include "listfile/AtomicFile.h"
#include "bannedlist/BannedListPage.h"
#include "listfile/ListFileFormat.h"
#include "tests/win/Support.h"

using wintest::EntriesOf;

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

    wintest::HostWindow host;
    bannedlist::BannedListPage page;
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

TEST_F(BannedList, IndexAndListBoxAgreeThroughRandomAddsRemovesAndClears) {
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
    std::vector<std::string> universe;
    for (int i = 0; i < 300; ++i)
        universe.push_back(randomTitle());

    HWND list = page.titles.ListBox(), entry = page.GetDlgItem(IDC_ENTRY);
    for (int step = 0; step < 1500; ++step) {
        int count = page.titles.Count();
        switch (random() % 6) {
        case 0:
            page.titles.Insert(randomTitle());
            break;
        case 1:
            ::SetWindowTextA(entry, randomTitle().c_str());
            page.OnAdd();
            ASSERT_EQ("", wintest::TextOf(entry)) << "Add empties the field";
            break;
        case 2:
            ::SendMessageA(list, LB_SETSEL, FALSE, -1);
            for (int i = 0; i < count; ++i)
                ::SendMessageA(list, LB_SETSEL, random() % 3 == 0, i);
            page.RemoveSelected();
            break;
        case 3:
            if (count > 0)
                page.titles.RemoveAt(static_cast<int>(random() % count));
            break;
        case 4: {
            std::vector<std::string> batch;
            for (int i = static_cast<int>(random() % 6); i > 0; --i)
                batch.push_back(!batch.empty() && random() % 3 == 0 ? batch[0] : randomTitle());
            page.titles.InsertMany(batch);
            break;
        }
        default:
            if (random() % 8 == 0)
                page.titles.Clear();
        }

        std::vector<std::string> entries = EntriesOf(page.titles);
        std::multiset<std::string> listed(entries.begin(), entries.end());
        std::vector<std::string> indexed = page.titles.IndexedTitles();
        ASSERT_EQ(listed, std::multiset<std::string>(indexed.begin(), indexed.end()))
            << "at step " << step;
        ASSERT_EQ(0u, listed.count("")) << "at step " << step;
        for (const std::string& title : universe) {
            bool present = listed.count(title) > 0;
            ASSERT_EQ(!title.empty() && !present, page.IsNewTitle(title)) << "at step " << step;
            ASSERT_EQ(present, page.titles.Contains(title)) << "at step " << step;
        }
    }
}

TEST_F(ListFiles, ReadMergesIntoTheSortedListAndTheIndex) {
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
    HWND list = page.titles.ListBox();
    LCID locale = static_cast<LCID>(::SendMessageA(list, LB_GETLOCALE, 0, 0));
    // Into an empty list, then into a filled one, where the list box places them.
    for (const auto& batch : {titles, std::vector<std::string>{"abc", "aBc", "\xE9T\xE9", "0"}}) {
        WriteBytes(Path("in.lst"), listfile::FormatListFile(batch));
        page.ReadListFile(Path("in.lst"));
        expected.insert(batch.begin(), batch.end());
        std::vector<std::string> entries = EntriesOf(page.titles);
        ASSERT_EQ(expected, std::set<std::string>(entries.begin(), entries.end()));
        ASSERT_EQ(expected.size(), entries.size()) << "no entry twice";
        for (size_t i = 1; i < entries.size(); ++i)
            EXPECT_NE(CSTR_GREATER_THAN,
                      ::CompareStringA(locale, NORM_IGNORECASE, entries[i - 1].c_str(), -1,
                                       entries[i].c_str(), -1))
                << "out of order: " << entries[i - 1] << " / " << entries[i];
        for (const std::string& title : expected)
            EXPECT_FALSE(page.IsNewTitle(title)) << title;
    }
}

TEST_F(ListFiles, EntriesLongerThanTheListBoxPassesOnAreWrittenAndReadWhole) {
    // Longer than the 512 characters Wine's ANSI list-box text passes through.
    const std::vector<std::string> titles = {std::string(600, 'T') + " - Opera",
                                             std::string(70000, 'u')};
    page.titles.InsertMany(titles);
    ASSERT_TRUE(page.WriteListFile(Path("long.lst"), false));
    EXPECT_EQ(titles[0] + "\r\n" + titles[1] + "\r\n", ReadBytes(Path("long.lst")));
    page.titles.Clear();
    page.ReadListFile(Path("long.lst"));
    EXPECT_EQ(titles, EntriesOf(page.titles));
}

TEST_F(ListFiles, PathsThatNameNoFileChangeNothing) {
    page.titles.Insert("kept");
    WriteBytes(Path("empty.lst"), "");
    for (std::string path : {Path("missing.lst"), Path("no folder\\x.lst"), folder, std::string(),
                             std::string("NUL"), Path("empty.lst")})
        page.ReadListFile(path);
    EXPECT_EQ(std::vector<std::string>{"kept"}, EntriesOf(page.titles));
    EXPECT_TRUE(page.fileGuard.IsUnread(folder)) << "a folder is there but is no list";
    EXPECT_FALSE(page.fileGuard.IsUnread(Path("missing.lst")));
}

TEST_F(ListFiles, AFileThatCouldNotBeReadIsNeverWrittenOverAtExit) {
    const std::string old = "one\r\ntwo\r\n";
    WriteBytes(Path("held.lst"), old);
    page.ListPath = Path("held.lst");
    {
        // Held by a program that shares nothing, as an editor may.
        fw::UniqueFileHandle holder(::CreateFileA(Path("held.lst").c_str(), GENERIC_READ, 0,
                                                  nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(holder);
        page.ReadListFile(page.ListPath);
        EXPECT_TRUE(EntriesOf(page.titles).empty());
        page.titles.Insert("added");
        EXPECT_FALSE(page.WriteListFile(page.ListPath, false)) << "still held";
    }
    EXPECT_TRUE(page.fileGuard.IsUnread(page.ListPath)) << "a failed save keeps the guard";
    EXPECT_FALSE(page.SaveListAtExit(false));
    EXPECT_EQ(old, ReadBytes(Path("held.lst")));
    page.titles.Clear();
    EXPECT_TRUE(page.SaveListAtExit(false)) << "an empty list loses nothing by not being saved";
    EXPECT_EQ(old, ReadBytes(Path("held.lst")));

    // Saved deliberately, the file is the list's own again.
    page.titles.Insert("added");
    EXPECT_TRUE(page.WriteListFile(page.ListPath, false));
    EXPECT_FALSE(page.fileGuard.IsUnread(page.ListPath));
    EXPECT_EQ("added\r\n", ReadBytes(Path("held.lst")));
    EXPECT_EQ((std::set<std::string>{"held.lst"}), Files());
}

TEST_F(ListFiles, AFailedWriteNamesItsCauseAndLeavesTheOldFileWholeAndNoTemporaryFile) {
    using Cause = listfile::FileErrorCause;
    auto failure = [](const std::string& path, size_t size = 3) {
        std::optional<listfile::WriteError> error =
            listfile::WriteFileAtomically(path, std::string(size, 'x'));
        EXPECT_TRUE(error && error->place == listfile::WriteError::Place::File);
        return error ? error->cause : Cause::Unknown;
    };
    page.titles.Insert("new title");
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
    EXPECT_FALSE(page.WriteListFile(Path("ro.lst"), false));

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
        EXPECT_FALSE(page.WriteListFile(Path("held.lst"), false)) << "shared " << share;
    }
    EXPECT_EQ(old, ReadBytes(Path("ro.lst")));
    EXPECT_EQ(old, ReadBytes(Path("held.lst")));
    ::SetFileAttributesA(Path("ro.lst").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ((std::set<std::string>{"dir.lst", "held.lst", "ro.lst"}), Files())
        << "no temporary file stays behind";
    EXPECT_EQ(std::vector<std::string>{"new title"}, EntriesOf(page.titles))
        << "the list is unchanged";
}
