#include "engine/BanHotkey.h"

#include "engine/HotkeyRule.h"
#include "framework/AnsiCodePage.h"

namespace engine {

DWORD RegisterBanHotkey(HWND window, const std::string& key, int addAlt, int addCtrl, int addShift,
                        bool reregister) {
    std::string upper = fw::UpperCaseAnsi(key);
    // Fails harmlessly when no hotkey was registered (an earlier key that no
    // key produces, or one another program held).
    if (reregister)
        ::UnregisterHotKey(window, kBanHotkeyId);
    if (::RegisterHotKey(window, kBanHotkeyId, BanHotkeyModifiers(addAlt, addCtrl, addShift),
                         static_cast<UINT>(BanHotkeyKeyCode(upper))))
        return 0;
    DWORD error = ::GetLastError();
    return error ? error : ERROR_INVALID_PARAMETER;
}

} // namespace engine
