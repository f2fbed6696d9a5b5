#include "engine/BanHotkey.h"

#include "engine/HotkeyRule.h"

namespace engine {

namespace {

// A letter's key is the one that types it in lower case: the Options page
// shows the key upper-cased.
int ScanKey(const std::string& character) {
    wchar_t wide[2] = {};
    if (::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, character.data(),
                              static_cast<int>(character.size()), wide, 2) != 1)
        return -1;
    wchar_t lower = wide[0];
    ::CharLowerBuffW(&lower, 1);
    SHORT answer = ::VkKeyScanW(lower);
    return answer != -1 ? answer : ::VkKeyScanW(wide[0]);
}

} // namespace

DWORD RegisterBanHotkey(HWND window, const std::string& key, int addAlt, int addCtrl, int addShift,
                        bool reregister) {
    BanHotkeyKey mapped = MapBanHotkeyKey(key, ScanKey);
    // Fails harmlessly when no hotkey was registered (an earlier key that no
    // key types, or one another program held).
    if (reregister)
        ::UnregisterHotKey(window, kBanHotkeyId);
    // Refused where it was entered; the layout has changed since.
    if (!mapped.problem.empty())
        return ERROR_INVALID_PARAMETER;
    if (::RegisterHotKey(window, kBanHotkeyId,
                         BanHotkeyModifiers(addAlt, addCtrl, addShift || mapped.shift),
                         mapped.keyCode))
        return 0;
    DWORD error = ::GetLastError();
    return error ? error : ERROR_INVALID_PARAMETER;
}

std::string BanHotkeyKeyProblem(const std::string& key) {
    return MapBanHotkeyKey(key, ScanKey).problem;
}

} // namespace engine
