// A static picture of a dialog template (SS_BITMAP) shown as drawn for its
// window's DPI: the template's own bitmap at 96 DPI, at other scales the
// copy drawn for the scale at or below (fw::ScaledBitmapId), loaded when the
// control is taken over and again when the DPI changes. A plain picture
// control takes the picture's size; a centred one keeps its own.
#pragma once

#include "framework/Dpi.h"
#include "framework/Handle.h"
#include "framework/Window.h"

namespace controls {

class Picture : public fw::Window {
public:
    // bitmapId: the resource of the 96-DPI picture, the one the template names.
    explicit Picture(int bitmapId) : bitmapId96(bitmapId) {}
    ~Picture() override;

    // The scale whose picture is shown, as a DPI.
    UINT PictureDpi() const { return shownDpi; }

    BEGIN_MSG_MAP(Picture)
        MESSAGE_HANDLER(fw::kDpiChangedAfterParent, OnDpiChanged)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    END_MSG_MAP()

protected:
    void OnSubclassed() override;

private:
    LRESULT OnDpiChanged(UINT, WPARAM, LPARAM, bool&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, bool& bHandled);
    void ShowForDpi();
    void FitToPicture();

    int bitmapId96;
    UINT shownDpi = fw::kBaseDpi;
    // The template's bitmap belongs to the control; a scaled one to this object.
    HBITMAP templateBitmap = nullptr;
    fw::UniqueBitmap scaledBitmap;
};

} // namespace controls
