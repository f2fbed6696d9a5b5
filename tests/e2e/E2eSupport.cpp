#include "tests/e2e/E2eSupport.h"

#include <commctrl.h>
#include <psapi.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <atomic>

namespace e2e {

namespace {
const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The file-name box: edt1 in the old template, an edit inside the
// ComboBoxEx cmb13 in the one Wine uses, each part carrying the id.
HWND FileNameBox(HWND dialog) {
    for (HWND hwnd : Descendants(dialog)) {
        int id = ::GetDlgCtrlID(hwnd);
        if ((id == 0x480 || id == 0x47C) && _stricmp(ClassOf(hwnd).c_str(), "Edit") == 0)
            return hwnd;
    }
    return nullptr;
}

bool IsFileDialog(HWND dialog) {
    return FileNameBox(dialog) != nullptr;
}
} // namespace

HWND WaitForWindow(const std::function<std::vector<HWND>()>& windows,
                   const std::function<bool(HWND)>& test, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND hwnd : windows())
                found = found ? found : test(hwnd) ? hwnd : nullptr;
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

HWND StartApp(VelmoraProcess& app, const std::string& name) {
    return app.Start(MakeWorkDir(name)) ? app.WaitForMainWindow() : nullptr;
}

void SetText(HWND window, const std::string& text) {
    std::wstring wide(text.size() + 1, L'\0');
    wide.resize(::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], wide.size()) - 1);
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()),
                          SMTO_NORMAL, 5000, &ignored);
}

void PostKey(HWND window, WPARAM key) {
    UINT scan = ::MapVirtualKeyA(static_cast<UINT>(key), 0);
    ::PostMessageA(window, WM_KEYDOWN, key, 1 | (scan << 16));
    ::PostMessageA(window, WM_KEYUP, key, 1 | (scan << 16) | 0xC0000000u);
}

void PostClick(HWND window) {
    ::PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    ::PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
}

bool AddTitle(VelmoraProcess& app, const std::string& title) {
    SetText(app.PageControl(kBannedPage, IDC_ENTRY), title);
    app.Click(app.PageControl(kBannedPage, IDC_ADD));
    return app.Settle();
}

std::string Counter(int total, int session) {
    return "Killed " + std::to_string(total) + " popups in total, " + std::to_string(session) +
           " in this session";
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

int CurrentTab(const VelmoraProcess& app) {
    return static_cast<int>(::SendMessageA(app.Control(IDC_TABS), TCM_GETCURSEL, 0, 0));
}

std::vector<HWND> DialogsOf(const VelmoraProcess& app) {
    std::vector<HWND> dialogs = TopLevelWindows(app.Pid(), "#32770");
    dialogs.erase(std::remove_if(dialogs.begin(), dialogs.end(),
                                 [&](HWND hwnd) {
                                     return hwnd == app.MainWindow() || !::IsWindowVisible(hwnd);
                                 }),
                  dialogs.end());
    return dialogs;
}

std::string MessageBoxText(HWND box) {
    std::string text;
    for (HWND hwnd : Descendants(box))
        text += _stricmp(ClassOf(hwnd).c_str(), "Static") == 0 ? TextOf(hwnd) : std::string();
    return text;
}

bool MessageBoxHasIcon(HWND box) {
    return ::IsWindowVisible(::GetDlgItem(box, 0x440)); // stc1: hidden when there is no icon
}

HWND WaitForMessageBox(const VelmoraProcess& app, const std::string& text) {
    return WaitForWindow([&] { return DialogsOf(app); },
                         [&](HWND dialog) {
                             std::string shown = MessageBoxText(dialog);
                             return !IsFileDialog(dialog) && !shown.empty() &&
                                    shown.find(text) != std::string::npos;
                         });
}

bool DismissMessageBox(const VelmoraProcess& app, const std::string& text) {
    HWND box = WaitForMessageBox(app, text);
    if (box)
        PressButton(box, IDOK);
    return box && WaitUntil([&] { return !::IsWindow(box); });
}

bool StaysOpen(VelmoraProcess& app, WindowFactory& windows, const std::string& title, int width,
               int height) {
    HWND window = windows.Open(title, width, height);
    return app.Settle() && windows.IsOpen(window);
}

void PressButton(HWND dialog, int id) {
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

HWND WaitForFileDialog(const VelmoraProcess& app) {
    return WaitForWindow([&] { return DialogsOf(app); }, IsFileDialog, 15000);
}

bool ChooseInFileDialog(HWND fileDialog, const std::string& path) {
    HWND box = FileNameBox(fileDialog);
    auto answered = [&] {
        std::vector<HWND> all = TopLevelWindows(0);
        return !::IsWindow(fileDialog) || std::any_of(all.begin(), all.end(), [&](HWND w) {
            return ::GetWindow(w, GW_OWNER) == fileDialog && ::IsWindowVisible(w);
        });
    };
    // A dialog still setting itself up may clear the box or ignore OK: try
    // again until it closes or opens a box of its own.
    for (int attempt = 0; box && attempt < 5; ++attempt) {
        SetText(box, path);
        ::Sleep(50);
        if (TextOf(box) != path)
            continue;
        PressButton(fileDialog, IDOK);
        if (WaitUntil(answered, 3000))
            return true;
    }
    return false;
}

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = ::FindNextFileA(search, &found)) {
        if (found.cFileName[0] != '.')
            names.push_back(found.cFileName);
    }
    ::FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

bool HotkeyHeldElsewhere(UINT modifiers, UINT key) {
    if (!::RegisterHotKey(nullptr, 0x7A11, modifiers, key))
        return ::GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED;
    ::UnregisterHotKey(nullptr, 0x7A11);
    return false;
}

bool GetRunValue(std::string& value) {
    char data[1024] = {};
    DWORD size = sizeof(data) - 1, type = 0;
    bool ok = !::SHGetValueA(HKEY_CURRENT_USER, kRunKey, "Velmora", &type, data, &size);
    value = data;
    return ok && type == REG_SZ;
}

void DeleteRunValue() {
    ::SHDeleteValueA(HKEY_CURRENT_USER, kRunKey, "Velmora");
}

std::string QuotedExecutableOf(HANDLE process) {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameExA(process, nullptr, path, MAX_PATH);
    return "\"" + std::string(path) + "\"";
}

bool PressKeysOver(HWND window, const std::string& keys) {
    bool inFront = false;
    for (int attempt = 0; attempt < 3 && !inFront; ++attempt) {
        ::SetForegroundWindow(window);
        inFront = WaitUntil([&] { return ::GetForegroundWindow() == window; }, 2000);
    }
    ::Sleep(100); // the display's keyboard focus follows a moment later
    // The Unix shell runs xdotool, then leaves a mark in /tmp (Z:\tmp here)
    // that the keys are sent: Wine's handle of a Unix process tells nothing.
    static std::atomic<int> counter{0};
    std::string mark =
        "velmora-keys-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(counter++);
    std::string command =
        "Z:\\bin\\sh -c \"/usr/bin/xdotool key " + keys + " && : > /tmp/" + mark + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!inFront || !::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                                      nullptr, &si, &pi))
        return false;
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    mark = "Z:\\tmp\\" + mark;
    bool sent = WaitUntil([&] { return FileExists(mark); }, 15000);
    ::DeleteFileA(mark.c_str());
    return sent;
}

HWND TrayWindowOf(const VelmoraProcess& app) {
    std::vector<HWND> found = TopLevelWindows(app.Pid(), "VelmoraTrayWindow");
    return found.size() == 1 ? found[0] : nullptr;
}

HWND TrackedMenu(DWORD pid) {
    for (HWND menu : TopLevelWindows(pid, "#32768")) {
        if (::IsWindowVisible(menu))
            return menu;
    }
    return nullptr;
}

bool NotifyShell(DWORD message, HWND owner, UINT id) {
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = owner;
    data.uID = id;
    return ::Shell_NotifyIconA(message, &data) != FALSE;
}

Probe::Probe(DWORD threadId) : library_(::LoadLibraryA("tray_probe.dll")) {
    auto attach = reinterpret_cast<probe::AttachProbeFunction>(
        reinterpret_cast<void*>(::GetProcAddress(library_, "AttachProbe")));
    auto report = reinterpret_cast<probe::ProbeReportFunction>(
        reinterpret_cast<void*>(::GetProcAddress(library_, "ProbeReport")));
    if (attach && report) {
        report_ = report();
        hook_ = attach(threadId);
    }
}

Probe::~Probe() {
    if (hook_)
        ::UnhookWindowsHookEx(hook_);
    ::FreeLibrary(library_);
}

bool Probe::Ask(HWND window, probe::Query query) {
    LONG before = report_ ? report_->serial : 0;
    DWORD_PTR answer = 0;
    return hook_ &&
           ::SendMessageTimeoutA(window, probe::ProbeMessage(), query, 0, SMTO_NORMAL, 10000,
                                 &answer) &&
           report_->serial != before;
}

bool SaveScreenshot(HWND window, const std::string& name) {
    RECT r{};
    ::GetWindowRect(window, &r);
    LONG width = r.right - r.left, height = r.bottom - r.top;
    BITMAPINFOHEADER header{sizeof(header),
                            width,
                            -height,
                            1,
                            24,
                            BI_RGB,
                            static_cast<DWORD>(((width * 3 + 3) & ~3) * height),
                            0,
                            0,
                            0,
                            0};
    BITMAPFILEHEADER file{0x4D42, sizeof(file) + sizeof(header) + header.biSizeImage, 0, 0,
                          sizeof(file) + sizeof(header)};
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
    bytes.append(reinterpret_cast<const char*>(&header), sizeof(header));
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header),
                                        DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    bool ok = bitmap && ::BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY) &&
              ::GdiFlush();
    if (ok)
        bytes.append(static_cast<const char*>(bits), header.biSizeImage);
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return ok && WriteFileBytes(Env("VELMORA_SCREENSHOTS") + "\\" + name + ".bmp", bytes);
}

} // namespace e2e
