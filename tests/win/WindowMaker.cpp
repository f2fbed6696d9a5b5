#include "tests/win/WindowMaker.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace wintest {

namespace {

void Pump(DWORD milliseconds) {
    DWORD start = ::GetTickCount();
    do {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (::GetTickCount() - start < milliseconds);
}

} // namespace

bool RunWindowMakerIfAsked(int argc, char** argv, int& exitCode) {
    if (argc < 6 || std::strcmp(argv[1], "--window-maker") != 0)
        return false;
    const char* prefix = argv[2];
    int count = std::atoi(argv[3]);
    int hold = std::atoi(argv[4]);
    const char* resultFile = argv[5];

    WNDCLASSA wc{};
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "VelmoraTestMade";
    ::RegisterClassA(&wc);

    DWORD longestCreate = 0, longestDestroy = 0;
    for (int i = 0; i < count; ++i) {
        std::string title = std::string(prefix) + " " + std::to_string(i);
        DWORD t0 = ::GetTickCount();
        HWND hwnd = ::CreateWindowExA(0, "VelmoraTestMade", title.c_str(),
                                      WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200, nullptr,
                                      nullptr, wc.hInstance, nullptr);
        DWORD t1 = ::GetTickCount();
        Pump(static_cast<DWORD>(hold));
        DWORD t2 = ::GetTickCount();
        ::DestroyWindow(hwnd);
        DWORD t3 = ::GetTickCount();
        if (t1 - t0 > longestCreate)
            longestCreate = t1 - t0;
        if (t3 - t2 > longestDestroy)
            longestDestroy = t3 - t2;
    }
    FILE* out = std::fopen(resultFile, "w");
    if (out) {
        std::fprintf(out, "%lu %lu\n", static_cast<unsigned long>(longestCreate),
                     static_cast<unsigned long>(longestDestroy));
        std::fclose(out);
    }
    exitCode = 0;
    return true;
}

HANDLE StartWindowMaker(const std::string& prefix, int count, int holdMs,
                        const std::string& resultFile) {
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string commandLine = "\"" + std::string(self) + "\" --window-maker \"" + prefix + "\" " +
                              std::to_string(count) + " " + std::to_string(holdMs) + " \"" +
                              resultFile + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessA(self, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                          &pi))
        return nullptr;
    ::CloseHandle(pi.hThread);
    return pi.hProcess;
}

MakerResult ReadMakerResult(const std::string& resultFile) {
    MakerResult result;
    FILE* in = std::fopen(resultFile.c_str(), "r");
    if (!in)
        return result;
    unsigned long create = 0, destroy = 0;
    result.ok = std::fscanf(in, "%lu %lu", &create, &destroy) == 2;
    result.longestCreateMs = create;
    result.longestDestroyMs = destroy;
    std::fclose(in);
    return result;
}

} // namespace wintest
