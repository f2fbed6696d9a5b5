#include "controls/Picture.h"

namespace controls {

Picture::~Picture() {
    // Handed back before the bitmap goes, should the window outlive the object.
    if (m_hWnd && scaledBitmap)
        SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(templateBitmap));
}

void Picture::OnSubclassed() {
    fw::Window::OnSubclassed();
    templateBitmap = reinterpret_cast<HBITMAP>(SendMessage(STM_GETIMAGE, IMAGE_BITMAP));
    ShowForDpi();
}

void Picture::ShowForDpi() {
    UINT wanted = fw::PictureDpi(fw::WindowDpi(m_hWnd));
    if (wanted != shownDpi) {
        HBITMAP next = templateBitmap;
        if (wanted != fw::kBaseDpi)
            next = static_cast<HBITMAP>(
                ::LoadImageA(::GetModuleHandleA(nullptr),
                             MAKEINTRESOURCEA(fw::ScaledBitmapId(bitmapId96, wanted)), IMAGE_BITMAP,
                             0, 0, LR_DEFAULTCOLOR));
        // Without the scaled picture the one shown stays.
        if (!next)
            return;
        SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(next));
        scaledBitmap.Reset(next == templateBitmap ? nullptr : next);
        shownDpi = wanted;
    }
    FitToPicture();
}

void Picture::FitToPicture() {
    // As the control sizes itself for a new picture: the window, border
    // and all, takes the picture's size. The layout may have given it its
    // template size again.
    if (GetStyle() & (SS_CENTERIMAGE | SS_REALSIZECONTROL))
        return;
    HBITMAP shown = reinterpret_cast<HBITMAP>(SendMessage(STM_GETIMAGE, IMAGE_BITMAP));
    BITMAP size{};
    if (shown && ::GetObjectA(shown, sizeof(size), &size))
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, size.bmWidth, size.bmHeight,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT Picture::OnDpiChanged(UINT, WPARAM, LPARAM, bool&) {
    ShowForDpi();
    return 0;
}

LRESULT Picture::OnDestroy(UINT, WPARAM, LPARAM, bool& bHandled) {
    // The control ends with the bitmap it was made with, as it would have.
    if (scaledBitmap)
        SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(templateBitmap));
    scaledBitmap.Reset();
    shownDpi = fw::kBaseDpi;
    bHandled = false;
    return 0;
}

} // namespace controls
