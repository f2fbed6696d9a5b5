// The banned list as a model: its titles in order, reading and writing list
// files through a stand-in file system, the guard over files that must not
// simply be written over, the save at exit and an update's answer.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <optional>
#include <string>
#include <vector>

#include "bannedlist/BannedList.h"
#include "tests/unit/CodePages.h"

namespace {

using Lines = std::vector<std::string>;
using Cause = listfile::FileErrorCause;

// Letter case ignored, as the list box orders titles.
class CaseBlindOrder : public listfile::TitleOrder {
public:
    std::string SortKey(const std::string& title) const override {
        std::string key = title;
        for (char& c : key)
            c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        return key;
    }
};

// Files in a map; a file may be unreadable (from its start or after some
// bytes), not writable, or refuse a copy.
class FakeFiles : public listfile::ListFileSystem {
public:
    std::string FullPath(const std::string& path) const override {
        return path.empty() || path[0] == '/' ? path : "/work/" + path;
    }
    // Letter case ignored, as Windows names files.
    bool SamePath(const std::string& a, const std::string& b) const override {
        CaseBlindOrder caseBlind;
        return caseBlind.SortKey(a) == caseBlind.SortKey(b);
    }
    bool Exists(const std::string& fullPath) const override { return files.count(fullPath) != 0; }
    listfile::ReadStatus Read(const std::string& path, const Piece& piece) override {
        auto found = files.find(FullPath(path));
        if (found == files.end())
            return {listfile::ReadStatus::Kind::Missing};
        auto failing = unreadable.find(FullPath(path));
        size_t readable = failing == unreadable.end() ? found->second.size() : failing->second;
        // In pieces of three bytes, so that lines cross them.
        for (size_t at = 0; at < readable; at += 3)
            piece(found->second.data() + at, std::min<size_t>(3, readable - at));
        if (failing != unreadable.end())
            return {listfile::ReadStatus::Kind::Failed, Cause::SharingViolation};
        return {listfile::ReadStatus::Kind::Read};
    }
    std::optional<listfile::WriteError> Replace(const std::string& path,
                                                const std::string& bytes) override {
        if (readOnly.count(FullPath(path)))
            return listfile::WriteError{Cause::AccessDenied, listfile::WriteError::Place::File,
                                        FullPath(path), ""};
        files[FullPath(path)] = bytes;
        return std::nullopt;
    }
    std::optional<Cause> CopyToNew(const std::string& from, const std::string& to) override {
        if (noCopies)
            return Cause::DiskFull;
        files[to] = files[from];
        return std::nullopt;
    }

    std::map<std::string, std::string> files;
    std::map<std::string, size_t> unreadable; // the bytes read before the failure
    std::map<std::string, bool> readOnly;
    bool noCopies = false;
};

// What the list told its view, as one string: "+2" inserted at 2, "-0"
// removed at 0, "*" everything.
class RecordingView : public bannedlist::BannedList::View {
public:
    void Inserted(size_t position) override { said += "+" + std::to_string(position) + " "; }
    void Removed(size_t position) override { said += "-" + std::to_string(position) + " "; }
    void Reset() override { said += "* "; }
    std::string said;
};

class BannedList : public testing::Test {
protected:
    BannedList() { list.SetView(&view); }
    Lines Titles() const {
        Lines titles;
        for (size_t i = 0; i < list.Count(); ++i)
            titles.push_back(list.At(i));
        return titles;
    }
    listfile::TitleSet Set(const Lines& titles) const {
        return listfile::TitleSet::From(titles, order);
    }

    CaseBlindOrder order;
    FakeFiles files;
    testcp::Latin1 codePage;
    bannedlist::BannedList list{order, files, codePage};
    RecordingView view;
};

} // namespace

TEST_F(BannedList, TitlesAreKeptOnceInOrderAndEqualKeysInTheOrderTheyCame) {
    EXPECT_TRUE(list.Insert("pear"));
    EXPECT_TRUE(list.Insert("Apple"));
    EXPECT_TRUE(list.Insert("apple"));
    EXPECT_TRUE(list.Insert("Mango"));
    EXPECT_FALSE(list.Insert("pear")) << "listed";
    EXPECT_FALSE(list.Insert("")) << "empty";
    EXPECT_EQ((Lines{"Apple", "apple", "Mango", "pear"}), Titles());
    EXPECT_EQ("+0 +0 +1 +2 ", view.said);

    view.said.clear();
    // A file's titles: its empty lines and repeats left out, the rest
    // merged behind the listed titles of an equal key.
    EXPECT_EQ(3u, list.Merge(Set({"kiwi", "", "APPLE", "pear", "kiwi", "aPPle", "Apple"})));
    EXPECT_EQ((Lines{"Apple", "apple", "APPLE", "aPPle", "kiwi", "Mango", "pear"}), Titles());
    EXPECT_EQ("* ", view.said);
    EXPECT_EQ(0u, list.Merge(Set({"pear"})));
    EXPECT_EQ("* ", view.said) << "nothing new: nothing to show again";

    list.RemoveAt(1);
    list.RemoveAt(99);
    EXPECT_EQ("* -1 ", view.said);
    EXPECT_TRUE(list.IsNewTitle("apple")) << "removed from the index too";
    EXPECT_FALSE(list.IsNewTitle("Apple"));
    EXPECT_TRUE(list.Contains("kiwi"));
    EXPECT_FALSE(list.Contains("Kiwi")) << "letter case counts";
    list.Clear();
    EXPECT_EQ(0u, list.Count());
    EXPECT_FALSE(list.Contains("kiwi"));
}

TEST_F(BannedList, ReadMergesAFileAndLoadAppendNewAndSaveAsChooseTheListFile) {
    files.files["/work/a.lst"] = "b\n\na\r\nb\r\na \nlast";
    EXPECT_FALSE(list.Read("a.lst"));
    EXPECT_EQ((Lines{"a", "a ", "b", "last"}), Titles());
    EXPECT_EQ("default.lst", list.Path()) << "reading alone chooses no file";

    files.files["/work/c.lst"] = "c\r\nb\r\n";
    EXPECT_FALSE(list.Append("c.lst"));
    EXPECT_EQ((Lines{"a", "a ", "b", "c", "last"}), Titles());
    EXPECT_EQ("c.lst", list.Path());
    EXPECT_FALSE(list.Load("missing.lst")) << "a missing file is an empty list, said nothing of";
    EXPECT_EQ(Lines{}, Titles());
    EXPECT_EQ("missing.lst", list.Path());
    list.Insert("x");
    list.StartNew();
    EXPECT_EQ(Lines{}, Titles());
    EXPECT_EQ("new.lst", list.Path());
    EXPECT_TRUE(files.files.count("/work/new.lst") == 0) << "New writes nothing";

    list.Insert("abc");
    list.Insert("Abc");
    files.readOnly["/work/ro.lst"] = true;
    ASSERT_TRUE(list.SaveAs("ro.lst"));
    EXPECT_EQ("ro.lst", list.Path()) << "the list file even when it could not be written";
    EXPECT_FALSE(list.SaveAs("out.lst"));
    EXPECT_EQ("abc\r\nAbc\r\n", files.files["/work/out.lst"]);
    list.Clear();
    EXPECT_FALSE(list.Write("empty.lst"));
    EXPECT_EQ("", files.files["/work/empty.lst"]);
}

// Written over at exit, the titles not read would be lost.
TEST_F(BannedList, AFileThatCouldNotBeReadIsNotWrittenOverAtExitUntilSavedDeliberately) {
    files.files["/work/held.lst"] = "one\r\ntwo\r\nthree\r\n";
    files.unreadable["/work/held.lst"] = 8; // "one\r\ntwo" and no more
    std::optional<bannedlist::Notice> notice = list.Load("held.lst");
    ASSERT_TRUE(notice);
    EXPECT_EQ(bannedlist::Notice::Kind::Problem, notice->kind);
    EXPECT_EQ("A sharing violation occurred while accessing /work/held.lst.\n\nThe titles in this "
              "file were not read, and Velmora will not write over it when it closes.",
              notice->text);
    EXPECT_EQ(Lines{"one"}, Titles()) << "the lines read whole, not the broken one";

    list.Insert("added");
    EXPECT_EQ("/work/held.lst could not be read when the list was taken from it, so Velmora "
              "does not write over it.",
              list.SaveAtExit().value_or(""));
    list.Clear();
    EXPECT_FALSE(list.SaveAtExit()) << "an empty list loses nothing by not being saved";
    EXPECT_EQ("one\r\ntwo\r\nthree\r\n", files.files["/work/held.lst"]);

    list.Insert("mine");
    EXPECT_FALSE(list.Write("held.lst")) << "saved deliberately, the file is the list's again";
    list.Insert("more");
    EXPECT_FALSE(list.SaveAtExit());
    EXPECT_EQ("mine\r\nmore\r\n", files.files["/work/held.lst"]);

    files.unreadable.clear();
    files.readOnly["/work/held.lst"] = true;
    EXPECT_EQ("Access to /work/held.lst was denied.", list.SaveAtExit().value_or(""));
}

// The guard knows a file by any name of it, and lets go of a file once it
// is read whole.
TEST_F(BannedList, TheGuardKnowsAFileByAnyOfItsNamesUntilItIsReadWhole) {
    files.files["/work/held.lst"] = "one\r\n";
    files.unreadable["/work/held.lst"] = 0;
    ASSERT_TRUE(list.Load("held.lst"));
    list.Insert("mine");
    list.SetPath("HELD.LST");
    EXPECT_TRUE(list.SaveAtExit()) << "the same file";
    EXPECT_EQ(1u, files.files.size()) << "nothing written";

    files.unreadable.clear();
    EXPECT_FALSE(list.Read("held.lst"));
    EXPECT_FALSE(list.SaveAtExit()) << "read whole now";
    EXPECT_EQ("mine\r\none\r\n", files.files["/work/HELD.LST"]);
}

TEST_F(BannedList, AFileChangedOnReadingKeepsItsOriginalOnceBeforeTheFirstSaveOverIt) {
    const std::string utf16 = std::string("\xFF\xFE", 2) + std::string("a\0b\0\r\0\n\0", 8);
    files.files["/work/u.lst"] = utf16;
    files.files["/work/u.lst.bak"] = "taken";
    std::optional<bannedlist::Notice> notice = list.Load("u.lst");
    ASSERT_TRUE(notice);
    EXPECT_EQ(bannedlist::Notice::Kind::Information, notice->kind);
    EXPECT_NE(std::string::npos, notice->text.find("/work/u.lst.2.bak")) << notice->text;
    EXPECT_EQ(Lines{"ab"}, Titles());

    files.noCopies = true;
    std::optional<listfile::WriteError> refused = list.Write("u.lst");
    ASSERT_TRUE(refused) << "no copy, no save over the original";
    EXPECT_EQ(listfile::WriteError::Place::Backup, refused->place);
    EXPECT_EQ("/work/u.lst.2.bak", refused->other);
    EXPECT_EQ(utf16, files.files["/work/u.lst"]);

    files.noCopies = false;
    EXPECT_FALSE(list.Write("u.lst"));
    EXPECT_EQ(utf16, files.files["/work/u.lst.2.bak"]);
    EXPECT_EQ("ab\r\n", files.files["/work/u.lst"]);
    files.files.erase("/work/u.lst.2.bak");
    EXPECT_FALSE(list.Write("u.lst"));
    EXPECT_EQ(0u, files.files.count("/work/u.lst.2.bak")) << "kept once";

    // Read as it is, a file needs no copy.
    files.files["/work/plain.lst"] = "plain\r\n";
    EXPECT_FALSE(list.Load("plain.lst"));
    EXPECT_FALSE(list.Write("plain.lst"));
    EXPECT_EQ(0u, files.files.count("/work/plain.lst.bak"));
}

TEST_F(BannedList, AnUpdateIsKeptAsUploadedLstAndMergedOrChangesNothing) {
    list.Insert("mine");
    list.SetPath("default.lst");
    files.readOnly["/work/uploaded.lst"] = true;
    bannedlist::BannedList::UpdateOutcome refused =
        list.AdoptUpdate("ad\r\n", listfile::ReadReport(), Set({"ad"}));
    ASSERT_TRUE(refused.failure);
    EXPECT_EQ(listfile::UpdateFailure::Kind::Stored, refused.failure->kind);
    EXPECT_EQ(Cause::AccessDenied, refused.failure->storeError.cause);
    EXPECT_EQ(Lines{"mine"}, Titles());
    EXPECT_EQ("default.lst", list.Path());

    files.readOnly.clear();
    listfile::ReadReport utf8;
    utf8.encoding = listfile::Encoding::Utf8;
    const std::string answer = "\xEF\xBB\xBF"
                               "ad\r\nmine\r\n";
    bannedlist::BannedList::UpdateOutcome merged =
        list.AdoptUpdate(answer, utf8, Set({"ad", "mine"}));
    EXPECT_FALSE(merged.failure);
    EXPECT_EQ(1u, merged.added);
    ASSERT_TRUE(merged.notice) << "a list in UTF-8 is converted, and its original kept";
    EXPECT_EQ((Lines{"ad", "mine"}), Titles());
    EXPECT_EQ("uploaded.lst", list.Path());
    EXPECT_EQ(answer, files.files["/work/uploaded.lst"]) << "kept as it came";
    EXPECT_FALSE(list.SaveAtExit());
    EXPECT_EQ(answer, files.files["/work/uploaded.lst.bak"]);
    EXPECT_EQ("ad\r\nmine\r\n", files.files["/work/uploaded.lst"]);
}

// Merged either way round (into the larger set's index), the titles come
// out as a plain stable sort of the listed ones and then the new ones gives.
TEST_F(BannedList, AMergeGivesWhatAStableSortOfTheListedAndTheNewTitlesGives) {
    std::mt19937 random(11);
    auto title = [&] {
        std::string t;
        for (int n = 1 + static_cast<int>(random() % 3); n > 0; --n)
            t += "aAbB"[random() % 4];
        return t;
    };
    for (int round = 0; round < 200; ++round) {
        list.Clear();
        Lines listed, more;
        for (int n = static_cast<int>(random() % 12); n > 0; --n)
            listed.push_back(title());
        for (int n = static_cast<int>(random() % 12); n > 0; --n)
            more.push_back(title());
        list.Merge(Set(listed));
        Lines expected;
        for (const Lines& part : {listed, more})
            for (const std::string& t : part)
                if (std::find(expected.begin(), expected.end(), t) == expected.end())
                    expected.push_back(t);
        std::stable_sort(expected.begin(), expected.end(), [&](const auto& a, const auto& b) {
            return order.SortKey(a) < order.SortKey(b);
        });
        size_t before = list.Count();
        size_t added = list.Merge(Set(more));
        ASSERT_EQ(expected, Titles()) << "round " << round;
        ASSERT_EQ(expected.size() - before, added);
        for (const std::string& t : expected)
            ASSERT_TRUE(list.Contains(t));
    }
}
