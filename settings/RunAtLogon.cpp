#include "settings/RunAtLogon.h"

#include <windows.h>

#include "framework/Handle.h"
#include "settings/RunValueCommand.h"

namespace settings {

const char* const kRunKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char* const kRunValueName = "Velmora";

void ApplyRunAtLogon(bool enabled) {
    char path[MAX_PATH + 1] = {};
    DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    path[length <= MAX_PATH ? length : MAX_PATH] = '\0';

    // Failures are not reported, like every registry write of the program:
    // the box keeps what the user chose, and leaving the tab tries again.
    fw::UniqueRegKey key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_READ | KEY_WRITE, key.Put()) !=
        ERROR_SUCCESS)
        return;
    if (enabled) {
        std::string command = RunValueCommand(path);
        ::RegSetValueExA(key.Get(), kRunValueName, 0, REG_SZ,
                         reinterpret_cast<const BYTE*>(command.c_str()),
                         static_cast<DWORD>(command.size() + 1));
    } else {
        ::RegDeleteValueA(key.Get(), kRunValueName);
    }
}

} // namespace settings
