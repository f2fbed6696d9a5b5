// The list files on a real Banned List page: the merge into the sorted list
// box, the writer that never leaves a file half-written, bad input.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <utility>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "bannedlist/AtomicFile.h"
#include "bannedlist/BannedListPage.h"
#include "bannedlist/ListFileFormat.h"
#include "tests/win/Support.h"

namespace {

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

class ListFiles : public testing::Test {
protected:
    void SetUp() override {
        auto name = "velmora-list-" + std::to_string(::GetTickCount());
        folder = (std::filesystem::temp_directory_path() / name).string();
        ASSERT_TRUE(std::filesystem::create_directory(folder));
        ASSERT_TRUE(page.Create(host.m_hWnd));
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::string Path(const std::string& name) const { return folder + "\\" + name; }
    std::set<std::string> Files() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            names.insert(entry.path().filename().string());
        return names;
    }
    std::vector<std::string> Entries() const {
        std::vector<std::string> entries;
        for (int i = 0; i < page.titles.Count(); ++i)
            entries.push_back(page.titles.At(i));
        return entries;
    }

    wintest::HostWindow host;
    BannedListPage page;
    std::string folder;
};

} // namespace

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
        std::vector<std::string> entries = Entries();
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
    EXPECT_EQ(titles, Entries());
}

TEST_F(ListFiles, PathsThatNameNoFileChangeNothing) {
    page.titles.Insert("kept");
    WriteBytes(Path("empty.lst"), "");
    for (std::string path : {Path("missing.lst"), Path("no folder\\x.lst"), folder, std::string(),
                             std::string("NUL"), Path("empty.lst")})
        page.ReadListFile(path);
    EXPECT_EQ(std::vector<std::string>{"kept"}, Entries());
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
        EXPECT_TRUE(Entries().empty());
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

TEST_F(ListFiles, AFailedWriteLeavesTheOldFileWholeAndNoTemporaryFile) {
    using listfile::FileErrorCause;
    using Place = listfile::WriteError::Place;
    auto failure = [](const std::string& path, const std::string& bytes) {
        std::optional<listfile::WriteError> error = listfile::WriteFileAtomically(path, bytes);
        return error ? std::make_pair(error->cause, error->place)
                     : std::make_pair(FileErrorCause::Unknown, Place::Backup);
    };
    page.titles.Insert("new title");
    const std::string old = "old 1\r\nold 2\r\n";
    WriteBytes(Path("ro.lst"), old);
    WriteBytes(Path("held.lst"), old);
    ::SetFileAttributesA(Path("ro.lst").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(std::make_pair(FileErrorCause::AccessDenied, Place::File),
              failure(Path("ro.lst"), "x\r\n"));
    EXPECT_FALSE(page.WriteListFile(Path("ro.lst"), false));

    // Held open by someone who shares everything: the whole new file is
    // written, then the rename fails and the temporary file goes again.
    {
        fw::UniqueFileHandle holder(::CreateFileA(Path("held.lst").c_str(), GENERIC_READ, 7,
                                                  nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(holder);
        EXPECT_EQ(std::make_pair(FileErrorCause::AccessDenied, Place::File),
                  failure(Path("held.lst"), std::string(5u << 20, 'x')));
        EXPECT_FALSE(page.WriteListFile(Path("held.lst"), false));
    }
    {
        fw::UniqueFileHandle holder(::CreateFileA(Path("held.lst").c_str(), GENERIC_READ, 0,
                                                  nullptr, OPEN_EXISTING, 0, nullptr));
        EXPECT_EQ(std::make_pair(FileErrorCause::SharingViolation, Place::File),
                  failure(Path("held.lst"), "x\r\n"))
            << "held open by someone who shares nothing";
    }
    EXPECT_EQ(old, ReadBytes(Path("ro.lst")));
    EXPECT_EQ(old, ReadBytes(Path("held.lst")));
    ::SetFileAttributesA(Path("ro.lst").c_str(), FILE_ATTRIBUTE_NORMAL);

    // A folder in the way, a folder that is not there, a bad name, no name, a device.
    ::CreateDirectoryA(Path("dir.lst").c_str(), nullptr);
    EXPECT_EQ(std::make_pair(FileErrorCause::AccessDenied, Place::File),
              failure(Path("dir.lst"), "x\r\n"));
    for (const std::string& path :
         {Path("nowhere\\x.lst"), Path("a<b>.lst"), std::string(5000, 'n')})
        EXPECT_EQ(std::make_pair(FileErrorCause::BadPath, Place::File), failure(path, "x\r\n"))
            << path.substr(0, 100);
    EXPECT_EQ(std::make_pair(FileErrorCause::NoName, Place::File), failure("", "x\r\n"));
    EXPECT_EQ(std::make_pair(FileErrorCause::Device, Place::File), failure("CON", "x\r\n"));
    EXPECT_EQ((std::set<std::string>{"dir.lst", "held.lst", "ro.lst"}), Files())
        << "no temporary file stays behind";
    EXPECT_EQ(std::vector<std::string>{"new title"}, Entries()) << "the list is unchanged";
}
