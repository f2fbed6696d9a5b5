// How the ban hotkey's settings become a registration. Portable: the
// keyboard layout comes in as its answer for a character.
#pragma once

#include <functional>
#include <string>

namespace engine {

constexpr int kBanHotkeyId = 333;

// MOD_ALT 1, MOD_CONTROL 2, MOD_SHIFT 4.
unsigned BanHotkeyModifiers(int addAlt, int addCtrl, int addShift);

// How the keyboard layout types a character (VkKeyScan's answer): the key's
// code in the low byte, the modifiers it needs in the high byte (1 Shift,
// 2 Ctrl, 4 Alt), -1 when no key types it.
using KeyScan = std::function<int(const std::string& character)>;

struct BanHotkeyKey {
    unsigned keyCode = 0; // 0 for an empty key: a hotkey that never fires
    bool shift = false;   // the character is typed with Shift
    std::string problem;  // why the key cannot be the hotkey's, else ""
};

// A letter or a digit is its own key; any other character is the key that
// types it on the layout, with the Shift it needs. A character that needs
// Ctrl or Alt, or that no key types, cannot be the hotkey's: its character
// code is another key's (0x2E, ".", is Delete's).
BanHotkeyKey MapBanHotkeyKey(const std::string& key, const KeyScan& scan);

// What the user is told when another program holds the combination, naming
// it as the Options page sets it ("Ctrl+Alt+Shift+X").
std::string HotkeyHeldMessage(int addAlt, int addCtrl, int addShift,
                              const std::string& upperCasedKey);

} // namespace engine
