#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include "tests/win/WindowMaker.h"

int main(int argc, char** argv) {
    int makerExit = 0;
    if (wintest::RunWindowMakerIfAsked(argc, argv, makerExit))
        return makerExit;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_TAB_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    ::CoInitialize(nullptr);
    testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    ::CoUninitialize();
    return result;
}
