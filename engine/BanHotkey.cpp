#include "engine/BanHotkey.h"

#include <vector>

#include "engine/HotkeyRule.h"

namespace engine {

std::string UpperCaseAnsi(const std::string& text) {
    if (text.empty())
        return text;
    std::vector<char> buffer(text.begin(), text.end());
    ::CharUpperBuffA(buffer.data(), static_cast<DWORD>(buffer.size()));
    return std::string(buffer.begin(), buffer.end());
}

void RegisterBanHotkey(HWND window, const std::string& key, int addAlt, int addCtrl, int addShift,
                       bool reregister) {
    std::string upper = UpperCaseAnsi(key);
    if (reregister)
        ::UnregisterHotKey(window, kBanHotkeyId);
    ::RegisterHotKey(window, kBanHotkeyId, BanHotkeyModifiers(addAlt, addCtrl, addShift),
                     static_cast<UINT>(BanHotkeyKeyCode(upper)));
}

} // namespace engine
