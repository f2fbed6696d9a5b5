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

} // namespace engine
