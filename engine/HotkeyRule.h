// How the ban hotkey's settings become a registration. Portable.
#pragma once

#include <string>

namespace engine {

constexpr int kBanHotkeyId = 333;

// MOD_ALT 1, MOD_CONTROL 2, MOD_SHIFT 4.
unsigned BanHotkeyModifiers(int addAlt, int addCtrl, int addShift);
// The first byte of the upper-cased key as a signed 8-bit value widened to
// 32 bits: letters and digits give their own keys, an empty key gives 0,
// a byte above 0x7F a negative code that no key produces.
int BanHotkeyKeyCode(const std::string& upperCasedKey);

// What the user is told when another program holds the combination, naming
// it as the Options page sets it ("Ctrl+Alt+Shift+X").
std::string HotkeyHeldMessage(int addAlt, int addCtrl, int addShift,
                              const std::string& upperCasedKey);

} // namespace engine
