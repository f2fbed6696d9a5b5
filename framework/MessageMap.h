// Message maps in the shape of the classic frameworks: one table per class,
// expanding to one ProcessWindowMessage override. Each entry tries one
// message; a handler that leaves bHandled true ends the search. Anything no
// entry takes falls through to CHAIN_MSG_MAP and finally to default processing.
#pragma once

#include <windows.h>

namespace fw {
// Notifications a parent reflects back to the child control's own object.
constexpr UINT OCM__BASE = WM_USER + 0x1c00;
constexpr UINT OCM_COMMAND = OCM__BASE + WM_COMMAND;
constexpr UINT OCM_NOTIFY = OCM__BASE + WM_NOTIFY;
constexpr UINT OCM_DRAWITEM = OCM__BASE + WM_DRAWITEM;
constexpr UINT OCM_MEASUREITEM = OCM__BASE + WM_MEASUREITEM;
constexpr UINT OCM_CTLCOLORBTN = OCM__BASE + WM_CTLCOLORBTN;
constexpr UINT OCM_CTLCOLORSTATIC = OCM__BASE + WM_CTLCOLORSTATIC;
constexpr UINT OCM_CTLCOLOREDIT = OCM__BASE + WM_CTLCOLOREDIT;
constexpr UINT OCM_CTLCOLORLISTBOX = OCM__BASE + WM_CTLCOLORLISTBOX;
constexpr UINT OCM_VKEYTOITEM = OCM__BASE + WM_VKEYTOITEM;
} // namespace fw

#define BEGIN_MSG_MAP(theClass)                                                                    \
public:                                                                                            \
    bool ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,                  \
                              LRESULT& lResult) override {                                         \
        (void)hWnd;                                                                                \
        (void)wParam;                                                                              \
        (void)lParam;                                                                              \
        bool bHandled = true;                                                                      \
        (void)bHandled;

// LRESULT OnXxx(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled)
#define MESSAGE_HANDLER(msg, func)                                                                 \
    if (uMsg == (msg)) {                                                                           \
        bHandled = true;                                                                           \
        lResult = func(uMsg, wParam, lParam, bHandled);                                            \
        if (bHandled)                                                                              \
            return true;                                                                           \
    }

// LRESULT OnXxx(WORD wNotifyCode, WORD wID, HWND hWndCtl, bool& bHandled)
#define COMMAND_HANDLER(id, code, func)                                                            \
    if (uMsg == WM_COMMAND && LOWORD(wParam) == (id) && HIWORD(wParam) == (code)) {                \
        bHandled = true;                                                                           \
        lResult = func(HIWORD(wParam), LOWORD(wParam), (HWND)lParam, bHandled);                    \
        if (bHandled)                                                                              \
            return true;                                                                           \
    }

// LRESULT OnXxx(WORD wNotifyCode, WORD wID, HWND hWndCtl, bool& bHandled)
#define COMMAND_ID_HANDLER(id, func)                                                               \
    if (uMsg == WM_COMMAND && LOWORD(wParam) == (id)) {                                            \
        bHandled = true;                                                                           \
        lResult = func(HIWORD(wParam), LOWORD(wParam), (HWND)lParam, bHandled);                    \
        if (bHandled)                                                                              \
            return true;                                                                           \
    }

// LRESULT OnXxx(WORD wNotifyCode, WORD wID, HWND hWndCtl, bool& bHandled)
#define COMMAND_CODE_HANDLER(code, func)                                                           \
    if (uMsg == WM_COMMAND && HIWORD(wParam) == (code)) {                                          \
        bHandled = true;                                                                           \
        lResult = func(HIWORD(wParam), LOWORD(wParam), (HWND)lParam, bHandled);                    \
        if (bHandled)                                                                              \
            return true;                                                                           \
    }

// LRESULT OnXxx(int idCtrl, LPNMHDR pnmh, bool& bHandled)
#define NOTIFY_HANDLER(id, cd, func)                                                               \
    if (uMsg == WM_NOTIFY && ((LPNMHDR)lParam)->idFrom == (UINT_PTR)(id) &&                        \
        ((LPNMHDR)lParam)->code == (UINT)(cd)) {                                                   \
        bHandled = true;                                                                           \
        lResult = func((int)wParam, (LPNMHDR)lParam, bHandled);                                    \
        if (bHandled)                                                                              \
            return true;                                                                           \
    }

// LRESULT OnXxx(int idCtrl, LPNMHDR pnmh, bool& bHandled)
#define NOTIFY_CODE_HANDLER(cd, func)                                                              \
    if (uMsg == WM_NOTIFY && ((LPNMHDR)lParam)->code == (UINT)(cd)) {                              \
        bHandled = true;                                                                           \
        lResult = func((int)wParam, (LPNMHDR)lParam, bHandled);                                    \
        if (bHandled)                                                                              \
            return true;                                                                           \
    }

// A command notification reflected to the control that sent it.
// LRESULT OnXxx(WORD wNotifyCode, WORD wID, HWND hWndCtl, bool& bHandled)
#define REFLECTED_COMMAND_CODE_HANDLER(code, func)                                                 \
    if (uMsg == fw::OCM_COMMAND && HIWORD(wParam) == (code)) {                                     \
        bHandled = true;                                                                           \
        lResult = func(HIWORD(wParam), LOWORD(wParam), (HWND)lParam, bHandled);                    \
        if (bHandled)                                                                              \
            return true;                                                                           \
    }

// A WM_NOTIFY reflected to the control that sent it.
// LRESULT OnXxx(int idCtrl, LPNMHDR pnmh, bool& bHandled)
#define REFLECTED_NOTIFY_CODE_HANDLER(cd, func)                                                    \
    if (uMsg == fw::OCM_NOTIFY && ((LPNMHDR)lParam)->code == (UINT)(cd)) {                         \
        bHandled = true;                                                                           \
        lResult = func((int)wParam, (LPNMHDR)lParam, bHandled);                                    \
        if (bHandled)                                                                              \
            return true;                                                                           \
    }

// Hands the message to a base class's map.
#define CHAIN_MSG_MAP(theBase)                                                                     \
    if (theBase::ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult))                        \
        return true;

#define END_MSG_MAP()                                                                              \
    return false;                                                                                  \
    }
