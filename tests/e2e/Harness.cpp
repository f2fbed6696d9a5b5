#include "tests/e2e/Harness.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>

#include "resources/resource.h"

namespace e2e {

namespace {
std::string Narrow(const std::wstring& wide) {
    std::string out(wide.size() * 2 + 1, '\0');
    int n =
        ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, &out[0], out.size(), nullptr, nullptr);
    out.resize(n > 0 ? n - 1 : 0);
    return out;
}

bool GetSettingRaw(const char* name, DWORD& type, std::string& data) {
    DWORD size = 0;
    if (::SHGetValueA(HKEY_CURRENT_USER, kSettingsKey, name, &type, nullptr, &size))
        return false;
    data.assign(size, '\0');
    bool ok = !::SHGetValueA(HKEY_CURRENT_USER, kSettingsKey, name, &type, &data[0], &size);
    data.resize(size);
    return ok;
}

BOOL CALLBACK Collect(HWND hwnd, LPARAM windows) {
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(hwnd);
    return TRUE;
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

std::string ReadFileBytes(const std::string& path, bool* exists) {
    std::ifstream in(path, std::ios::binary);
    if (exists)
        *exists = in.is_open();
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    return out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())).flush().good();
}

bool FileExists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    for (DWORD start = ::GetTickCount(); !condition(); ::Sleep(20)) {
        if (::GetTickCount() - start >= timeoutMs)
            return condition();
    }
    return true;
}

const char* const kSettingsKey = "Software\\Draxtel\\Velmora\\Settings";

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

DWORD SettingDword(const char* name) {
    DWORD type = 0, value = kNoSetting;
    std::string data;
    if (GetSettingRaw(name, type, data) && type == REG_DWORD && data.size() == sizeof(DWORD))
        std::memcpy(&value, data.data(), sizeof(DWORD));
    return value;
}

std::string SettingString(const char* name) {
    DWORD type = 0;
    std::string data;
    if (!GetSettingRaw(name, type, data) || type != REG_SZ)
        return "<no string>";
    return data.substr(0, data.find('\0'));
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

std::vector<HWND> Descendants(HWND parent) {
    std::vector<HWND> found;
    ::EnumChildWindows(parent, Collect, reinterpret_cast<LPARAM>(&found));
    return found;
}

VelmoraProcess::~VelmoraProcess() {
    Release();
}

void VelmoraProcess::Release() {
    if (Running())
        Kill();
    ::CloseHandle(pi_.hProcess);
    ::CloseHandle(pi_.hThread);
    pi_ = PROCESS_INFORMATION{};
}

bool VelmoraProcess::Start(const std::string& workDir, const std::string& exe) {
    Release(); // started again: the one before is over or goes now
    std::string path = exe.empty() ? Env("VELMORA_DIST") + "\\Velmora.exe" : exe;
    std::string commandLine = "\"" + path + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    main_ = nullptr;
    return ::CreateProcessA(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                            workDir.c_str(), &si, &pi_) != FALSE;
}

HWND VelmoraProcess::WaitForMainWindow(DWORD timeoutMs) {
    // The main dialog is top-level, or a child of the hidden parent in the tray.
    WaitUntil(
        [&] {
            main_ = nullptr;
            for (HWND top : TopLevelWindows(pi_.dwProcessId)) {
                std::vector<HWND> candidates = Descendants(top);
                candidates.insert(candidates.begin(), top);
                for (HWND hwnd : candidates) {
                    if (!main_ && ClassOf(hwnd) == "#32770" && TextOf(hwnd) == "Draxtel Velmora")
                        main_ = hwnd;
                }
            }
            return main_ && PageControl(kBannedPage, IDC_ENTRY);
        },
        timeoutMs);
    // A posted message is handled only once the dialog runs its message loop.
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
    HWND entry = PageControl(kBannedPage, IDC_ENTRY);
    if (!entry || !::SendMessageTimeoutA(main_, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result))
        return false;
    static std::atomic<unsigned> mark{0};
    for (int round = 0; round < 2; ++round) {
        WPARAM limit = 0x70000000u + (mark++ & 0xFFFFFu);
        ::PostMessageA(entry, EM_SETLIMITTEXT, limit, 0);
        auto seen = [&] {
            return ::SendMessageTimeoutA(entry, EM_GETLIMITTEXT, 0, 0, SMTO_NORMAL, 1000,
                                         &result) &&
                   result == limit;
        };
        if (!WaitUntil(seen, timeoutMs))
            return false;
    }
    return true;
}

HWND VelmoraProcess::Page(int index) const {
    // Each page is known by a control only it has.
    static const struct {
        int id;
        const char* cls;
    } kMarks[] = {{IDC_BANNED_LIST, "ListBox"},
                  {IDC_KILL_LIST, "ListBox"},
                  {IDC_DELAY, "Edit"},
                  {IDC_ADVERT_LINK, "Static"}};
    if (index < 0 || index > 3)
        return nullptr;
    for (HWND hwnd : Descendants(::GetDlgItem(main_, IDC_TABS))) {
        HWND mark = ::GetDlgItem(hwnd, kMarks[index].id);
        if (ClassOf(hwnd) == "#32770" && mark &&
            _stricmp(ClassOf(mark).c_str(), kMarks[index].cls) == 0)
            return hwnd;
    }
    return nullptr;
}

bool VelmoraProcess::SelectTab(int index) {
    HWND tabs = ::GetDlgItem(main_, IDC_TABS);
    // The item rectangle has to come back through the other process's memory.
    void* remote =
        ::VirtualAllocEx(pi_.hProcess, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
    RECT rect{};
    if (remote) {
        ::SendMessageA(tabs, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(remote));
        ::ReadProcessMemory(pi_.hProcess, remote, &rect, sizeof(rect), nullptr);
        ::VirtualFreeEx(pi_.hProcess, remote, 0, MEM_RELEASE);
    }
    LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    ::PostMessageA(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageA(tabs, WM_LBUTTONUP, 0, at);
    return Settle();
}

std::vector<std::string> VelmoraProcess::BannedList() const {
    return ListBoxItems(PageControl(kBannedPage, IDC_BANNED_LIST));
}

std::vector<std::string> VelmoraProcess::StatisticsLines() const {
    return ListBoxItems(PageControl(kStatsPage, IDC_KILL_LIST));
}

// The factory thread owns a message-only window; work sent to it runs there,
// so every window belongs to a thread that pumps.
struct WindowFactory::Impl {
    static constexpr UINT kRun = WM_APP + 1;
    std::thread thread;
    HWND control = nullptr;
    HANDLE ready = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);

    static LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg != kRun)
            return ::DefWindowProcA(hwnd, msg, wParam, lParam);
        (*reinterpret_cast<const std::function<void()>*>(lParam))();
        return 0;
    }

    void Run() {
        HINSTANCE instance = ::GetModuleHandleA(nullptr);
        WNDCLASSA cls{};
        cls.lpfnWndProc = ::DefWindowProcA;
        cls.hInstance = instance;
        cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        cls.lpszClassName = "VelmoraE2EPopup";
        ::RegisterClassA(&cls);
        cls.lpfnWndProc = ControlProc;
        cls.lpszClassName = "VelmoraE2EFactory";
        ::RegisterClassA(&cls);
        control = ::CreateWindowExA(0, "VelmoraE2EFactory", "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                    nullptr, instance, nullptr);
        ::SetEvent(ready);
        MSG msg;
        while (::GetMessageA(&msg, nullptr, 0, 0) > 0)
            ::DispatchMessageA(&msg);
    }
};

WindowFactory::WindowFactory() : impl_(new Impl) {
    impl_->thread = std::thread([this] { impl_->Run(); });
    ::WaitForSingleObject(impl_->ready, 10000);
}

WindowFactory::~WindowFactory() {
    ::PostMessageA(impl_->control, WM_QUIT, 0, 0);
    impl_->thread.join();
    ::CloseHandle(impl_->ready);
}

void WindowFactory::RunOnThread(const std::function<void()>& work) {
    ::SendMessageA(impl_->control, Impl::kRun, 0, reinterpret_cast<LPARAM>(&work));
}

HWND WindowFactory::Open(const std::string& title, int width, int height) {
    HWND made = nullptr;
    RunOnThread([&] {
        made = ::CreateWindowExA(0, "VelmoraE2EPopup", title.c_str(),
                                 WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, width, height, nullptr,
                                 nullptr, ::GetModuleHandleA(nullptr), nullptr);
    });
    return made;
}

std::vector<HWND> WindowFactory::OpenMany(const std::string& titlePrefix, int count, int width,
                                          int height) {
    std::vector<HWND> made;
    RunOnThread([&] {
        for (int i = 0; i < count; ++i)
            made.push_back(::CreateWindowExA(
                0, "VelmoraE2EPopup", (titlePrefix + " " + std::to_string(i)).c_str(),
                WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40 + (i % 20) * 5, 40 + (i % 20) * 5, width,
                height, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr));
    });
    return made;
}

void WindowFactory::Close(HWND window) {
    RunOnThread([&] { ::DestroyWindow(window); });
}

} // namespace e2e
