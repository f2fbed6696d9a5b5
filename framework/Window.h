// Window objects: one C++ object per window, found from its handle without
// thunks or global maps. Created windows keep `this` in GWLP_USERDATA,
// subclassed controls in their subclass reference data, dialogs in
// GWLP_USERDATA from WM_INITDIALOG.
#pragma once

#include <windows.h>

#include <string>

#include "framework/MessageMap.h"

namespace fw {

// The text of a window of this process.
std::string WindowText(HWND hwnd);

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND m_hWnd = nullptr;
    HWND GetHwnd() const { return m_hWnd; }
    bool IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }

    // The object behind a window of this framework, or null.
    static Window* FromHandle(HWND hwnd);

    // Registers (once) a private class with no style, cursor, background or icon.
    static bool RegisterPrivateClass(const char* className);
    // Creates a window of a class registered by RegisterPrivateClass.
    HWND CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x,
                  int y, int cx, int cy, HWND parent, HMENU menu);
    bool DestroyWindow();

    // Takes over an existing control; runs OnSubclassed before anything is drawn.
    bool SubclassWindow(HWND hwnd);
    bool SubclassDlgItem(int id, HWND parent) { return SubclassWindow(::GetDlgItem(parent, id)); }
    void UnsubclassWindow();

    // The message map. Returns true when a handler took the message.
    virtual bool ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                                      LRESULT& lResult);
    // Called by the message loop for every keyboard and mouse message aimed
    // at this window or its descendants, before dispatch. True: the message
    // was consumed.
    virtual bool PreTranslateMessage(MSG* msg);
    // Default processing of the message being handled.
    virtual LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam);

    // Thin wrappers used throughout.
    LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageA(m_hWnd, msg, wParam, lParam);
    }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    std::string GetWindowText() const { return WindowText(m_hWnd); }
    void Invalidate(bool erase = true) const { ::InvalidateRect(m_hWnd, nullptr, erase); }
    DWORD GetStyle() const { return (DWORD)::GetWindowLongA(m_hWnd, GWL_STYLE); }

protected:
    // Attach hook: the window has just been subclassed.
    virtual void OnSubclassed() {}
    // The window is gone (after WM_NCDESTROY); m_hWnd is already null.
    virtual void OnFinalMessage(HWND) {}

    // Offers a parent's notification to the child control's own object.
    // True when the child took it; lResult then holds the answer.
    bool ReflectNotification(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& lResult);
    // Reflection, map, then default processing, with exceptions stopped here.
    LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);

    enum class Kind { None, Created, Subclassed, Dialog };
    Kind kind = Kind::None;

private:
    static LRESULT CALLBACK StaticWndProc(HWND, UINT, WPARAM, LPARAM);
    // The procedure of the framework's dialogs, which keep their object as
    // created windows do; set by Dialog before its first window.
    static DLGPROC dialogProcedure;
    static LRESULT CALLBACK StaticSubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    void Detach();
    friend class Dialog;
};

// The application's main window (the modal main dialog while it runs).
HWND GetMainWindow();
void SetMainWindow(HWND hwnd);
// The executable's name without extension, which names the program's
// registry key.
std::string GetAppName();
// The title the program's message boxes and small windows carry, the main
// window's; the executable's name until set.
void SetAppTitle(const std::string& title);
std::string GetAppTitle();

} // namespace fw
