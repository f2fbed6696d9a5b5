#include "tests/e2e/TrayDriver.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

namespace e2e {

namespace {

struct ClassSearch {
    DWORD pid;
    const char* className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectOfClass(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<ClassSearch*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if ((search->pid == 0 || pid == search->pid) && ClassOf(hwnd) == search->className)
        search->found.push_back(hwnd);
    return TRUE;
}

std::string ScreenPixels(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0)
        return std::string();
    std::string pixels;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && memory) {
        HGDIOBJ old = ::SelectObject(memory, bitmap);
        ::BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
        ::GdiFlush();
        pixels.assign(static_cast<const char*>(bits), static_cast<size_t>(width) * height * 4);
        ::SelectObject(memory, old);
    }
    if (bitmap)
        ::DeleteObject(bitmap);
    if (memory)
        ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return pixels;
}

// The tips live in the shell's tooltip windows, one tool per icon window;
// their text has to be fetched through the shell process's memory.
void ReadTips(std::vector<ShellIcon>& icons) {
    ClassSearch tooltips{0, "tooltips_class32", {}};
    ::EnumWindows(CollectOfClass, reinterpret_cast<LPARAM>(&tooltips));
    for (HWND tooltip : tooltips.found) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(tooltip, &pid);
        HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
                                       FALSE, pid);
        if (!process)
            continue;
        struct Block {
            TTTOOLINFOW tool;
            wchar_t text[256];
        };
        auto* remote = static_cast<Block*>(
            ::VirtualAllocEx(process, nullptr, sizeof(Block), MEM_COMMIT, PAGE_READWRITE));
        LRESULT count = ::SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0);
        for (LRESULT i = 0; remote && i < count; ++i) {
            Block local{};
            local.tool.cbSize = sizeof(local.tool);
            local.tool.lpszText = remote->text;
            ::WriteProcessMemory(process, remote, &local, sizeof(local), nullptr);
            if (!::SendMessageW(tooltip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(remote)))
                continue;
            ::ReadProcessMemory(process, remote, &local, sizeof(local), nullptr);
            local.text[255] = L'\0';
            for (ShellIcon& icon : icons) {
                if (icon.window == local.tool.hwnd) {
                    char narrow[512] = {};
                    ::WideCharToMultiByte(CP_ACP, 0, local.text, -1, narrow, sizeof(narrow),
                                          nullptr, nullptr);
                    icon.tip = narrow;
                }
            }
        }
        if (remote)
            ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
        ::CloseHandle(process);
    }
}

NOTIFYICONDATAA IconRecord(HWND owner, UINT id) {
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = owner;
    data.uID = id;
    return data;
}

// The probe library's exports, loaded into this process.
struct ProbeLibrary {
    HMODULE module = ::LoadLibraryA("tray_probe.dll");
    probe::AttachProbeFunction attach = nullptr;
    const probe::Report* report = nullptr;

    ProbeLibrary() {
        if (!module)
            return;
        attach = reinterpret_cast<probe::AttachProbeFunction>(
            reinterpret_cast<void*>(::GetProcAddress(module, "AttachProbe")));
        auto reportOf = reinterpret_cast<probe::ProbeReportFunction>(
            reinterpret_cast<void*>(::GetProcAddress(module, "ProbeReport")));
        report = reportOf ? reportOf() : nullptr;
        if (!attach || !report || report->magic != probe::kMagic)
            attach = nullptr;
    }
};

} // namespace

std::vector<HWND> TopLevelWindowsOfClass(DWORD pid, const char* className) {
    ClassSearch search{pid, className, {}};
    ::EnumWindows(CollectOfClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<ShellIcon> ShellIcons() {
    std::vector<ShellIcon> icons;
    for (HWND tray : TopLevelWindowsOfClass(0, "__winex11_standalone_tray")) {
        for (HWND child = ::GetWindow(tray, GW_CHILD); child;
             child = ::GetWindow(child, GW_HWNDNEXT)) {
            if (ClassOf(child) == "__winex11_tray_icon" && ::IsWindowVisible(child))
                icons.push_back(ShellIcon{child, std::string(), ScreenPixels(child)});
        }
    }
    ReadTips(icons);
    return icons;
}

std::vector<ShellIcon> ShellIconsBesides(const std::vector<ShellIcon>& earlier) {
    std::vector<ShellIcon> icons = ShellIcons();
    icons.erase(std::remove_if(icons.begin(), icons.end(),
                               [&](const ShellIcon& icon) {
                                   return std::any_of(earlier.begin(), earlier.end(),
                                                      [&](const ShellIcon& old) {
                                                          return old.window == icon.window;
                                                      });
                               }),
                icons.end());
    return icons;
}

bool ShellHasIcon(HWND owner, UINT id) {
    NOTIFYICONDATAA data = IconRecord(owner, id);
    return ::Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

bool ShellDropIcon(HWND owner, UINT id) {
    NOTIFYICONDATAA data = IconRecord(owner, id);
    return ::Shell_NotifyIconA(NIM_DELETE, &data) != FALSE;
}

HWND WaitForTrackedMenu(DWORD pid, DWORD timeoutMs) {
    HWND menu = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : TopLevelWindowsOfClass(pid, "#32768")) {
                if (::IsWindowVisible(window)) {
                    menu = window;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return menu;
}

bool NoMenuTracked(DWORD pid) {
    std::vector<HWND> menus = TopLevelWindowsOfClass(pid, "#32768");
    return std::none_of(menus.begin(), menus.end(),
                        [](HWND menu) { return ::IsWindowVisible(menu) != FALSE; });
}

VelmoraProbe::VelmoraProbe(HWND mainWindow) : main_(mainWindow) {
    ProbeLibrary library;
    library_ = library.module;
    if (!library.attach)
        return;
    report_ = library.report;
    hook_ = library.attach(::GetWindowThreadProcessId(mainWindow, nullptr));
}

VelmoraProbe::~VelmoraProbe() {
    if (hook_)
        ::UnhookWindowsHookEx(hook_);
    if (library_)
        ::FreeLibrary(library_);
}

bool VelmoraProbe::Ask(probe::Query query) {
    if (!hook_)
        return false;
    LONG before = report_->serial;
    DWORD_PTR answer = 0;
    if (!::SendMessageTimeoutA(main_, probe::ProbeMessage(), query, 0, SMTO_NORMAL, 10000,
                               &answer))
        return false;
    return report_->serial != before;
}

bool VelmoraProbe::Count(Objects& objects) {
    if (!Ask(probe::kCountObjects))
        return false;
    objects.gdi = report_->gdiObjects;
    objects.menus = report_->menus;
    objects.icons = report_->icons;
    objects.windows = report_->windows;
    return true;
}

bool VelmoraProbe::ReadTrackedMenu(std::vector<MenuItem>& items, int& defaultPosition) {
    items.clear();
    if (!Ask(probe::kReadMenu) || !report_->menuFound)
        return false;
    for (LONG i = 0; i < report_->itemCount && i < static_cast<LONG>(probe::kMaxItems); ++i)
        items.push_back(MenuItem{report_->ids[i], report_->texts[i],
                                 (report_->states[i] & MF_DEFAULT) != 0});
    defaultPosition = report_->defaultPosition;
    return true;
}

ShowRecorder::ShowRecorder() {
    ProbeLibrary library;
    library_ = library.module;
    if (!library.attach)
        return;
    report_ = library.report;
    hook_ = library.attach(0);
}

ShowRecorder::~ShowRecorder() {
    if (hook_)
        ::UnhookWindowsHookEx(hook_);
    if (library_)
        ::FreeLibrary(library_);
}

long ShowRecorder::MainWindowShows() const { return report_ ? report_->mainWindowShows : -1; }

} // namespace e2e
