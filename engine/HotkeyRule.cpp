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

} // namespace engine
