// The BannedList: the titles in the page's sorted list box, with an exact
// index beside it so that IsNewTitle and the name rule do not walk the list
// box message by message. Every change of the list goes through here, which
// keeps the two in step. The index holds each entry as the list box gives it
// back, one copy per entry, so it answers exactly as a walk through the list
// box would.
#pragma once

#include <windows.h>

#include <string>
#include <unordered_set>
#include <vector>

namespace bannedlist {

class BannedTitles {
public:
    void Attach(HWND box);
    HWND ListBox() const { return listBox; }

    // True when the title may be added: not empty, and no entry equal to it
    // byte for byte (letter case and blanks count).
    bool IsNewTitle(const std::string& title) const;
    // True when an entry equals the title byte for byte.
    bool Contains(const std::string& title) const;

    // Sorted insert of a new title; false when it is empty, present already
    // or the list box refused it.
    bool Insert(const std::string& title);
    // Inserts the new titles among these with redraw off; returns how many.
    size_t InsertMany(const std::vector<std::string>& titles);
    // Puts the new titles among these after every entry, in the order
    // given, with redraw off; returns how many. Only for titles the caller
    // has ordered as the sorted list box compares them, following entries
    // that come before them: the list stays sorted, and no entry is moved
    // or compared on the way.
    size_t AppendInOrder(const std::vector<std::string>& titles);

    int Count() const;
    std::string At(int position) const;
    void RemoveAt(int position);
    void Clear();
    // The entries as the index holds them, unordered (for checks).
    std::vector<std::string> IndexedTitles() const;

private:
    bool AddToListBox(const std::string& title);

    HWND listBox = nullptr;
    std::unordered_multiset<std::string> index;
};

} // namespace bannedlist
