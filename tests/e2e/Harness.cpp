#include "tests/e2e/Harness.h"

#include <commctrl.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <thread>

namespace e2e {

namespace {
const char kMainCaption[] = "Draxtel Velmora";
constexpr int kBannedListId = 1010;
constexpr int kEntryId = 1011;
constexpr int kKillListId = 1037;
constexpr int kDelayId = 1026;
constexpr int kAdvertId = 1040;
constexpr int kTabsId = 1022;

std::string Narrow(const std::wstring& wide) {
    if (wide.empty())
        return std::string();
    int n = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                  nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), &out[0], n,
                          nullptr, nullptr);
    return out;
}

HKEY OpenKey(const char* path, bool create) {
    HKEY key = nullptr;
    LONG rc = create ? ::RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0,
                                         KEY_READ | KEY_WRITE, nullptr, &key, nullptr)
                     : ::RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key);
    return rc == ERROR_SUCCESS ? key : nullptr;
}

void DeleteTree(HKEY parent, const char* name) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(parent, name, 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS)
        return;
    char child[256];
    for (;;) {
        DWORD size = sizeof(child);
        if (::RegEnumKeyExA(key, 0, child, &size, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        DeleteTree(key, child);
    }
    ::RegCloseKey(key);
    ::RegDeleteKeyA(parent, name);
}

struct FindMain {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindMainInChildren(HWND hwnd, LPARAM lParam) {
    auto* find = reinterpret_cast<FindMain*>(lParam);
    if (ClassOf(hwnd) == "#32770" && TextOf(hwnd) == kMainCaption) {
        find->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindMainInTopLevel(HWND hwnd, LPARAM lParam) {
    auto* find = reinterpret_cast<FindMain*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid != find->pid)
        return TRUE;
    FindMainInChildren(hwnd, lParam);
    if (!find->found)
        ::EnumChildWindows(hwnd, FindMainInChildren, lParam);
    return find->found ? FALSE : TRUE;
}
} // namespace

std::string Env(const char* name) {
    char buffer[1024] = {};
    DWORD n = ::GetEnvironmentVariableA(name, buffer, sizeof(buffer));
    return n && n < sizeof(buffer) ? std::string(buffer, n) : std::string();
}

std::string DistPath(const char* file) {
    std::string dist = Env("VELMORA_DIST");
    return dist.empty() ? std::string(file) : dist + "\\" + file;
}

std::string MakeWorkDir(const std::string& name) {
    static std::atomic<int> counter{0};
    std::string base = Env("VELMORA_WORK");
    if (base.empty()) {
        char temp[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, temp);
        base = temp;
    }
    std::string dir = base + "\\e2e-" + name + "-" + std::to_string(::GetCurrentProcessId()) + "-" +
                      std::to_string(counter++);
    ::CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

std::string ReadFileBytes(const std::string& path, bool* exists) {
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (exists)
        *exists = file != INVALID_HANDLE_VALUE;
    if (file == INVALID_HANDLE_VALUE)
        return std::string();
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got)
        bytes.append(buffer, got);
    ::CloseHandle(file);
    return bytes;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    ::CloseHandle(file);
    return ok;
}

bool FileExists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    DWORD start = ::GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (::GetTickCount() - start >= timeoutMs)
            return condition();
        ::Sleep(20);
    }
}

const char* const kSettingsKey = "Software\\Draxtel\\Velmora\\Settings";

void DeleteProgramKey() { DeleteTree(HKEY_CURRENT_USER, "Software\\Draxtel"); }

void SetSettingDword(const char* name, DWORD value) {
    HKEY key = OpenKey(kSettingsKey, true);
    ::RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    ::RegCloseKey(key);
}

void SetSettingString(const char* name, const std::string& value) {
    HKEY key = OpenKey(kSettingsKey, true);
    ::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>(value.size() + 1));
    ::RegCloseKey(key);
}

bool GetSettingRaw(const char* name, DWORD& type, std::string& data) {
    HKEY key = OpenKey(kSettingsKey, false);
    if (!key)
        return false;
    DWORD size = 0;
    bool ok = ::RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS;
    if (ok) {
        data.assign(size, '\0');
        ok = ::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data[0]),
                                &size) == ERROR_SUCCESS;
        data.resize(size);
    }
    ::RegCloseKey(key);
    return ok;
}

bool GetSettingDword(const char* name, DWORD& value) {
    DWORD type = 0;
    std::string data;
    if (!GetSettingRaw(name, type, data) || type != REG_DWORD || data.size() != sizeof(DWORD))
        return false;
    std::memcpy(&value, data.data(), sizeof(DWORD));
    return true;
}

bool GetSettingString(const char* name, std::string& value) {
    DWORD type = 0;
    std::string data;
    if (!GetSettingRaw(name, type, data) || type != REG_SZ)
        return false;
    size_t end = data.find('\0');
    value = data.substr(0, end);
    return true;
}

void UseQuietSettings() {
    DeleteProgramKey();
    SetSettingDword("LoadMinimized", 0);
    SetSettingDword("LoadOnStartup", 0);
    SetSettingDword("SaveOnExit", 0);
    SetSettingDword("AutoStart", 0);
}

std::string TextOf(HWND window) {
    // GetWindowText of another process's control gives only its caption;
    // a control's own text has to be asked for.
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 5000, &length))
        return std::string();
    std::wstring text(length + 2, L'\0');
    DWORD_PTR got = 0;
    ::SendMessageTimeoutW(window, WM_GETTEXT, length + 2, reinterpret_cast<LPARAM>(&text[0]),
                          SMTO_NORMAL, 5000, &got);
    text.resize(got < text.size() ? got : 0);
    return Narrow(text);
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

std::string ClassOf(HWND window) {
    char name[256] = {};
    ::GetClassNameA(window, name, sizeof(name));
    return name;
}

int ListBoxSelection(HWND listBox, std::vector<int>* selected) {
    LRESULT count = ::SendMessageW(listBox, LB_GETCOUNT, 0, 0);
    int n = 0;
    for (LRESULT i = 0; i < count; ++i) {
        if (::SendMessageW(listBox, LB_GETSEL, i, 0) > 0) {
            ++n;
            if (selected)
                selected->push_back(static_cast<int>(i));
        }
    }
    return n;
}

VelmoraProcess::~VelmoraProcess() {
    if (Running())
        Kill();
    if (pi_.hProcess)
        ::CloseHandle(pi_.hProcess);
    if (pi_.hThread)
        ::CloseHandle(pi_.hThread);
}

bool VelmoraProcess::Start(const std::string& workDir, const std::string& exe) {
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    std::string commandLine = "\"" + exe + "\"";
    main_ = nullptr;
    return ::CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                            workDir.c_str(), &si, &pi_) != FALSE;
}

HWND VelmoraProcess::WaitForMainWindow(DWORD timeoutMs) {
    WaitUntil(
        [&] {
            FindMain find{pi_.dwProcessId, nullptr};
            ::EnumWindows(FindMainInTopLevel, reinterpret_cast<LPARAM>(&find));
            main_ = find.found;
            return main_ && PageControl(0, kEntryId);
        },
        timeoutMs);
    // Other threads' messages are answered during initialisation too; a
    // posted one is handled only once the dialog runs its message loop.
    if (main_ && !Settle(timeoutMs))
        main_ = nullptr;
    return main_;
}

bool VelmoraProcess::Running() const {
    return pi_.hProcess && ::WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

bool VelmoraProcess::WaitForExit(DWORD timeoutMs) {
    return pi_.hProcess && ::WaitForSingleObject(pi_.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

DWORD VelmoraProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(pi_.hProcess, &code);
    return code;
}

bool VelmoraProcess::Close(DWORD timeoutMs) {
    if (!Running())
        return true;
    if (main_)
        ::PostMessageA(main_, WM_CLOSE, 0, 0);
    return WaitForExit(timeoutMs);
}

void VelmoraProcess::Kill() {
    ::TerminateProcess(pi_.hProcess, 1);
    ::WaitForSingleObject(pi_.hProcess, 5000);
}

bool VelmoraProcess::Settle(DWORD timeoutMs) {
    // Sent-type work first (window events queue reports as they are
    // delivered), then two marks through the posted queue: when the entry
    // field shows the second mark, every report queued before it is done.
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutA(main_, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result))
        return false;
    HWND entry = PageControl(0, kEntryId);
    if (!entry)
        return false;
    static std::atomic<unsigned> mark{0};
    for (int round = 0; round < 2; ++round) {
        WPARAM limit = 0x70000000u + (mark++ & 0xFFFFFu);
        ::PostMessageA(entry, EM_SETLIMITTEXT, limit, 0);
        bool seen = WaitUntil(
            [&] {
                DWORD_PTR current = 0;
                return ::SendMessageTimeoutA(entry, EM_GETLIMITTEXT, 0, 0, SMTO_NORMAL, 1000,
                                             &current) &&
                       current == limit;
            },
            timeoutMs);
        if (!seen)
            return false;
    }
    return true;
}

namespace {
struct PageSearch {
    int id;
    const char* cls;
    HWND found;
};

BOOL CALLBACK FindPage(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<PageSearch*>(lParam);
    if (ClassOf(hwnd) != "#32770")
        return TRUE;
    HWND control = ::GetDlgItem(hwnd, search->id);
    if (control && _stricmp(ClassOf(control).c_str(), search->cls) == 0) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}
} // namespace

HWND VelmoraProcess::Page(int index) const {
    // Each page is known by a control only it has.
    static const int kIds[] = {kBannedListId, kKillListId, kDelayId, kAdvertId};
    static const char* const kClasses[] = {"ListBox", "ListBox", "Edit", "Static"};
    if (index < 0 || index > 3)
        return nullptr;
    PageSearch search{kIds[index], kClasses[index], nullptr};
    ::EnumChildWindows(::GetDlgItem(main_, kTabsId), FindPage, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void VelmoraProcess::Click(HWND button) const {
    // Posted: a click may open a message box, which must not block the driver.
    ::PostMessageA(button, BM_CLICK, 0, 0);
}

void VelmoraProcess::SelectTab(int index) const {
    HWND tabs = ::GetDlgItem(main_, kTabsId);
    // The item rectangle has to come back through the other process's memory.
    void* remote = ::VirtualAllocEx(pi_.hProcess, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
    RECT rect{};
    if (remote) {
        ::SendMessageA(tabs, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(remote));
        SIZE_T got = 0;
        ::ReadProcessMemory(pi_.hProcess, remote, &rect, sizeof(rect), &got);
        ::VirtualFreeEx(pi_.hProcess, remote, 0, MEM_RELEASE);
    }
    LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    ::PostMessageA(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageA(tabs, WM_LBUTTONUP, 0, at);
}

std::vector<std::string> VelmoraProcess::BannedList() const {
    return ListBoxItems(PageControl(0, kBannedListId));
}

std::vector<std::string> VelmoraProcess::StatisticsLines() const {
    return ListBoxItems(PageControl(1, kKillListId));
}

// The factory thread owns a message-only window through which the driver
// asks for windows to be made, so every window belongs to a pumping thread.
struct WindowFactory::Impl {
    std::thread thread;
    HWND control = nullptr;
    HANDLE ready = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);

    struct OpenRequest {
        std::string title;
        int width, height, count;
        std::vector<HWND> made;
    };

    static constexpr UINT kOpen = WM_APP + 1;
    static constexpr UINT kClose = WM_APP + 2;
    static constexpr UINT kFreeze = WM_APP + 3;

    static LRESULT CALLBACK PopupProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    }

    static LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == kOpen) {
            auto* request = reinterpret_cast<OpenRequest*>(lParam);
            for (int i = 0; i < request->count; ++i) {
                std::string title = request->count == 1
                                        ? request->title
                                        : request->title + " " + std::to_string(i);
                request->made.push_back(::CreateWindowExA(
                    0, "VelmoraE2EPopup", title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40 + (i % 20) * 5,
                    40 + (i % 20) * 5, request->width, request->height, nullptr, nullptr,
                    ::GetModuleHandleA(nullptr), nullptr));
            }
            return 0;
        }
        if (msg == kClose) {
            ::DestroyWindow(reinterpret_cast<HWND>(wParam));
            return 0;
        }
        if (msg == kFreeze) {
            ::Sleep(static_cast<DWORD>(wParam));
            return 0;
        }
        return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    }

    void Run() {
        HINSTANCE instance = ::GetModuleHandleA(nullptr);
        WNDCLASSA popup{};
        popup.lpfnWndProc = PopupProc;
        popup.hInstance = instance;
        popup.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        popup.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
        popup.lpszClassName = "VelmoraE2EPopup";
        ::RegisterClassA(&popup);
        WNDCLASSA control{};
        control.lpfnWndProc = ControlProc;
        control.hInstance = instance;
        control.lpszClassName = "VelmoraE2EFactory";
        ::RegisterClassA(&control);
        this->control = ::CreateWindowExA(0, "VelmoraE2EFactory", "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                          nullptr, instance, nullptr);
        ::SetEvent(ready);
        MSG msg;
        while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
};

WindowFactory::WindowFactory() : impl_(new Impl) {
    impl_->thread = std::thread([this] { impl_->Run(); });
    ::WaitForSingleObject(impl_->ready, 10000);
}

WindowFactory::~WindowFactory() {
    ::PostMessageA(impl_->control, WM_QUIT, 0, 0);
    if (impl_->thread.joinable())
        impl_->thread.join();
    ::CloseHandle(impl_->ready);
}

HWND WindowFactory::Open(const std::string& title, int width, int height) {
    Impl::OpenRequest request{title, width, height, 1, {}};
    ::SendMessageA(impl_->control, Impl::kOpen, 0, reinterpret_cast<LPARAM>(&request));
    return request.made.empty() ? nullptr : request.made[0];
}

std::vector<HWND> WindowFactory::OpenMany(const std::string& titlePrefix, int count, int width,
                                          int height) {
    Impl::OpenRequest request{titlePrefix, width, height, count, {}};
    ::SendMessageA(impl_->control, Impl::kOpen, 0, reinterpret_cast<LPARAM>(&request));
    return request.made;
}

void WindowFactory::Close(HWND window) {
    ::SendMessageA(impl_->control, Impl::kClose, reinterpret_cast<WPARAM>(window), 0);
}

void WindowFactory::Freeze(DWORD milliseconds) {
    ::PostMessageA(impl_->control, Impl::kFreeze, milliseconds, 0);
}

} // namespace e2e
