// A list box that shows the banned list: each insertion and removal at
// once, at its place; a whole new list (a load, an update) in parts, so that
// a list of a million titles never holds up the program. The list box shows
// the list's first Shown() titles at any time.
#pragma once

#include <windows.h>

#include <functional>
#include <utility>

#include "bannedlist/BannedList.h"

namespace bannedlist {

class ListBoxMirror : public BannedList::View {
public:
    // fillLater: asks for FillSome to be called soon, from the message loop.
    // stepMs: how long one part may take.
    ListBoxMirror(const BannedList& mirrored, std::function<void()> fillLater, DWORD stepMs = 30)
        : list(mirrored), scheduleFill(std::move(fillLater)), fillStepMs(stepMs) {}

    // Shows the list in this list box.
    void Attach(HWND listBox);
    void Inserted(size_t position) override;
    void Removed(size_t position) override;
    void Reset() override;

    // Adds the next part; true while more are to come.
    bool FillSome();
    size_t Shown() const { return shown; }
    bool Complete() const { return shown == list.Count(); }

private:
    // False when the list box has no room left.
    bool Append(size_t count);

    const BannedList& list;
    std::function<void()> scheduleFill;
    DWORD fillStepMs;
    HWND box = nullptr;
    size_t shown = 0;
};

} // namespace bannedlist
