#include "tests/e2e/Dialogs.h"

#include <shellapi.h>

#include <algorithm>
#include <atomic>

namespace e2e {

namespace {
constexpr int kFileNameEdit = 0x480;  // edt1
constexpr int kFileNameCombo = 0x47C; // cmb13

struct ProcessWindows {
    DWORD pid;
    const char* cls;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<ProcessWindows*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid == search->pid && ClassOf(hwnd) == search->cls)
        search->found.push_back(hwnd);
    return TRUE;
}

// The file-name box: edt1 in the old template; an edit inside the
// ComboBoxEx cmb13 in the one Wine uses, each part carrying the id.
BOOL CALLBACK FindFileNameEdit(HWND hwnd, LPARAM lParam) {
    int id = ::GetDlgCtrlID(hwnd);
    if ((id == kFileNameEdit || id == kFileNameCombo) &&
        _stricmp(ClassOf(hwnd).c_str(), "Edit") == 0) {
        *reinterpret_cast<HWND*>(lParam) = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectStaticTexts(HWND hwnd, LPARAM lParam) {
    auto* texts = reinterpret_cast<std::vector<std::string>*>(lParam);
    if (_stricmp(ClassOf(hwnd).c_str(), "Static") == 0)
        texts->push_back(TextOf(hwnd));
    return TRUE;
}

std::wstring Widen(const std::string& text) {
    int n = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(n > 0 ? n : 1), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], n);
    wide.resize(wide.size() - 1);
    return wide;
}

// Wine's own export that maps a DOS path onto the Unix file system.
std::string UnixPath(const std::string& windowsPath) {
    using Convert = char*(CDECL*)(LPCWSTR);
    auto convert = reinterpret_cast<Convert>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!convert)
        return std::string();
    char* unix = convert(Widen(windowsPath).c_str());
    if (!unix)
        return std::string();
    std::string path = unix;
    ::HeapFree(::GetProcessHeap(), 0, unix);
    return path;
}
} // namespace

std::vector<HWND> DialogsOf(const VelmoraProcess& app) {
    ProcessWindows search{app.Pid(), "#32770", {}};
    ::EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
    std::vector<HWND> dialogs;
    for (HWND hwnd : search.found) {
        if (hwnd != app.MainWindow() && ::IsWindowVisible(hwnd))
            dialogs.push_back(hwnd);
    }
    return dialogs;
}

HWND FileNameBox(HWND fileDialog) {
    HWND edit = nullptr;
    ::EnumChildWindows(fileDialog, FindFileNameEdit, reinterpret_cast<LPARAM>(&edit));
    return edit;
}

HWND WaitForFileDialog(const VelmoraProcess& app, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND dialog : DialogsOf(app)) {
                if (FileNameBox(dialog)) {
                    found = dialog;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

HWND WaitForMessageBox(const VelmoraProcess& app, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND dialog : DialogsOf(app)) {
                if (!FileNameBox(dialog) && !MessageBoxText(dialog).empty()) {
                    found = dialog;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

namespace {
struct OwnedSearch {
    HWND owner;
    bool found;
};

BOOL CALLBACK FindOwned(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<OwnedSearch*>(lParam);
    if (::GetWindow(hwnd, GW_OWNER) == search->owner && ::IsWindowVisible(hwnd)) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

bool HasOwnedWindow(HWND owner) {
    OwnedSearch search{owner, false};
    ::EnumWindows(FindOwned, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
} // namespace

bool ChooseInFileDialog(HWND fileDialog, const std::string& path) {
    HWND box = FileNameBox(fileDialog);
    if (!box)
        return false;
    std::wstring wide = Widen(path);
    // A dialog that is still setting itself up may clear the box or ignore
    // OK: try again until it closes or asks something.
    for (int attempt = 0; attempt < 5; ++attempt) {
        DWORD_PTR result = 0;
        if (!::SendMessageTimeoutW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()),
                                   SMTO_NORMAL, 5000, &result))
            return false;
        ::Sleep(50);
        if (TextOf(box) != path)
            continue;
        PressButton(fileDialog, IDOK);
        if (WaitUntil([&] { return !::IsWindow(fileDialog) || HasOwnedWindow(fileDialog); }, 3000))
            return true;
    }
    return false;
}

ShownMessage ReadMessageBox(HWND box) {
    ShownMessage shown;
    shown.caption = TextOf(box);
    shown.text = MessageBoxText(box);
    HWND icon = ::GetDlgItem(box, 0x440); // stc1: hidden when the box has no icon
    shown.icon = icon && ::IsWindowVisible(icon);
    return shown;
}

void PressButton(HWND dialog, int id) {
    HWND button = ::GetDlgItem(dialog, id);
    // Posted, so that what the press opens cannot block the driver.
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(button));
}

bool PressKeys(const std::string& keys) {
    static std::atomic<int> counter{0};
    std::string base = Env("VELMORA_WORK");
    if (base.empty())
        return false;
    std::string done = base + "\\keys-" + std::to_string(::GetCurrentProcessId()) + "-" +
                       std::to_string(counter++) + ".done";
    std::string doneUnix = UnixPath(done);
    if (doneUnix.empty())
        return false;
    // The Unix shell runs xdotool, then leaves a mark that the keys are sent.
    std::string command =
        "Z:\\bin\\sh -c \"/usr/bin/xdotool key " + keys + " && : > '" + doneUnix + "'\"";
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                          &pi))
        return false;
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    bool sent = WaitUntil([&] { return FileExists(done); }, 15000);
    ::DeleteFileA(done.c_str());
    return sent;
}

bool MakeForeground(HWND window) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        ::SetForegroundWindow(window);
        if (WaitUntil([&] { return ::GetForegroundWindow() == window; }, 2000)) {
            // Let the display's keyboard focus follow.
            ::Sleep(100);
            return true;
        }
    }
    return false;
}

bool TrayIconShown(const VelmoraProcess& app, UINT iconId) {
    using NotifyIcon = BOOL(WINAPI*)(DWORD, NOTIFYICONDATAA*);
    HMODULE shell = ::LoadLibraryA("shell32.dll");
    auto notify = shell ? reinterpret_cast<NotifyIcon>(
                              reinterpret_cast<void*>(::GetProcAddress(shell, "Shell_NotifyIconA")))
                        : nullptr;
    ProcessWindows search{app.Pid(), "VelmoraTrayWindow", {}};
    ::EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
    bool shown = false;
    for (HWND window : search.found) {
        // Changing the tip to what it is succeeds only for an icon that is there.
        NOTIFYICONDATAA data{};
        data.cbSize = NOTIFYICONDATAA_V2_SIZE;
        data.hWnd = window;
        data.uID = iconId;
        data.uFlags = NIF_TIP;
        ::lstrcpynA(data.szTip, "Draxtel Velmora", sizeof(data.szTip));
        if (notify && notify(NIM_MODIFY, &data))
            shown = true;
    }
    if (shell)
        ::FreeLibrary(shell);
    return shown;
}

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace e2e
