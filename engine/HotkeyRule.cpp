#include "engine/HotkeyRule.h"

namespace engine {

unsigned BanHotkeyModifiers(int addAlt, int addCtrl, int addShift) {
    unsigned modifiers = 0;
    if (addAlt)
        modifiers |= 1;
    if (addShift)
        modifiers |= 4;
    if (addCtrl)
        modifiers |= 2;
    return modifiers;
}

int BanHotkeyKeyCode(const std::string& upperCasedKey) {
    if (upperCasedKey.empty())
        return 0;
    return static_cast<int>(static_cast<signed char>(upperCasedKey[0]));
}

std::string HotkeyHeldMessage(int addAlt, int addCtrl, int addShift,
                              const std::string& upperCasedKey) {
    std::string name;
    if (addCtrl)
        name += "Ctrl+";
    if (addAlt)
        name += "Alt+";
    if (addShift)
        name += "Shift+";
    name += upperCasedKey == " " ? std::string("Space") : upperCasedKey;
    return "The hotkey " + name +
           " is held by another program, so it does nothing here. Choose another key or other "
           "modifiers on the Options tab.";
}

} // namespace engine
