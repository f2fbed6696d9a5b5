// The banned list with a real list box: the exact index beside it never
// disagrees with it, whatever mixture of adds, removes and clears runs.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "bannedlist/BannedListPage.h"
#include "tests/win/Support.h"

TEST(BannedList, IndexAndListBoxAgreeThroughRandomAddsRemovesAndClears) {
    wintest::HostWindow host;
    BannedListPage page;
    ASSERT_TRUE(page.Create(host.m_hWnd));
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

        std::multiset<std::string> listed;
        for (int i = 0; i < page.titles.Count(); ++i)
            listed.insert(page.titles.At(i));
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
