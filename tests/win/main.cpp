#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <cstdlib>
#include <cstring>

#include <gtest/gtest.h>

#include "tests/win/Support.h"

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "--window-maker") == 0)
        return wintest::RunWindowMaker(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
    if (argc == 5 && std::strcmp(argv[1], "--window-maker-waiting") == 0)
        return wintest::RunWaitingWindowMaker(argv[2], argv[3], argv[4]);
    if (argc == 5 && std::strcmp(argv[1], "--second-watcher") == 0)
        return wintest::RunSecondWatcher(
            reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(argv[2], nullptr, 10))),
            argv[3], argv[4]);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_TAB_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    ::CoInitialize(nullptr);
    testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    ::CoUninitialize();
    return result;
}
