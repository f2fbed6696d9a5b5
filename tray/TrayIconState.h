// The bookkeeping of the notification-area icon: when the shell is asked to
// add, change or delete it, and what the tray then believes about it.
// Portable: the shell's three operations are the virtual functions a
// windowed class (or a test) supplies.
#pragma once

#include <cstddef>
#include <string>

#include "framework/CodePage.h"

namespace tray {

// The record's flags: NIF_MESSAGE, NIF_ICON, NIF_TIP.
constexpr unsigned kFlagMessage = 0x1;
constexpr unsigned kFlagIcon = 0x2;
constexpr unsigned kFlagTip = 0x4;
// The record's tip holds this many bytes and a terminating zero.
constexpr size_t kTipLimit = 127;

// The tip as the record holds it: at most kTipLimit bytes, never ending in
// the first half of a double-byte character.
std::string CutTip(const std::string& tip, fw::LeadByteTest isLeadByte);

// The notification area needs major version 4; GetVersion's low byte is it.
bool SystemHasTray(unsigned long systemVersion);

class TrayIconState {
public:
    virtual ~TrayIconState() = default;

    bool trayAvailable = false;
    bool iconHidden = true;
    bool iconDeleted = true;
    bool reAddPending = false;
    unsigned addFlags = 0;

    // Deletes the icon from the notification area; true when it is gone
    // (or never was there).
    bool DeleteIcon();
    // Adds the icon again after the shell lost it, when the program still
    // wants it there; true when it is shown again.
    bool ReAddIcon();

protected:
    // The shell, with the record's flags set to flags first.
    virtual bool ShellAdd(unsigned flags) = 0;
    virtual bool ShellModify(unsigned flags) = 0;
    virtual bool ShellDelete() = 0;

    // The add that ends placing the icon, the record filled with flags.
    bool AddPlacedIcon(unsigned flags);
    // Shows the record's new image; the caller has stored it.
    bool ShowReplacedIcon();

private:
    // Placed and not deleted since: the icon belongs in the notification
    // area even while an add has failed.
    bool iconWanted = false;
};

} // namespace tray
