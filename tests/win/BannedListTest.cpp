// The banned list with a real list box: the exact index beside it never
// disagrees with it, whatever mixture of adds, removes and clears runs.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "bannedlist/BannedListPage.h"
#include "tests/win/WinTestSupport.h"

namespace {

class BannedList : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(page.Create(host.m_hWnd));
        ::ShowWindow(page.m_hWnd, SW_SHOW);
    }

    HWND List() const { return page.GetDlgItem(IDC_BANNED_LIST); }
    HWND Entry() const { return page.GetDlgItem(IDC_ENTRY); }

    std::vector<std::string> ListTexts() const {
        std::vector<std::string> texts;
        int count = static_cast<int>(::SendMessageA(List(), LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i)
            texts.push_back(page.titles.At(i));
        return texts;
    }

    void SelectOnly(const std::vector<int>& indices) {
        ::SendMessageA(List(), LB_SETSEL, FALSE, -1);
        for (int i : indices)
            ::SendMessageA(List(), LB_SETSEL, TRUE, i);
    }

    wintest::TestHost host;
    BannedListPage page;
};

// Text the list box hands back for these bytes (the code page's round trip).
std::string RoundTrip(const std::string& bytes) {
    int n =
        ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), &wide[0], n);
    int m = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
    std::string back(static_cast<size_t>(m), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), n, &back[0], m, nullptr, nullptr);
    return back;
}

} // namespace

TEST_F(BannedList, IndexAndListBoxAgreeThroughRandomAddsRemovesAndClears) {
    // A small alphabet, so that equal titles and near misses (case, blanks,
    // bytes above 0x7F) come up often.
    const std::vector<std::string> pieces = {"a", "A", " ", "b", "\xE9", "\x81", " - Opera", "\t"};
    std::mt19937 random(20240917);
    auto randomTitle = [&] {
        std::string title;
        int length = static_cast<int>(random() % 4);
        for (int i = 0; i < length; ++i)
            title += pieces[random() % pieces.size()];
        return title;
    };
    std::vector<std::string> universe;
    for (int i = 0; i < 300; ++i)
        universe.push_back(randomTitle());

    for (int step = 0; step < 1500; ++step) {
        int count = page.titles.Count();
        switch (random() % 11) {
        case 0:
        case 1:
        case 2:
            page.titles.Insert(randomTitle());
            break;
        case 3:
        case 4: {
            ::SetWindowTextA(Entry(), randomTitle().c_str());
            page.OnAdd();
            ASSERT_EQ("", wintest::TextOf(Entry())) << "Add empties the field";
            break;
        }
        case 5:
        case 6: {
            std::vector<int> selected;
            for (int i = 0; i < count; ++i)
                if (random() % 3 == 0)
                    selected.push_back(i);
            SelectOnly(selected);
            page.RemoveSelected();
            break;
        }
        case 7:
            if (count > 0)
                page.titles.RemoveAt(static_cast<int>(random() % count));
            break;
        case 8:
        case 9: {
            std::vector<std::string> batch;
            int size = static_cast<int>(random() % 6);
            for (int i = 0; i < size; ++i)
                batch.push_back(i > 0 && random() % 3 == 0 ? batch[0] : randomTitle());
            page.titles.InsertMany(batch);
            break;
        }
        default:
            if (random() % 8 == 0)
                page.titles.Clear();
            break;
        }

        std::vector<std::string> listed = ListTexts();
        std::vector<std::string> indexed = page.titles.IndexedTitles();
        std::multiset<std::string> listedSet(listed.begin(), listed.end());
        ASSERT_EQ(listedSet, std::multiset<std::string>(indexed.begin(), indexed.end()))
            << "at step " << step;
        for (const std::string& title : listed)
            ASSERT_FALSE(title.empty()) << "at step " << step;
        for (const std::string& title : universe) {
            bool present = listedSet.count(title) > 0;
            ASSERT_EQ(!title.empty() && !present, page.IsNewTitle(title)) << "at step " << step;
            ASSERT_EQ(present, page.titles.Contains(title)) << "at step " << step;
        }
    }
}

TEST_F(BannedList, TitlesThatChangeOnTheCodePagesRoundTripStayInStep) {
    // Bytes that the list box cannot keep as given in this code page, if any.
    std::string lossy;
    for (const char* candidate : {"\x81", "\x8D", "\x90", "\x9D", "\xFF", "a\x83", "\x83"}) {
        if (RoundTrip(candidate) != candidate) {
            lossy = candidate;
            break;
        }
    }
    if (lossy.empty())
        GTEST_SKIP() << "every candidate survives code page " << ::GetACP();

    ASSERT_TRUE(page.titles.Insert(lossy));
    std::string held = page.titles.At(0);
    EXPECT_EQ(RoundTrip(lossy), held);
    EXPECT_TRUE(page.titles.Contains(held)) << "the name rule sees what the list holds";
    page.titles.RemoveAt(0);
    EXPECT_EQ(0, page.titles.Count());
    EXPECT_TRUE(page.titles.IndexedTitles().empty()) << "nothing left behind in the index";
    EXPECT_FALSE(page.titles.Contains(lossy));
}

TEST_F(BannedList, AddRefusesEmptyAndDuplicateTitlesButKeepsCaseAndBlankVariants) {
    for (const char* typed : {"abc", "abc", "", "ABC", "abc ", " abc", "abc"}) {
        ::SetWindowTextA(Entry(), typed);
        page.OnAdd();
        EXPECT_EQ("", wintest::TextOf(Entry()));
    }
    std::vector<std::string> listed = ListTexts();
    std::multiset<std::string> got(listed.begin(), listed.end());
    EXPECT_EQ((std::multiset<std::string>{"abc", "ABC", "abc ", " abc"}), got);
}
