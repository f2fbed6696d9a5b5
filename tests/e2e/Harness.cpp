#include "tests/e2e/Harness.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

namespace e2e {

namespace {
const char kSettingsKey[] = "Software\\Draxtel\\Velmora\\Settings";

std::string Narrow(const std::wstring& wide) {
    std::string out(wide.size() * 2 + 1, '\0');
    int n =
        ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, &out[0], out.size(), nullptr, nullptr);
    out.resize(n > 0 ? n - 1 : 0);
    return out;
}

BOOL CALLBACK Collect(HWND hwnd, LPARAM windows) {
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(hwnd);
    return TRUE;
}

std::string ClassOf(HWND window) {
    char name[256] = {};
    ::GetClassNameA(window, name, sizeof(name));
    return name;
}

std::vector<HWND> Descendants(HWND parent) {
    std::vector<HWND> found;
    ::EnumChildWindows(parent, Collect, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::vector<std::string> ListBoxItems(HWND listBox) {
    std::vector<std::string> items;
    LRESULT count = ::SendMessageW(listBox, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT length = ::SendMessageW(listBox, LB_GETTEXTLEN, i, 0);
        // Generous: the length may be counted in bytes or in characters.
        std::wstring text(static_cast<size_t>(length < 0 ? 0 : length) * 2 + 16, L'\0');
        LRESULT got = ::SendMessageW(listBox, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&text[0]));
        text.resize(got < 0 ? 0 : static_cast<size_t>(got));
        items.push_back(Narrow(text));
    }
    return items;
}

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

// The first visible dialog of the program that passes `test`, polled until
// there is one; null when the time is up.
HWND WaitForDialog(const VelmoraProcess& app, const std::function<bool(HWND)>& test,
                   DWORD timeoutMs = 10000) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND hwnd : DialogsOf(app))
                found = found ? found : test(hwnd) ? hwnd : nullptr;
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

// Runs a command in the Unix shell (Wine starts it) and waits until it has
// succeeded: it leaves a mark in /tmp (Z:\\tmp here), since Wine's handle of
// a Unix process tells nothing.
bool RunUnix(const std::string& command) {
    static std::atomic<int> counter{0};
    std::string mark =
        "velmora-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(counter++);
    std::string line = "Z:\\bin\\sh -c \"" + command + " && : > /tmp/" + mark + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                          nullptr, &si, &pi))
        return false;
    OwnedHandle process(pi.hProcess), thread(pi.hThread);
    mark = "Z:\\tmp\\" + mark;
    bool done = WaitUntil([&] { return FileExists(mark); }, 15000);
    ::DeleteFileA(mark.c_str());
    return done;
}

void PressButton(HWND dialog, int id) {
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
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
        if (!RoundTrip(box) || TextOf(box) != path)
            continue;
        PressButton(fileDialog, IDOK);
        if (WaitUntil(answered, 3000))
            return true;
    }
    return false;
}
} // namespace

std::string Env(const char* name) {
    char buffer[1024] = {};
    DWORD n = ::GetEnvironmentVariableA(name, buffer, sizeof(buffer));
    return n && n < sizeof(buffer) ? std::string(buffer, n) : std::string();
}

std::string MakeWorkDir(const std::string& name) {
    static std::atomic<int> counter{0};
    std::string dir = Env("VELMORA_WORK") + "\\e2e-" + name + "-" +
                      std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(counter++);
    ::CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    return out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())).flush().good();
}

bool FileExists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool RoundTrip(HWND edit, DWORD timeoutMs) {
    // Two marks, each a text limit posted to the edit: what is handled
    // before the first may post more, which the second follows.
    static std::atomic<unsigned> mark{0};
    for (int round = 0; round < 2; ++round) {
        WPARAM limit = 0x70000000u + (mark++ & 0xFFFFFu);
        if (!::PostMessageA(edit, EM_SETLIMITTEXT, limit, 0))
            return false;
        auto seen = [&] {
            DWORD_PTR result = 0;
            return ::SendMessageTimeoutA(edit, EM_GETLIMITTEXT, 0, 0, SMTO_NORMAL, 1000, &result) &&
                   result == limit;
        };
        if (!WaitUntil(seen, timeoutMs))
            return false;
    }
    return true;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    for (DWORD start = ::GetTickCount(); !condition(); ::Sleep(20)) {
        if (::GetTickCount() - start >= timeoutMs)
            return condition();
    }
    return true;
}

void DeleteProgramKey() {
    ::SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Draxtel");
}

void SetSettingRaw(const char* name, DWORD type, const void* data, DWORD size) {
    ::SHSetValueA(HKEY_CURRENT_USER, kSettingsKey, name, type, data, size);
}

void SetSettingDword(const char* name, DWORD value) {
    SetSettingRaw(name, REG_DWORD, &value, sizeof(value));
}

void SetSettingString(const char* name, const std::string& value) {
    SetSettingRaw(name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

std::string SettingRaw(const char* name, DWORD& type) {
    DWORD size = 0;
    ::SHGetValueA(HKEY_CURRENT_USER, kSettingsKey, name, &type, nullptr, &size);
    std::string data(size, '\0');
    if (::SHGetValueA(HKEY_CURRENT_USER, kSettingsKey, name, &type, &data[0], &size))
        type = REG_NONE;
    return data;
}

DWORD SettingDword(const char* name) {
    DWORD type = 0, value = kNoSetting;
    std::string data = SettingRaw(name, type);
    if (type == REG_DWORD && data.size() == sizeof(DWORD))
        std::memcpy(&value, data.data(), sizeof(DWORD));
    return value;
}

std::string SettingString(const char* name) {
    DWORD type = 0;
    std::string data = SettingRaw(name, type);
    return type == REG_SZ ? data.substr(0, data.find('\0')) : "<no string>";
}

void UseQuietSettings() {
    DeleteProgramKey();
    for (const char* name : {"LoadMinimized", "LoadOnStartup", "SaveOnExit", "AutoStart"})
        SetSettingDword(name, 0);
}

std::string TextOf(HWND window) {
    // GetWindowText of another process's control gives only its caption.
    DWORD_PTR length = 0, got = 0;
    if (!::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 5000, &length))
        return std::string();
    std::wstring text(length + 2, L'\0');
    ::SendMessageTimeoutW(window, WM_GETTEXT, length + 2, reinterpret_cast<LPARAM>(&text[0]),
                          SMTO_NORMAL, 5000, &got);
    text.resize(got < text.size() ? got : 0);
    return Narrow(text);
}

std::vector<HWND> TopLevelWindows(DWORD pid, const char* className) {
    std::vector<HWND> all, found;
    ::EnumWindows(Collect, reinterpret_cast<LPARAM>(&all));
    for (HWND hwnd : all) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(hwnd, &owner);
        if ((!pid || owner == pid) && (!className || ClassOf(hwnd) == className))
            found.push_back(hwnd);
    }
    return found;
}

VelmoraProcess::~VelmoraProcess() {
    Release();
}

void VelmoraProcess::Release() {
    // Closed as a user would close it where it can be: Wine keeps the global
    // hooks of a process ended from outside until the Wine session ends.
    if (Running() && !(mainWindow && Close(5000)))
        Kill();
    process.Reset();
    pid = 0;
}

bool VelmoraProcess::Start(const std::string& workDir, const std::string& exe) {
    Release(); // started again: the one before is over or goes now
    std::string path = exe.empty() ? Env("VELMORA_DIST") + "\\Velmora.exe" : exe;
    std::string commandLine = "\"" + path + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    mainWindow = nullptr;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                          workDir.c_str(), &si, &info))
        return false;
    process.Reset(info.hProcess);
    OwnedHandle thread(info.hThread);
    pid = info.dwProcessId;
    return true;
}

HWND VelmoraProcess::WaitForMainWindow(DWORD timeoutMs) {
    // The main dialog is top-level, or a child of the hidden parent in the tray.
    WaitUntil(
        [&] {
            mainWindow = nullptr;
            for (HWND top : TopLevelWindows(pid)) {
                if (!mainWindow && ClassOf(top) == "#32770" && TextOf(top) == "Draxtel Velmora")
                    mainWindow = top;
                mainWindow = mainWindow
                                 ? mainWindow
                                 : ::FindWindowExA(top, nullptr, "#32770", "Draxtel Velmora");
            }
            return mainWindow && PageControl(kBannedPage, IDC_ENTRY);
        },
        timeoutMs);
    // A posted message is handled only once the dialog runs its message loop.
    if (mainWindow && !Settle(timeoutMs))
        mainWindow = nullptr;
    return mainWindow;
}

bool VelmoraProcess::Running() const {
    return process && ::WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT;
}

bool VelmoraProcess::WaitForExit(DWORD timeoutMs) {
    return process && ::WaitForSingleObject(process.Get(), timeoutMs) == WAIT_OBJECT_0;
}

DWORD VelmoraProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(process.Get(), &code);
    return code;
}

bool VelmoraProcess::Close(DWORD timeoutMs) {
    if (Running() && mainWindow)
        ::PostMessageA(mainWindow, WM_CLOSE, 0, 0);
    return WaitForExit(timeoutMs);
}

void VelmoraProcess::Detach() {
    process.Reset();
    pid = 0;
}

void VelmoraProcess::Kill() {
    ::TerminateProcess(process.Get(), 1);
    ::WaitForSingleObject(process.Get(), 5000);
}

bool VelmoraProcess::Settle(DWORD timeoutMs) {
    // Sent-type work first (window events queue reports as they are
    // delivered), then the posted queue.
    DWORD_PTR result = 0;
    HWND entry = PageControl(kBannedPage, IDC_ENTRY);
    return entry &&
           ::SendMessageTimeoutA(mainWindow, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result) &&
           RoundTrip(entry, timeoutMs);
}

HWND VelmoraProcess::Page(int index) const {
    // Each page is known by a control only it has (the statistics list's id
    // is also a label's on the About page).
    static const int kMarks[] = {IDC_ENTRY, IDC_KILL_LIST, IDC_SESSIONS, IDC_BROWSER_LIST,
                                 IDC_ABOUT_BANNER};
    for (HWND page : Descendants(::GetDlgItem(mainWindow, IDC_TABS))) {
        HWND mark = index >= 0 && index < 5 ? ::GetDlgItem(page, kMarks[index]) : nullptr;
        if (mark && (index != kStatsPage || ClassOf(mark) == "ListBox"))
            return page;
    }
    return nullptr;
}

bool VelmoraProcess::SelectTab(int index) {
    HWND tabs = ::GetDlgItem(mainWindow, IDC_TABS);
    // The item rectangle has to come back through the other process's memory.
    void* remote =
        ::VirtualAllocEx(process.Get(), nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
    RECT rect{};
    if (remote) {
        ::SendMessageA(tabs, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(remote));
        ::ReadProcessMemory(process.Get(), remote, &rect, sizeof(rect), nullptr);
        ::VirtualFreeEx(process.Get(), remote, 0, MEM_RELEASE);
    }
    LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    ::PostMessageA(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageA(tabs, WM_LBUTTONUP, 0, at);
    return Settle();
}

std::vector<std::string> VelmoraProcess::BannedList() const {
    return ListBoxItems(PageControl(kBannedPage, IDC_BANNED_LIST));
}

std::vector<std::string> ListBoxEntries(HWND listBox) {
    return ListBoxItems(listBox);
}

std::vector<std::string> VelmoraProcess::StatisticsLines() const {
    return ListBoxItems(PageControl(kStatsPage, IDC_KILL_LIST));
}

bool TypeKeys(MakerProcess& maker, HWND window, const std::string& keys) {
    // Keys reach the system in the order typed, and it checks each against
    // the hotkeys as it takes it in: once the marker typed after them has
    // arrived, every hotkey they fired has been posted. A window closed on
    // the way takes the marker with it.
    auto typed = [&](const std::string& sequence) {
        unsigned before = maker.Markers();
        return RunUnix("/usr/bin/xdotool key " + sequence) &&
               WaitUntil([&] { return maker.Markers() != before || !::IsWindow(window); }, 3000);
    };
    // The display's keyboard focus does not always follow the window to the
    // front (it stays on a window of Velmora's that took it later): give it
    // there directly, and let the marker alone tell when it has arrived.
    auto xWindow = reinterpret_cast<UINT_PTR>(::GetPropA(window, "__wine_x11_whole_window"));
    bool focused = false;
    for (int attempt = 0; attempt < 3 && !focused; ++attempt) {
        ::SetForegroundWindow(window);
        focused = WaitUntil([&] { return ::GetForegroundWindow() == window; }, 2000) &&
                  RunUnix("/usr/bin/xdotool windowfocus --sync " + std::to_string(xWindow)) &&
                  typed("F9");
    }
    return focused && typed(keys + " F9");
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

bool AddTitle(VelmoraProcess& app, const std::string& title) {
    SetText(app.PageControl(kBannedPage, IDC_ENTRY), title);
    app.Click(app.PageControl(kBannedPage, IDC_ADD));
    return app.Settle();
}

std::string Counter(int total, int session) {
    return "Killed " + std::to_string(total) + " popups in total, " + std::to_string(session) +
           " in this session";
}

GUITHREADINFO ThreadInfoOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info);
    return info;
}

std::vector<HWND> DialogsOf(const VelmoraProcess& app) {
    std::vector<HWND> dialogs;
    for (HWND hwnd : TopLevelWindows(app.Pid(), "#32770"))
        if (hwnd != app.MainWindow() && ::IsWindowVisible(hwnd))
            dialogs.push_back(hwnd);
    return dialogs;
}

std::string MessageBoxText(HWND box) {
    // A message box's text is a static; a longer one can be in a read-only edit.
    std::string text;
    for (HWND hwnd : Descendants(box)) {
        std::string kind = ClassOf(hwnd);
        if (_stricmp(kind.c_str(), "Static") == 0 || _stricmp(kind.c_str(), "Edit") == 0)
            text += TextOf(hwnd);
    }
    return text;
}

HWND WaitForMessageBox(const VelmoraProcess& app, const std::string& text) {
    return WaitForDialog(app, [&](HWND dialog) {
        std::string shown = MessageBoxText(dialog);
        return !FileNameBox(dialog) && !shown.empty() && shown.find(text) != std::string::npos;
    });
}

bool DismissMessageBox(const VelmoraProcess& app, const std::string& text) {
    HWND box = WaitForMessageBox(app, text);
    if (box)
        PressButton(box, IDOK);
    return box && WaitUntil([&] { return !::IsWindow(box); });
}

bool UseFileButton(VelmoraProcess& app, int button, const std::string& path) {
    app.Click(app.PageControl(kBannedPage, button));
    return AnswerFileDialog(app, path) && app.Settle();
}

bool AnswerFileDialog(VelmoraProcess& app, const std::string& path) {
    HWND dialog = WaitForDialog(app, FileNameBox, 15000);
    if (!dialog || !ChooseInFileDialog(dialog, path))
        return false;
    for (HWND box : DialogsOf(app)) {
        if (::GetWindow(box, GW_OWNER) == dialog)
            PressButton(box, IDYES);
    }
    return WaitUntil([&] { return !::IsWindow(dialog); });
}

bool SettleWith(VelmoraProcess& app, MakerProcess& maker) {
    return app.Settle() && maker.Sync() && app.Settle();
}

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    fw::UniqueFindHandle search(::FindFirstFileA((folder + "\\*").c_str(), &found));
    for (bool more = bool(search); more; more = ::FindNextFileA(search.Get(), &found)) {
        if (found.cFileName[0] != '.')
            names.push_back(found.cFileName);
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool SaveScreenshot(HWND window, const std::string& name) {
    RECT r{};
    ::GetWindowRect(window, &r);
    char crop[64];
    std::snprintf(crop, sizeof(crop), "%ldx%ld+%ld+%ld", r.right - r.left, r.bottom - r.top, r.left,
                  r.top);
    return RunUnix("/usr/bin/import -window root -crop " + std::string(crop) + " " +
                   Env("VELMORA_SCREENSHOTS") + "/" + name + ".png");
}

ScreenPicture::ScreenPicture(HWND window) {
    RECT client{};
    ::GetClientRect(window, &client);
    POINT origin{0, 0};
    ::ClientToScreen(window, &origin);
    width = client.right;
    height = client.bottom;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    fw::WindowDc screen(nullptr);
    fw::UniqueMemoryDc memory(::CreateCompatibleDC(screen.Get()));
    fw::UniqueBitmap bitmap(
        ::CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (memory && bitmap && width > 0 && height > 0) {
        HGDIOBJ old = ::SelectObject(memory.Get(), bitmap.Get());
        ::BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), origin.x, origin.y, SRCCOPY);
        ::SelectObject(memory.Get(), old);
        const DWORD* row = static_cast<const DWORD*>(bits); // 0x00RRGGBB
        for (int i = 0; i < width * height; ++i)
            pixels.push_back(RGB(row[i] >> 16 & 0xFF, row[i] >> 8 & 0xFF, row[i] & 0xFF));
    }
    if (pixels.empty())
        width = height = 0;
}

COLORREF ScreenPicture::At(int x, int y) const {
    return x >= 0 && y >= 0 && x < width && y < height ? pixels[y * width + x] : CLR_INVALID;
}

int ScreenPicture::Count(const std::function<bool(COLORREF)>& test, const RECT* part) const {
    RECT all{0, 0, width, height}, area = part ? *part : all;
    int n = 0;
    for (int y = std::max(0L, area.top); y < std::min<LONG>(height, area.bottom); ++y)
        for (int x = std::max(0L, area.left); x < std::min<LONG>(width, area.right); ++x)
            n += test(At(x, y)) ? 1 : 0;
    return n;
}

bool IsColoured(COLORREF c) {
    return GetRValue(c) != GetGValue(c) || GetGValue(c) != GetBValue(c);
}

bool IsGreenish(COLORREF c) {
    return GetGValue(c) > 100 && GetGValue(c) > GetRValue(c) + 50 &&
           GetGValue(c) > GetBValue(c) + 50;
}

bool IsReddish(COLORREF c) {
    return GetRValue(c) > 150 && GetRValue(c) > GetGValue(c) + 80 &&
           GetRValue(c) > GetBValue(c) + 80;
}

HWND TrayIconWindow() {
    std::vector<HWND> icons;
    for (HWND tray : TopLevelWindows(0, "__winex11_standalone_tray"))
        for (HWND icon : Descendants(tray))
            if (ClassOf(icon) == "__winex11_tray_icon" && ::IsWindowVisible(icon))
                icons.push_back(icon);
    return icons.size() == 1 ? icons[0] : nullptr;
}

HWND ShownMenu(const VelmoraProcess& app) {
    for (HWND menu : TopLevelWindows(app.Pid(), "#32768"))
        if (::IsWindowVisible(menu))
            return menu;
    return nullptr;
}

bool ChooseInMenu(VelmoraProcess& app, const std::vector<WPARAM>& keys) {
    HWND menu = ShownMenu(app);
    for (WPARAM key : keys)
        PostKey(menu, key);
    return menu && WaitUntil([&] { return !ShownMenu(app); }) && app.Settle();
}

HWND OnlyWindowOf(const VelmoraProcess& app, const char* className) {
    std::vector<HWND> found = TopLevelWindows(app.Pid(), className);
    return found.size() == 1 ? found[0] : nullptr;
}

bool NotifyShell(DWORD message, HWND owner, UINT id) {
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = owner;
    data.uID = id;
    return ::Shell_NotifyIconA(message, &data) != FALSE;
}

Probe::Probe(DWORD threadId) : library(::LoadLibraryA("tray_probe.dll")) {
    auto attach = reinterpret_cast<probe::AttachProbeFunction>(
        reinterpret_cast<void*>(::GetProcAddress(library, "AttachProbe")));
    auto reportOf = reinterpret_cast<probe::ProbeReportFunction>(
        reinterpret_cast<void*>(::GetProcAddress(library, "ProbeReport")));
    if (attach && reportOf) {
        report = reportOf();
        hook = attach(library, threadId);
    }
}

std::vector<std::string> Probe::ShownMenuItems(const VelmoraProcess& app) {
    std::vector<std::string> items;
    if (!WaitUntil([&] { return ShownMenu(app) != nullptr; }, 5000) ||
        !Ask(app.MainWindow(), probe::kReadMenu))
        return items;
    for (int i = 0; i < report->itemCount && i < probe::kMaxItems; ++i)
        items.push_back((i == report->defaultPosition ? "default " : "") +
                        std::string(report->texts[i]));
    return items;
}

Probe::~Probe() {
    if (hook)
        ::UnhookWindowsHookEx(hook);
    ::FreeLibrary(library);
}

bool Probe::Ask(HWND window, probe::Query query, LPARAM argument) {
    LONG before = report ? report->serial : 0;
    DWORD_PTR answer = 0;
    return hook &&
           ::SendMessageTimeoutA(window, probe::ProbeMessage(), query, argument, SMTO_NORMAL, 10000,
                                 &answer) &&
           report->serial != before;
}

} // namespace e2e
