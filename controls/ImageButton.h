// A push button or check box of a dialog template, taken over and drawn flat
// with an icon beside its caption (16 x 16 at 96 DPI, drawn for each scale),
// hover colours and a thin edge under the pointer. A check box keeps its own
// check state and shows one icon checked and another unchecked. Sizes and
// edges follow the window's DPI; icons given as resources are loaded again
// when it changes.
#pragma once

#include <string>

#include "controls/ButtonRules.h"
#include "framework/Dpi.h"
#include "framework/Handle.h"
#include "framework/Window.h"

namespace controls {

// A push button of a page and its look: its control, icon and hover text colour.
struct ButtonLook {
    int id;
    int icon;
    COLORREF hoverText;
};

class ImageButton : public fw::Window {
public:
    enum StateColour {
        HoverBack = 0,
        HoverText = 1,
        NormalBack = 2,
        NormalText = 3,
        FocusBack = 4,
        FocusText = 5
    };
    // As a second icon id or handle: make the second icon a grey copy of the first.
    static constexpr int AUTO_GREY_ICON = -2;
    static HICON AutoGreyIconHandle() {
        return reinterpret_cast<HICON>(static_cast<INT_PTR>(AUTO_GREY_ICON));
    }
    // The longest link target kept; a longer one is refused, not cut short.
    static constexpr size_t kMaxLinkTarget = 259;

    ImageButton();
    ~ImageButton() override;

    // Result codes: see controls::ButtonResult.
    // Loaded at the size for the window's DPI, and again when it changes.
    int SetIconResources(int firstId, int secondId);
    // Takes ownership of both icons (the second may be null or AutoGreyIconHandle()).
    int SetIconHandles(HICON first, HICON second);
    int SetStateColour(int slot, COLORREF colour, bool repaint = true);
    int ShadeStateColour(int slot, int shade, bool repaint = true);
    // The program's look for a push button: its icon, a face 20 lighter and
    // this text colour under the pointer.
    void SetLook(int iconId, COLORREF hoverText);
    int ResetStateColours(bool repaint = true);
    int SetPressShift(int style, bool repaint = true);
    int SetCheckState(int checked, bool repaint = true);
    int GetCheckState() const { return checked ? 1 : 0; }
    int SetLinkTarget(const char* address);
    // A grey copy of an icon (black pixels stay black), or null. The caller owns it.
    static HICON MakeGreyIcon(HICON icon);

    // Options this program leaves at their construction values.
    void SetFlat(bool on, bool repaint = true);
    void SetSeeThrough(bool on, bool repaint = true);
    void SetAlignment(controls::ImageAlign align, bool repaint = true);
    void SetHoverEdge(bool on, bool repaint = true);
    void SetFocusRectWhenFlat(bool on, bool repaint = true);
    void SetTrackAlways(bool on) { trackAlways = on; }
    // Takes ownership of the bitmaps; pixels of the transparent colour are left out.
    int SetBitmaps(HBITMAP first, COLORREF firstTransparent, HBITMAP second,
                   COLORREF secondTransparent);
    // A pop-up menu from the resources; its first submenu opens on click and
    // the chosen command goes to owner.
    bool SetMenu(UINT menuId, HWND owner, bool repaint = true);
    // Told (message, submenu, parameter) just before the attached menu opens.
    void SetMenuCallback(HWND window, UINT message, LPARAM parameter);
    // Takes ownership of the cursor.
    void SetPointerCursor(HCURSOR cursor);

    COLORREF GetStateColour(int slot) const { return stateColours.Get(slot); }
    bool IsHovering() const { return hovering; }
    bool IsCheckBox() const { return checkBoxMode; }
    bool IsDefaultButton() const { return defaultButton; }
    const std::string& LinkTarget() const { return linkTarget; }

    bool PreTranslateMessage(MSG* msg) override;

    BEGIN_MSG_MAP(ImageButton)
        MESSAGE_HANDLER(fw::OCM_DRAWITEM, OnDrawItem)
        REFLECTED_COMMAND_CODE_HANDLER(BN_CLICKED, OnClicked)
        MESSAGE_HANDLER(fw::OCM_CTLCOLORBTN, OnCtlColor)
        MESSAGE_HANDLER(fw::OCM_CTLCOLORSTATIC, OnCtlColor)
        MESSAGE_HANDLER(BM_GETCHECK, OnGetCheck)
        MESSAGE_HANDLER(BM_SETCHECK, OnSetCheck)
        MESSAGE_HANDLER(BM_SETSTYLE, OnSetStyle)
        MESSAGE_HANDLER(WM_GETDLGCODE, OnGetDlgCode)
        MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
        MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
        MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
        MESSAGE_HANDLER(WM_KILLFOCUS, OnEndHoverAfterDefault)
        MESSAGE_HANDLER(WM_CANCELMODE, OnEndHoverAfterDefault)
        MESSAGE_HANDLER(WM_ACTIVATE, OnActivate)
        MESSAGE_HANDLER(WM_ENABLE, OnEnable)
        MESSAGE_HANDLER(WM_SYSCOLORCHANGE, OnSysColorChange)
        MESSAGE_HANDLER(fw::kDpiChangedAfterParent, OnDpiChanged)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    END_MSG_MAP()

    // The DPI the button is drawn for, and the width of the icons it shows.
    UINT DrawnDpi() const { return dpi; }
    int IconWidth() const { return icons[0].width; }

protected:
    // The attach hook: check-box mode and default button from the style, then owner-drawn.
    void OnSubclassed() override;

    virtual void DrawItem(const DRAWITEMSTRUCT& item);
    virtual void PaintBackground(HDC dc, const RECT& rc);
    virtual void PaintBorder(HDC dc, const RECT& rc);
    virtual void PaintIcon(HDC dc, bool hasCaption, const RECT& item, RECT& caption, bool isPressed,
                           bool isDisabled);
    virtual void PaintBitmap(HDC dc, bool hasCaption, const RECT& item, RECT& caption,
                             bool isPressed, bool isDisabled);
    virtual void PaintCaption(HDC dc, const std::string& text, const RECT& item, RECT& caption,
                              bool isPressed, bool isDisabled);
    POINT LayoutImage(bool hasCaption, const RECT& item, RECT& caption, bool isPressed, int w,
                      int h) const;
    void EndHover();

private:
    struct IconRecord {
        fw::UniqueIcon icon;
        int width = 0;
        int height = 0;
    };
    struct BitmapRecord {
        fw::UniqueBitmap image;
        int width = 0;
        int height = 0;
        fw::UniqueBitmap mask;
    };

    LRESULT OnDrawItem(UINT, WPARAM, LPARAM lParam, bool&);
    LRESULT OnClicked(WORD, WORD, HWND, bool& bHandled);
    LRESULT OnCtlColor(UINT, WPARAM, LPARAM, bool&);
    LRESULT OnGetCheck(UINT, WPARAM, LPARAM, bool&) { return GetCheckState(); }
    LRESULT OnSetCheck(UINT, WPARAM wParam, LPARAM, bool&);
    LRESULT OnSetStyle(UINT msg, WPARAM wParam, LPARAM lParam, bool&);
    LRESULT OnGetDlgCode(UINT msg, WPARAM wParam, LPARAM lParam, bool&);
    LRESULT OnMouseMove(UINT msg, WPARAM wParam, LPARAM lParam, bool&);
    LRESULT OnMouseLeave(UINT, WPARAM, LPARAM, bool&);
    LRESULT OnSetCursor(UINT, WPARAM, LPARAM, bool& bHandled);
    LRESULT OnEndHoverAfterDefault(UINT msg, WPARAM wParam, LPARAM lParam, bool&);
    LRESULT OnActivate(UINT msg, WPARAM wParam, LPARAM lParam, bool&);
    LRESULT OnEnable(UINT msg, WPARAM wParam, LPARAM lParam, bool&);
    LRESULT OnSysColorChange(UINT msg, WPARAM wParam, LPARAM lParam, bool&);
    LRESULT OnDpiChanged(UINT, WPARAM, LPARAM, bool&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, bool& bHandled);

    // knownSize: the icons' size in pixels when it is known (loaded at that
    // size), 0 to ask the icons.
    int TakeIcons(HICON first, HICON second, int knownSize = 0);
    void Repaint();
    void ReleaseImages();
    void DropBackgroundCache();
    void PaintSeeThroughFace(HDC dc, const RECT& rc);
    void PaintRaisedEdge(HDC dc, const RECT& rc);
    void OpenAttachedMenu();
    static bool MeasureIcon(IconRecord& record, int knownSize);
    controls::ImageLayout Layout() const;

    // Fields in the order of the control's data model.
    bool greyDisabledBitmaps = true;
    int imageMarginX = 3;
    int imageMarginY = 3;
    POINT pressShift{1, 1};
    bool flat = true;
    bool hovering = false;
    bool seeThrough = false;
    bool pressed = false;
    bool focused = false;
    bool disabled = false;
    bool defaultButton = false;
    bool checkBoxMode = false;
    controls::ImageAlign alignment = controls::ImageAlign::Left;
    bool hoverEdge = true;
    bool focusRectWhenFlat = false;
    controls::StateColours stateColours;
    HWND menuOwner = nullptr;
    bool menuOpen = false;
    fw::UniqueMenu menu;
    fw::UniqueCursor cursor;
    fw::UniqueWindow tooltip;
    fw::UniqueMemoryDc cacheDc;
    fw::UniqueBitmap cacheBitmap;
    HBITMAP cacheReplaced = nullptr;
    bool trackAlways = true;
    bool checked = false;
    std::string linkTarget;
    IconRecord icons[2];
    BitmapRecord bitmaps[2];
    // The resources of the icons shown (0: given as handles), and the DPI they were loaded for.
    int iconResources[2] = {0, 0};
    UINT iconDpi = 0;
    UINT dpi = fw::kBaseDpi;
    HWND menuCallbackWindow = nullptr;
    UINT menuCallbackMessage = 0;
    LPARAM menuCallbackParameter = 0;
};

} // namespace controls
