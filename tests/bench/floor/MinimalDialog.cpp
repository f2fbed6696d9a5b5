// A floor of the start-up benchmark: the program's main window and its first
// page as the dialog manager alone makes them from the program's own
// templates (the banner, the tabs, the list, the entry and the standard
// buttons), shown; or the main window alone, never shown, for a start in the
// notification area. No
// code of the program runs: what it costs is the dialog manager's and the
// controls' own work under Wine.
#include <windows.h>

#include <commctrl.h>

#include "resources/resource.h"

namespace {
#ifdef VELMORA_MINIMAL_HIDDEN
const bool kShown = false;
#else
const bool kShown = true;
#endif

INT_PTR CALLBACK PageProc(HWND, UINT msg, WPARAM, LPARAM) {
    return msg == WM_INITDIALOG;
}

INT_PTR CALLBACK MainProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_INITDIALOG) {
        ::SetWindowTextA(dialog, "Minimal Window");
        HWND tabs = ::GetDlgItem(dialog, IDC_TABS);
        const char* names[] = {"Banned List", "Statistics", "Options", "Browsers", "About"};
        for (int i = 0; i < 5; ++i) {
            TCITEMA item{};
            item.mask = TCIF_TEXT;
            item.pszText = const_cast<char*>(names[i]);
            ::SendMessageA(tabs, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
        }
        // In the notification area the program makes its pages after it answers.
        if (!kShown)
            return TRUE;
        HWND page = ::CreateDialogParamA(::GetModuleHandleA(nullptr),
                                         MAKEINTRESOURCEA(IDD_BANNEDLIST), dialog, PageProc, 0);
        RECT area{};
        ::GetWindowRect(tabs, &area);
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
        ::SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
        ::SetWindowPos(page, HWND_TOP, area.left, area.top, area.right - area.left,
                       area.bottom - area.top, SWP_SHOWWINDOW);
        return TRUE;
    }
    if (msg == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        ::DestroyWindow(dialog);
        return TRUE;
    }
    if (msg == WM_DESTROY)
        ::PostQuitMessage(0);
    return FALSE;
}
} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_TAB_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    HWND dialog = ::CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainProc, 0);
    if (!dialog)
        return 1;
    if (kShown) {
        ::ShowWindow(dialog, SW_SHOWNORMAL);
        ::UpdateWindow(dialog);
    }
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!::IsDialogMessageA(dialog, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    return 0;
}
