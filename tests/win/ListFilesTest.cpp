// The list files on a real Banned List page: the merge into the sorted list
// box, the writer that never leaves a file half-written, bad input.
#include <gtest/gtest.h>
#include <windows.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "bannedlist/AtomicFile.h"
#include "bannedlist/BannedListPage.h"
#include "bannedlist/ListFileFormat.h"

namespace {

std::string ReadBytes(const std::string& path) {
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got)
        bytes.append(buffer, got);
    ::CloseHandle(file);
    return bytes;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << path;
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
}

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

void RemoveTree(const std::string& folder) {
    for (const std::string& name : FilesIn(folder)) {
        std::string path = folder + "\\" + name;
        ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!::DeleteFileA(path.c_str()))
            RemoveTree(path);
    }
    ::RemoveDirectoryA(folder.c_str());
}

class ListFiles : public testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, temp);
        folder_ =
            std::string(temp) + "velmora-listfiles-" + std::to_string(::GetCurrentProcessId());
        RemoveTree(folder_);
        ::CreateDirectoryA(folder_.c_str(), nullptr);
        parent_ = ::CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW, 0, 0, 500, 400,
                                    nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(page_.Create(parent_));
    }
    void TearDown() override {
        ::DestroyWindow(parent_);
        RemoveTree(folder_);
    }
    std::string Path(const std::string& name) const { return folder_ + "\\" + name; }

    std::vector<std::string> Entries() const {
        std::vector<std::string> entries;
        for (int i = 0; i < page_.titles.Count(); ++i)
            entries.push_back(page_.titles.At(i));
        return entries;
    }

    // The list box's order holds pair by pair, and the exact index knows
    // every entry and nothing else.
    void ExpectSortedAndIndexed(const std::set<std::string>& expected) {
        HWND list = page_.titles.ListBox();
        LCID locale = static_cast<LCID>(::SendMessageA(list, LB_GETLOCALE, 0, 0));
        std::vector<std::string> entries = Entries();
        EXPECT_EQ(expected, std::set<std::string>(entries.begin(), entries.end()));
        EXPECT_EQ(expected.size(), entries.size()) << "no entry twice";
        for (size_t i = 1; i < entries.size(); ++i) {
            EXPECT_NE(CSTR_GREATER_THAN,
                      ::CompareStringA(locale, NORM_IGNORECASE, entries[i - 1].c_str(), -1,
                                       entries[i].c_str(), -1))
                << "out of order at " << i << ": " << entries[i - 1] << " / " << entries[i];
        }
        for (const std::string& title : expected)
            EXPECT_FALSE(page_.IsNewTitle(title)) << title;
    }

    std::string folder_;
    HWND parent_ = nullptr;
    BannedListPage page_;
};

} // namespace

TEST_F(ListFiles, ReadMergesIntoTheSortedListAndTheIndex) {
    // Case and blank variants, bytes above 0x7F, punctuation, in no order.
    std::vector<std::string> titles = {"abc", "Abc",       "ABC",     "abc ",  " abc", "b\tc",
                                       "_x",  "\xE9t\xE9", "Zebra",   "zebra", "10",   "9",
                                       "a-b", "ab",        "\x80uro", "~",     "a'b",  "A B"};
    std::mt19937 random(4);
    for (int i = 0; i < 3000; ++i) {
        std::string title;
        int length = 1 + static_cast<int>(random() % 12);
        for (int k = 0; k < length; ++k)
            title += static_cast<char>(0x20 + random() % 0xDF);
        titles.push_back(title);
    }
    std::shuffle(titles.begin(), titles.end(), random);
    WriteBytes(Path("first.lst"), listfile::FormatListFile(titles));
    page_.ReadListFile(Path("first.lst"));
    std::set<std::string> expected(titles.begin(), titles.end());
    ExpectSortedAndIndexed(expected);

    // Into a filled list the list box places the new titles itself.
    std::vector<std::string> more = {"abc", "aBc", "new one", "\xE9T\xE9", "0"};
    WriteBytes(Path("more.lst"), listfile::FormatListFile(more));
    page_.ReadListFile(Path("more.lst"));
    expected.insert(more.begin(), more.end());
    ExpectSortedAndIndexed(expected);

    // A later single insert still finds its place.
    EXPECT_TRUE(page_.titles.Insert("middle of the list"));
    expected.insert("middle of the list");
    ExpectSortedAndIndexed(expected);
}

TEST_F(ListFiles, TheFiveLineFileAndWhatIsWrittenBack) {
    WriteBytes(Path("five.lst"), "b\r\n\na\r\nb\na ");
    page_.ReadListFile(Path("five.lst"));
    EXPECT_EQ((std::vector<std::string>{"a", "a ", "b"}), Entries());

    ASSERT_TRUE(page_.WriteListFile(Path("out.lst"), false));
    EXPECT_EQ("a\r\na \r\nb\r\n", ReadBytes(Path("out.lst")));

    page_.titles.Clear();
    ASSERT_TRUE(page_.WriteListFile(Path("out.lst"), false));
    EXPECT_EQ("", ReadBytes(Path("out.lst"))) << "an empty list replaces the file with 0 bytes";
    EXPECT_EQ((std::vector<std::string>{"five.lst", "out.lst"}), FilesIn(folder_))
        << "no temporary file stays behind";

    // Entries longer than the 512 characters Wine's ANSI list-box text
    // passes through come back whole.
    const std::string longTitle = std::string(600, 'T') + " - Opera";
    const std::string longerTitle(70000, 'u');
    page_.titles.Insert(longTitle);
    page_.titles.Insert(longerTitle);
    ASSERT_TRUE(page_.WriteListFile(Path("long.lst"), false));
    EXPECT_EQ(longTitle + "\r\n" + longerTitle + "\r\n", ReadBytes(Path("long.lst")));
    page_.titles.Clear();
    page_.ReadListFile(Path("long.lst"));
    EXPECT_EQ((std::vector<std::string>{longTitle, longerTitle}), Entries());
    page_.titles.Clear();
    ::DeleteFileA(Path("long.lst").c_str());

    // A relative name is resolved against the current folder.
    char previous[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, previous);
    ::SetCurrentDirectoryA(folder_.c_str());
    page_.titles.Insert("rel");
    EXPECT_TRUE(page_.WriteListFile("relative.lst", false));
    ::SetCurrentDirectoryA(previous);
    EXPECT_EQ("rel\r\n", ReadBytes(Path("relative.lst")));
}

TEST_F(ListFiles, BadInputReadsSoundly) {
    page_.titles.Insert("kept");
    page_.ReadListFile(Path("missing.lst"));
    page_.ReadListFile(Path("no folder\\x.lst"));
    page_.ReadListFile(folder_);
    page_.ReadListFile("");
    page_.ReadListFile("NUL");
    WriteBytes(Path("empty.lst"), "");
    page_.ReadListFile(Path("empty.lst"));
    EXPECT_EQ((std::vector<std::string>{"kept"}), Entries());

    // A binary file: NULs, stray CRs, every byte value, a long line.
    std::string binary;
    std::mt19937 random(11);
    for (int i = 0; i < 300000; ++i)
        binary += static_cast<char>(random() % 256);
    binary += std::string(3u << 20, 'L');
    binary += std::string("\0\0\r\n\r\r\n", 7);
    WriteBytes(Path("binary.bin"), binary);
    page_.ReadListFile(Path("binary.bin"));
    std::vector<std::string> entries = Entries();
    EXPECT_GT(entries.size(), 100u);
    std::set<std::string> unique(entries.begin(), entries.end());
    EXPECT_EQ(unique.size(), entries.size());
    for (const std::string& entry : entries) {
        EXPECT_FALSE(entry.empty());
        EXPECT_EQ(std::string::npos, entry.find('\n'));
    }
    // Whatever came in is written out and read back the same.
    ASSERT_TRUE(page_.WriteListFile(Path("again.lst"), false));
    page_.titles.Clear();
    page_.ReadListFile(Path("again.lst"));
    EXPECT_EQ(entries, Entries());
}

TEST_F(ListFiles, AFailedWriteLeavesTheOldFileWholeAndNoTemporaryFile) {
    page_.titles.Insert("new title");
    const std::string old = "old 1\r\nold 2\r\n";

    // Read-only: refused before anything is written.
    WriteBytes(Path("ro.lst"), old);
    ::SetFileAttributesA(Path("ro.lst").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED),
              listfile::WriteFileAtomically(Path("ro.lst"), "x\r\n"));
    EXPECT_FALSE(page_.WriteListFile(Path("ro.lst"), false));
    EXPECT_EQ(old, ReadBytes(Path("ro.lst")));
    ::SetFileAttributesA(Path("ro.lst").c_str(), FILE_ATTRIBUTE_NORMAL);

    // Held open by someone who shares everything: the whole new file is
    // written, then the rename fails and the temporary file goes again.
    WriteBytes(Path("held.lst"), old);
    HANDLE holder = ::CreateFileA(Path("held.lst").c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED),
              listfile::WriteFileAtomically(Path("held.lst"), std::string(5u << 20, 'x')));
    EXPECT_FALSE(page_.WriteListFile(Path("held.lst"), false));
    ::CloseHandle(holder);
    EXPECT_EQ(old, ReadBytes(Path("held.lst")));

    // Held open by someone who shares nothing.
    holder = ::CreateFileA(Path("held.lst").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION),
              listfile::WriteFileAtomically(Path("held.lst"), "x\r\n"));
    ::CloseHandle(holder);
    EXPECT_EQ(old, ReadBytes(Path("held.lst")));

    // A folder in the way, a folder that is not there, a bad name.
    ::CreateDirectoryA(Path("dir.lst").c_str(), nullptr);
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED),
              listfile::WriteFileAtomically(Path("dir.lst"), "x\r\n"));
    DWORD missing = listfile::WriteFileAtomically(Path("nowhere\\x.lst"), "x\r\n");
    EXPECT_EQ(listfile::FileErrorCause::BadPath, listfile::FileErrorCauseFromSystemError(missing))
        << missing;
    DWORD badName = listfile::WriteFileAtomically(Path("a<b>.lst"), "x\r\n");
    EXPECT_NE(static_cast<DWORD>(ERROR_SUCCESS), badName);
    EXPECT_EQ(listfile::FileErrorCause::BadPath, listfile::FileErrorCauseFromSystemError(badName))
        << badName;

    EXPECT_EQ((std::vector<std::string>{"dir.lst", "held.lst", "ro.lst"}), FilesIn(folder_))
        << "no temporary file stays behind";
    EXPECT_EQ((std::vector<std::string>{"new title"}), Entries()) << "the list is unchanged";
}
