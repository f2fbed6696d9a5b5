#include "tray/TrayIconState.h"

namespace tray {

std::string CutTip(const std::string& tip, fw::LeadByteTest isLeadByte) {
    return fw::CutAtCharacterBoundary(tip.substr(0, tip.find('\0')), kTipLimit, isLeadByte);
}

bool SystemHasTray(unsigned long systemVersion) {
    return (systemVersion & 0xFF) >= 4;
}

bool TrayIconState::AddPlacedIcon(unsigned flags) {
    iconWanted = true;
    iconHidden = false;
    addFlags = flags;
    bool added = ShellAdd(flags);
    iconDeleted = iconHidden = reAddPending = !added;
    return added;
}

bool TrayIconState::DeleteIcon() {
    reAddPending = false;
    iconWanted = false;
    if (!trayAvailable || iconDeleted)
        return true;
    if (ShellDelete())
        iconHidden = iconDeleted = true;
    return iconDeleted;
}

bool TrayIconState::ShowReplacedIcon() {
    if (!trayAvailable)
        return false;
    // Not shown: the image waits in the record for the next add.
    if (iconHidden)
        return true;
    return ShellModify(kFlagIcon);
}

bool TrayIconState::ReAddIcon() {
    if (!trayAvailable || !iconWanted)
        return false;
    bool added = ShellAdd(addFlags);
    // A change of the work area leaves the icon where it was, and the shell
    // refuses to add an icon twice: bring the one there up to date instead,
    // so that the tray never takes a shown icon for a hidden one.
    if (!added && !iconDeleted)
        added = ShellModify(addFlags);
    iconHidden = !added;
    iconDeleted = !added;
    reAddPending = added;
    return added;
}

} // namespace tray
