#include "tests/e2e/E2eSupport.h"

#include <commctrl.h>
#include <psapi.h>

#include <vector>

namespace e2e {

namespace {
const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr int kTabsId = 1022;
constexpr int kTestHotkeyId = 0x7A11;

struct BoxSearch {
    DWORD pid;
    std::vector<HWND> boxes;
};

BOOL CALLBACK CollectBoxes(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<BoxSearch*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    // A message box is an owned dialog; the main window owns nothing else.
    if (pid == search->pid && ClassOf(hwnd) == "#32770" && ::IsWindowVisible(hwnd) &&
        ::GetWindow(hwnd, GW_OWNER))
        search->boxes.push_back(hwnd);
    return TRUE;
}

BOOL CALLBACK CollectStaticText(HWND hwnd, LPARAM lParam) {
    if (_stricmp(ClassOf(hwnd).c_str(), "Static") == 0)
        *reinterpret_cast<std::string*>(lParam) += TextOf(hwnd);
    return TRUE;
}

std::vector<HWND> MessageBoxesOf(DWORD pid) {
    BoxSearch search{pid, {}};
    ::EnumWindows(CollectBoxes, reinterpret_cast<LPARAM>(&search));
    return search.boxes;
}
} // namespace

HWND StartAndSettle(VelmoraProcess& app, const std::string& name) {
    if (!app.Start(MakeWorkDir(name)))
        return nullptr;
    HWND main = app.WaitForMainWindow();
    if (main && !app.Settle())
        return nullptr;
    return main;
}

std::string MessageBoxText(HWND box) {
    std::string text;
    ::EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(&text));
    return text;
}

HWND AnyMessageBox(DWORD pid) {
    std::vector<HWND> boxes = MessageBoxesOf(pid);
    return boxes.empty() ? nullptr : boxes[0];
}

HWND WaitForMessageBox(DWORD pid, const std::string& text, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND box : MessageBoxesOf(pid)) {
                if (MessageBoxText(box).find(text) != std::string::npos) {
                    found = box;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

void DismissMessageBox(HWND box) {
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
    if (!::GetGUIThreadInfo(thread, &info))
        return nullptr;
    return info.hwndFocus;
}

void SelectionOf(HWND edit, DWORD& start, DWORD& end) {
    // EM_GETSEL's pointers cannot cross processes; its result can.
    DWORD_PTR both = 0;
    ::SendMessageTimeoutA(edit, EM_GETSEL, 0, 0, SMTO_NORMAL, 5000, &both);
    start = LOWORD(both);
    end = HIWORD(both);
}

int CurrentTab(const VelmoraProcess& app) {
    DWORD_PTR current = static_cast<DWORD_PTR>(-1);
    ::SendMessageTimeoutA(app.Control(kTabsId), TCM_GETCURSEL, 0, 0, SMTO_NORMAL, 5000, &current);
    return static_cast<int>(current);
}

void SetText(HWND window, const std::string& text) {
    int n =
        ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], n);
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()),
                          SMTO_NORMAL, 5000, &ignored);
}

void PostKey(HWND window, WPARAM key) {
    UINT scan = ::MapVirtualKeyA(static_cast<UINT>(key), 0);
    ::PostMessageA(window, WM_KEYDOWN, key, 1 | (scan << 16));
    ::PostMessageA(window, WM_KEYUP, key, 1 | (scan << 16) | 0xC0000000u);
}

void PostClick(HWND window, int x, int y) {
    LPARAM at = MAKELPARAM(x, y);
    ::PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageA(window, WM_LBUTTONUP, 0, at);
}

bool HotkeyHeldElsewhere(UINT modifiers, UINT key) {
    if (::RegisterHotKey(nullptr, kTestHotkeyId, modifiers, key)) {
        ::UnregisterHotKey(nullptr, kTestHotkeyId);
        return false;
    }
    return ::GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED;
}

bool GetRunValue(std::string& value) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    char data[1024] = {};
    DWORD size = sizeof(data) - 1;
    DWORD type = 0;
    bool ok = ::RegQueryValueExA(key, "Velmora", nullptr, &type, reinterpret_cast<BYTE*>(data),
                                 &size) == ERROR_SUCCESS &&
              type == REG_SZ;
    ::RegCloseKey(key);
    if (ok)
        value = data;
    return ok;
}

void DeleteRunValue() {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_WRITE, &key) != ERROR_SUCCESS)
        return;
    ::RegDeleteValueA(key, "Velmora");
    ::RegCloseKey(key);
}

std::string ExecutablePathOf(HANDLE process) {
    char path[MAX_PATH] = {};
    DWORD n = ::GetModuleFileNameExA(process, nullptr, path, MAX_PATH);
    return std::string(path, n);
}

} // namespace e2e
