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

BanHotkeyKey MapBanHotkeyKey(const std::string& key, const KeyScan& scan) {
    BanHotkeyKey mapped;
    if (key.empty())
        return mapped;
    const char c = key[0];
    if (key.size() == 1 && ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'))) {
        mapped.keyCode = static_cast<unsigned char>(c);
        return mapped;
    }
    if (key.size() == 1 && c >= 'a' && c <= 'z') {
        mapped.keyCode = static_cast<unsigned char>(c - 'a' + 'A');
        return mapped;
    }
    const int answer = scan(key);
    const std::string refused = "The hotkey cannot be \"" + key + "\": ";
    const std::string choose = " Choose a letter, a digit or another key.";
    if (answer == -1 || (answer & 0xFF) == 0xFF) {
        mapped.problem = refused + "no key of this keyboard layout types it." + choose;
        return mapped;
    }
    if (answer & 0xFE00) {
        mapped.problem =
            refused + "this keyboard layout types it only with Ctrl, Alt or AltGr held." + choose;
        return mapped;
    }
    mapped.keyCode = static_cast<unsigned>(answer & 0xFF);
    mapped.shift = (answer & 0x100) != 0;
    return mapped;
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
