#include "controls/ImageButton.h"

#include <commctrl.h>
#include <windowsx.h>

#include <utility>

#include "controls/ShellLaunch.h"
#include "framework/Dpi.h"
#include "resources/resource.h"

namespace controls {

namespace {

RECT ToRect(const controls::Box& b) {
    return RECT{b.left, b.top, b.right, b.bottom};
}
controls::Box ToBox(const RECT& r) {
    return controls::Box{r.left, r.top, r.right, r.bottom};
}

// A solid rectangle without making a brush: an opaque empty text-out.
void FillSolid(HDC dc, const RECT& rc, COLORREF colour) {
    COLORREF previous = ::SetBkColor(dc, colour);
    ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
    ::SetBkColor(dc, previous);
}

// A 3-D rectangle on rc's edge, width pixels wide.
void Draw3dRect(HDC dc, RECT rc, COLORREF topLeft, COLORREF bottomRight, int width) {
    for (int ring = 0; ring < width; ++ring, ::InflateRect(&rc, -1, -1)) {
        FillSolid(dc, RECT{rc.left, rc.top, rc.right - 1, rc.top + 1}, topLeft);
        FillSolid(dc, RECT{rc.left, rc.top, rc.left + 1, rc.bottom - 1}, topLeft);
        FillSolid(dc, RECT{rc.right - 1, rc.top, rc.right, rc.bottom}, bottomRight);
        FillSolid(dc, RECT{rc.left, rc.bottom - 1, rc.right, rc.bottom}, bottomRight);
    }
}

// A mask (1 where the transparent colour is) and the image with those pixels
// made black, so that mask-AND then image-OR leaves the background there.
bool BuildMask(HBITMAP image, COLORREF transparent, int w, int h, fw::UniqueBitmap& mask) {
    mask.Reset(::CreateBitmap(w, h, 1, 1, nullptr));
    fw::WindowDc screen(nullptr);
    fw::UniqueMemoryDc imageDc(::CreateCompatibleDC(screen.Get()));
    fw::UniqueMemoryDc maskDc(::CreateCompatibleDC(screen.Get()));
    if (!mask || !imageDc || !maskDc)
        return false;
    fw::SelectObjectScope selectImage(imageDc.Get(), image);
    fw::SelectObjectScope selectMask(maskDc.Get(), mask.Get());
    COLORREF previousBack = ::SetBkColor(imageDc.Get(), transparent);
    ::BitBlt(maskDc.Get(), 0, 0, w, h, imageDc.Get(), 0, 0, SRCCOPY);
    ::SetBkColor(imageDc.Get(), previousBack);
    // Colour from monochrome: 1 bits take the background colour, 0 bits the text colour.
    COLORREF previousText = ::SetTextColor(imageDc.Get(), RGB(255, 255, 255));
    previousBack = ::SetBkColor(imageDc.Get(), RGB(0, 0, 0));
    ::BitBlt(imageDc.Get(), 0, 0, w, h, maskDc.Get(), 0, 0, SRCAND);
    ::SetTextColor(imageDc.Get(), previousText);
    ::SetBkColor(imageDc.Get(), previousBack);
    return true;
}

} // namespace

ImageButton::ImageButton() {
    ResetStateColours(false);
    SetPressShift(0, false);
}

ImageButton::~ImageButton() {
    DropBackgroundCache();
    ReleaseImages();
    cursor.Reset();
    menu.Reset();
    tooltip.Reset();
}

void ImageButton::Repaint() {
    if (m_hWnd)
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void ImageButton::OnSubclassed() {
    dpi = fw::WindowDpi(m_hWnd);
    DWORD style = GetStyle();
    if (style & controls::kCheckBoxBit) {
        checkBoxMode = true;
        SetIconResources(IDI_TICK, IDI_CROSS);
    }
    if ((style & controls::kTypeMask) == controls::kDefPushButton)
        defaultButton = true;
    ::SetWindowLongA(m_hWnd, GWL_STYLE, static_cast<LONG>(controls::OwnerDrawStyle(style)));
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    fw::Window::OnSubclassed();
}

// ---------------------------------------------------------------------------
// Operations

int ImageButton::SetIconResources(int firstId, int secondId) {
    // Drawn for the window's scale: 16 pixels at 96 DPI, never stretched.
    dpi = m_hWnd ? fw::WindowDpi(m_hWnd) : fw::SystemDpi();
    int size = fw::PictureSize(16, dpi);
    HICON first = fw::LoadIconAtSize(firstId, size);
    HICON second = nullptr;
    if (secondId == AUTO_GREY_ICON)
        second = AutoGreyIconHandle();
    else if (secondId != 0)
        second = fw::LoadIconAtSize(secondId, size);
    int result = TakeIcons(first, second, size);
    iconResources[0] = firstId;
    iconResources[1] = secondId;
    iconDpi = dpi;
    return result;
}

int ImageButton::SetIconHandles(HICON first, HICON second) {
    // Handles from the caller cannot be drawn again at another scale.
    iconResources[0] = iconResources[1] = 0;
    return TakeIcons(first, second);
}

bool ImageButton::MeasureIcon(IconRecord& record, int knownSize) {
    if (record.icon && knownSize > 0) {
        // Asking the icon would copy both its bitmaps.
        record.width = record.height = knownSize;
        return true;
    }
    ICONINFO info{};
    if (!record.icon || !::GetIconInfo(record.icon.Get(), &info))
        return false;
    // The query hands out copies of the icon's bitmaps.
    fw::UniqueBitmap colour(info.hbmColor), mask(info.hbmMask);
    // An icon's hotspot is its centre.
    record.width = static_cast<int>(info.xHotspot) * 2;
    record.height = static_cast<int>(info.yHotspot) * 2;
    return true;
}

int ImageButton::TakeIcons(HICON first, HICON second, int knownSize) {
    // Both icons are ours from here on, whatever happens to them below.
    fw::UniqueIcon secondOwned(second == AutoGreyIconHandle() ? nullptr : second);
    ReleaseImages();
    if (!first) {
        Repaint();
        return controls::kDone;
    }
    icons[0].icon.Reset(first);
    if (!MeasureIcon(icons[0], knownSize)) {
        ReleaseImages();
        return controls::kIconUnreadable;
    }
    if (second) {
        if (second == AutoGreyIconHandle())
            secondOwned.Reset(MakeGreyIcon(first));
        icons[1].icon = std::move(secondOwned);
        if (!MeasureIcon(icons[1], knownSize)) {
            ReleaseImages();
            return controls::kIconUnreadable;
        }
    }
    Repaint();
    return controls::kDone;
}

void ImageButton::ReleaseImages() {
    for (IconRecord& record : icons) {
        record.icon.Reset();
        record.width = record.height = 0;
    }
    for (BitmapRecord& record : bitmaps) {
        record.image.Reset();
        record.mask.Reset();
        record.width = record.height = 0;
    }
}

HICON ImageButton::MakeGreyIcon(HICON icon) {
    ICONINFO info{};
    if (!icon || !::GetIconInfo(icon, &info))
        return nullptr;
    fw::UniqueBitmap colour(info.hbmColor), mask(info.hbmMask);
    fw::WindowDc screen(nullptr);
    if (!screen)
        return nullptr;
    fw::UniqueMemoryDc sourceDc(::CreateCompatibleDC(screen.Get()));
    fw::UniqueMemoryDc greyDc(::CreateCompatibleDC(screen.Get()));
    if (!sourceDc || !greyDc)
        return nullptr;
    BITMAP description{};
    if (!colour || !::GetObjectA(colour.Get(), sizeof(description), &description))
        return nullptr;
    int w = static_cast<int>(info.xHotspot) * 2;
    int h = static_cast<int>(info.yHotspot) * 2;
    fw::UniqueBitmap grey(
        ::CreateBitmap(w, h, description.bmPlanes, description.bmBitsPixel, nullptr));
    if (!grey)
        return nullptr;
    {
        fw::SelectObjectScope selectSource(sourceDc.Get(), colour.Get());
        fw::SelectObjectScope selectGrey(greyDc.Get(), grey.Get());
        // A new bitmap's contents are undefined: start from black.
        ::PatBlt(greyDc.Get(), 0, 0, w, h, BLACKNESS);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                COLORREF c = ::GetPixel(sourceDc.Get(), x, y);
                if (c == CLR_INVALID || (c & 0xFFFFFF) == 0)
                    continue;
                ::SetPixel(greyDc.Get(), x, y, controls::GreyPixel(c));
            }
        }
    }
    ICONINFO greyInfo{};
    greyInfo.fIcon = TRUE;
    greyInfo.hbmMask = mask.Get();
    greyInfo.hbmColor = grey.Get();
    // The new icon holds copies; the bitmaps here are freed on the way out.
    return ::CreateIconIndirect(&greyInfo);
}

int ImageButton::SetStateColour(int slot, COLORREF colour, bool repaint) {
    int result = stateColours.Set(slot, colour);
    if (result == controls::kDone && repaint)
        Repaint();
    return result;
}

void ImageButton::SetLook(int iconId, COLORREF hoverText) {
    SetIconResources(iconId, 0);
    ShadeStateColour(HoverBack, 20, true);
    SetStateColour(HoverText, hoverText, true);
}

int ImageButton::ShadeStateColour(int slot, int shade, bool repaint) {
    int result = stateColours.Shade(slot, shade);
    if (result == controls::kDone && repaint)
        Repaint();
    return result;
}

int ImageButton::ResetStateColours(bool repaint) {
    stateColours.Reset(::GetSysColor(COLOR_BTNFACE), ::GetSysColor(COLOR_BTNTEXT));
    if (repaint)
        Repaint();
    return controls::kDone;
}

int ImageButton::SetPressShift(int style, bool repaint) {
    switch (style) {
    case 0:
        pressShift = POINT{1, 1};
        break;
    case 1:
        pressShift = POINT{0, 2};
        break;
    default:
        return controls::kBadPressStyle;
    }
    if (repaint)
        Repaint();
    return controls::kDone;
}

int ImageButton::SetCheckState(int checkedState, bool repaint) {
    if (checkBoxMode) {
        checked = checkedState != 0;
        if (repaint)
            Repaint();
    }
    return controls::kDone;
}

int ImageButton::SetLinkTarget(const char* address) {
    linkTarget.clear();
    if (!address)
        return controls::kDone;
    std::string text(address);
    // A cut-short address would open some other page.
    if (text.size() > kMaxLinkTarget)
        return controls::kAddressTooLong;
    linkTarget = text;
    return controls::kDone;
}

void ImageButton::SetFlat(bool on, bool repaint) {
    flat = on;
    if (repaint)
        Repaint();
}

void ImageButton::SetSeeThrough(bool on, bool repaint) {
    seeThrough = on;
    if (!on)
        DropBackgroundCache();
    if (repaint)
        Repaint();
}

void ImageButton::SetAlignment(controls::ImageAlign align, bool repaint) {
    alignment = align;
    if (repaint)
        Repaint();
}

void ImageButton::SetHoverEdge(bool on, bool repaint) {
    hoverEdge = on;
    if (repaint)
        Repaint();
}

void ImageButton::SetFocusRectWhenFlat(bool on, bool repaint) {
    focusRectWhenFlat = on;
    if (repaint)
        Repaint();
}

int ImageButton::SetBitmaps(HBITMAP first, COLORREF firstTransparent, HBITMAP second,
                            COLORREF secondTransparent) {
    // Handed over: each is freed on every path, by the button or here.
    fw::UniqueBitmap images[2] = {fw::UniqueBitmap(first), fw::UniqueBitmap(second)};
    ReleaseImages();
    COLORREF transparent[2] = {firstTransparent, secondTransparent};
    for (int i = 0; i < 2; ++i) {
        if (!images[i])
            continue;
        HBITMAP image = images[i].Get();
        bitmaps[i].image = std::move(images[i]);
        BITMAP description{};
        if (!::GetObjectA(image, sizeof(description), &description) ||
            !BuildMask(image, transparent[i], description.bmWidth, description.bmHeight,
                       bitmaps[i].mask)) {
            ReleaseImages();
            return controls::kIconUnreadable;
        }
        bitmaps[i].width = description.bmWidth;
        bitmaps[i].height = description.bmHeight;
    }
    Repaint();
    return controls::kDone;
}

bool ImageButton::SetMenu(UINT menuId, HWND owner, bool repaint) {
    menu.Reset(menuId ? ::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(menuId))
                      : nullptr);
    menuOwner = owner;
    if (repaint)
        Repaint();
    return menuId == 0 || menu;
}

void ImageButton::SetMenuCallback(HWND window, UINT message, LPARAM parameter) {
    menuCallbackWindow = window;
    menuCallbackMessage = message;
    menuCallbackParameter = parameter;
}

void ImageButton::SetPointerCursor(HCURSOR newCursor) {
    cursor.Reset(newCursor);
}

// ---------------------------------------------------------------------------
// Drawing

controls::ImageLayout ImageButton::Layout() const {
    controls::ImageLayout layout;
    layout.align = alignment;
    layout.marginX = fw::ScaleToDpi(imageMarginX, dpi);
    layout.marginY = fw::ScaleToDpi(imageMarginY, dpi);
    int line = fw::LineWidthForDpi(dpi);
    layout.pressShift = controls::Spot{pressShift.x * line, pressShift.y * line};
    layout.checkBox = checkBoxMode;
    return layout;
}

POINT ImageButton::LayoutImage(bool hasCaption, const RECT& item, RECT& caption, bool isPressed,
                               int w, int h) const {
    controls::Box captionBox = ToBox(caption);
    controls::Spot at =
        controls::LayoutImage(Layout(), hasCaption, ToBox(item), captionBox, isPressed, w, h);
    caption = ToRect(captionBox);
    return POINT{at.x, at.y};
}

LRESULT ImageButton::OnDrawItem(UINT, WPARAM, LPARAM lParam, bool&) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (item && item->CtlType == ODT_BUTTON)
        DrawItem(*item);
    return TRUE;
}

void ImageButton::DrawItem(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    bool selected = (item.itemState & ODS_SELECTED) != 0;
    pressed = checkBoxMode ? (selected || checked) : (selected || menuOpen);
    focused = (item.itemState & ODS_FOCUS) != 0;
    disabled = (item.itemState & ODS_DISABLED) != 0;

    RECT rc = item.rcItem;
    int previousMode = ::SetBkMode(dc, TRANSPARENT);
    HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    fw::SelectObjectScope selectFont(dc, font);

    if (!flat && (focused || defaultButton)) {
        ::FrameRect(dc, &rc, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        ::InflateRect(&rc, -fw::LineWidthForDpi(dpi), -fw::LineWidthForDpi(dpi));
    }

    if (seeThrough)
        PaintSeeThroughFace(dc, rc);
    else
        PaintBackground(dc, rc);

    if (!pressed || checkBoxMode) {
        if (!flat)
            PaintRaisedEdge(dc, rc);
        else if (hovering && hoverEdge)
            PaintBorder(dc, rc);
    } else {
        if (!flat)
            ::FrameRect(dc, &rc, ::GetSysColorBrush(COLOR_BTNSHADOW));
        else if (hoverEdge)
            PaintBorder(dc, rc);
    }

    std::string text = GetWindowText();
    RECT caption = item.rcItem;
    if (icons[0].icon)
        PaintIcon(dc, !text.empty(), item.rcItem, caption, pressed, disabled);
    if (bitmaps[0].image) {
        ::SetBkColor(dc, RGB(255, 255, 255));
        PaintBitmap(dc, !text.empty(), item.rcItem, caption, pressed, disabled);
    }
    if (!text.empty())
        PaintCaption(dc, text, item.rcItem, caption, pressed, disabled);

    if (focused && (!flat || focusRectWhenFlat)) {
        RECT focus = rc;
        ::InflateRect(&focus, -fw::ScaleToDpi(3, dpi), -fw::ScaleToDpi(3, dpi));
        ::DrawFocusRect(dc, &focus);
    }
    ::SetBkMode(dc, previousMode);
}

void ImageButton::PaintBackground(HDC dc, const RECT& rc) {
    COLORREF face;
    if (hovering || pressed)
        face = stateColours.Get(HoverBack);
    else if (focused)
        face = stateColours.Get(FocusBack);
    else
        face = stateColours.Get(NormalBack);
    FillSolid(dc, rc, face);
}

void ImageButton::PaintBorder(HDC dc, const RECT& rc) {
    COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    COLORREF dark = ::GetSysColor(COLOR_BTNSHADOW);
    if (pressed)
        Draw3dRect(dc, rc, dark, light, fw::LineWidthForDpi(dpi));
    else
        Draw3dRect(dc, rc, light, dark, fw::LineWidthForDpi(dpi));
}

void ImageButton::PaintRaisedEdge(HDC dc, const RECT& rc) {
    struct Line {
        int colour;
        POINT from, corner, to;
    };
    const LONG L = rc.left, T = rc.top, R = rc.right, B = rc.bottom;
    const Line lines[] = {
        {COLOR_BTNHIGHLIGHT, {L, B - 1}, {L, T}, {R, T}},
        {COLOR_3DLIGHT, {L + 1, B - 1}, {L + 1, T + 1}, {R, T + 1}},
        {COLOR_3DDKSHADOW, {L, B - 1}, {R - 1, B - 1}, {R - 1, T - 1}},
        {COLOR_BTNSHADOW, {L + 1, B - 2}, {R - 2, B - 2}, {R - 2, T}},
    };
    for (const Line& line : lines) {
        fw::UniquePen pen(::CreatePen(PS_SOLID, 1, ::GetSysColor(line.colour)));
        fw::SelectObjectScope selectPen(dc, pen.Get());
        ::MoveToEx(dc, line.from.x, line.from.y, nullptr);
        ::LineTo(dc, line.corner.x, line.corner.y);
        ::LineTo(dc, line.to.x, line.to.y);
    }
}

void ImageButton::PaintIcon(HDC dc, bool hasCaption, const RECT& item, RECT& caption,
                            bool isPressed, bool isDisabled) {
    int which =
        controls::ChooseImage(isPressed, checkBoxMode, hovering, icons[1].icon.Get() != nullptr);
    const IconRecord& record = icons[which];
    POINT at = LayoutImage(hasCaption, item, caption, isPressed, record.width, record.height);
    ::DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(record.icon.Get()), 0, at.x, at.y,
                 record.width, record.height, DST_ICON | (isDisabled ? DSS_DISABLED : DSS_NORMAL));
}

void ImageButton::PaintBitmap(HDC dc, bool hasCaption, const RECT& item, RECT& caption,
                              bool isPressed, bool isDisabled) {
    int which =
        controls::ChooseImage(isPressed, checkBoxMode, hovering, bitmaps[1].image.Get() != nullptr);
    const BitmapRecord& record = bitmaps[which];
    POINT at = LayoutImage(hasCaption, item, caption, isPressed, record.width, record.height);
    fw::UniqueMemoryDc source(::CreateCompatibleDC(dc));
    if (!source)
        return;
    if (isDisabled && greyDisabledBitmaps) {
        // Combined off screen, then drawn in the system's disabled style.
        fw::UniqueBitmap combined(::CreateCompatibleBitmap(dc, record.width, record.height));
        fw::UniqueMemoryDc target(::CreateCompatibleDC(dc));
        if (!combined || !target)
            return;
        {
            fw::SelectObjectScope selectTarget(target.Get(), combined.Get());
            ::PatBlt(target.Get(), 0, 0, record.width, record.height, WHITENESS);
            fw::SelectObjectScope selectMask(source.Get(), record.mask.Get());
            ::BitBlt(target.Get(), 0, 0, record.width, record.height, source.Get(), 0, 0, SRCAND);
            fw::SelectObjectScope selectImage(source.Get(), record.image.Get());
            ::BitBlt(target.Get(), 0, 0, record.width, record.height, source.Get(), 0, 0, SRCPAINT);
        }
        ::DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(combined.Get()), 0, at.x, at.y,
                     record.width, record.height, DST_BITMAP | DSS_DISABLED);
        return;
    }
    {
        fw::SelectObjectScope selectMask(source.Get(), record.mask.Get());
        ::BitBlt(dc, at.x, at.y, record.width, record.height, source.Get(), 0, 0, SRCAND);
    }
    fw::SelectObjectScope selectImage(source.Get(), record.image.Get());
    ::BitBlt(dc, at.x, at.y, record.width, record.height, source.Get(), 0, 0, SRCPAINT);
}

void ImageButton::PaintCaption(HDC dc, const std::string& text, const RECT&, RECT& caption,
                               bool isPressed, bool isDisabled) {
    if (isPressed && !checkBoxMode)
        ::OffsetRect(&caption, pressShift.x * fw::LineWidthForDpi(dpi),
                     pressShift.y * fw::LineWidthForDpi(dpi));
    RECT remembered = caption;
    UINT align = checkBoxMode ? DT_LEFT : DT_CENTER;
    ::DrawTextA(dc, text.c_str(), -1, &caption, DT_WORDBREAK | align | DT_CALCRECT);
    caption = ToRect(controls::PlaceCaption(ToBox(remembered), ToBox(caption), checkBoxMode,
                                            fw::ScaleToDpi(controls::kCheckBoxTextGap, dpi)));
    ::SetBkMode(dc, TRANSPARENT);
    if (isDisabled) {
        // Engraved: a light copy one pixel down and right under the dark one.
        RECT light = caption;
        ::OffsetRect(&light, fw::LineWidthForDpi(dpi), fw::LineWidthForDpi(dpi));
        ::SetTextColor(dc, ::GetSysColor(COLOR_BTNHIGHLIGHT));
        ::DrawTextA(dc, text.c_str(), -1, &light, DT_WORDBREAK | align);
        ::SetTextColor(dc, ::GetSysColor(COLOR_BTNSHADOW));
        ::DrawTextA(dc, text.c_str(), -1, &caption, DT_WORDBREAK | align);
        return;
    }
    bool hot = hovering || isPressed;
    ::SetTextColor(dc, stateColours.Get(hot ? HoverText : NormalText));
    ::SetBkColor(dc, stateColours.Get(hot ? HoverBack : NormalBack));
    ::DrawTextA(dc, text.c_str(), -1, &caption, DT_WORDBREAK | align);
}

void ImageButton::PaintSeeThroughFace(HDC dc, const RECT& rc) {
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    if (!cacheDc) {
        // The parent's pixels under the button, taken once.
        HWND parent = ::GetParent(m_hWnd);
        RECT where{};
        ::GetWindowRect(m_hWnd, &where);
        ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&where), 2);
        fw::WindowDc parentDc(parent);
        fw::UniqueMemoryDc memory(::CreateCompatibleDC(parentDc.Get()));
        fw::UniqueBitmap bitmap(
            ::CreateCompatibleBitmap(parentDc.Get(), client.right, client.bottom));
        if (!memory || !bitmap)
            return;
        cacheReplaced = static_cast<HBITMAP>(::SelectObject(memory.Get(), bitmap.Get()));
        ::BitBlt(memory.Get(), 0, 0, client.right, client.bottom, parentDc.Get(), where.left,
                 where.top, SRCCOPY);
        cacheDc = std::move(memory);
        cacheBitmap = std::move(bitmap);
    }
    ::BitBlt(dc, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, cacheDc.Get(), rc.left,
             rc.top, SRCCOPY);
}

void ImageButton::DropBackgroundCache() {
    if (cacheDc && cacheReplaced)
        ::SelectObject(cacheDc.Get(), cacheReplaced);
    cacheReplaced = nullptr;
    cacheDc.Reset();
    cacheBitmap.Reset();
}

// ---------------------------------------------------------------------------
// Messages

LRESULT ImageButton::OnClicked(WORD, WORD, HWND, bool& bHandled) {
    // The parent's own click handler runs after this one and sees the new state.
    bHandled = false;
    ::SetFocus(m_hWnd);
    if (checkBoxMode) {
        checked = !checked;
        Repaint();
        return 0;
    }
    if (menu) {
        OpenAttachedMenu();
        return 0;
    }
    if (!linkTarget.empty()) {
        controls::ShellRequest request;
        request.verb = "open";
        request.file = linkTarget;
        request.show = SW_SHOWMAXIMIZED;
        request.quiet = true;
        controls::OpenThroughShell(request);
    }
    return 0;
}

void ImageButton::OpenAttachedMenu() {
    RECT where{};
    ::GetWindowRect(m_hWnd, &where);
    menuOpen = true;
    Repaint();
    HMENU popup = ::GetSubMenu(menu.Get(), 0);
    if (popup && menuCallbackWindow)
        ::SendMessageA(menuCallbackWindow, menuCallbackMessage, reinterpret_cast<WPARAM>(popup),
                       menuCallbackParameter);
    UINT command = 0;
    if (popup) {
        HWND owner = menuOwner ? menuOwner : ::GetParent(m_hWnd);
        command = static_cast<UINT>(
            ::TrackPopupMenu(popup, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON | TPM_LEFTALIGN,
                             where.left, where.bottom, 0, owner, nullptr));
    }
    menuOpen = false;
    Repaint();
    if (command)
        ::PostMessageA(menuOwner ? menuOwner : ::GetParent(m_hWnd), WM_COMMAND,
                       MAKEWPARAM(LOWORD(command), 0), 0);
}

LRESULT ImageButton::OnCtlColor(UINT, WPARAM, LPARAM, bool&) {
    // The face is painted whole: the parent must not paint behind it.
    return reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
}

LRESULT ImageButton::OnSetCheck(UINT, WPARAM wParam, LPARAM, bool&) {
    SetCheckState(controls::CheckedBySetCheck(wParam) ? 1 : 0, true);
    return 0;
}

LRESULT ImageButton::OnSetStyle(UINT msg, WPARAM wParam, LPARAM lParam, bool&) {
    defaultButton = controls::DefaultAfterSetStyle(static_cast<uint32_t>(wParam), defaultButton);
    // Whatever the dialog manager asks for, the button stays owner-drawn.
    return DefWindowProc(msg, controls::OwnerDrawStyle(static_cast<uint32_t>(wParam)), lParam);
}

LRESULT ImageButton::OnGetDlgCode(UINT msg, WPARAM wParam, LPARAM lParam, bool&) {
    LRESULT code = DefWindowProc(msg, wParam, lParam);
    return code | (defaultButton ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
}

LRESULT ImageButton::OnMouseMove(UINT msg, WPARAM wParam, LPARAM lParam, bool&) {
    LRESULT result = DefWindowProc(msg, wParam, lParam);
    if (checkBoxMode)
        return result;
    POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ::ClientToScreen(m_hWnd, &at);
    HWND under = ::WindowFromPoint(at);
    // Dragging onto the button with the button held does not light it up.
    if ((wParam & MK_LBUTTON) && !hovering)
        return result;
    if (!flat)
        return result;
    bool active = trackAlways || ::GetActiveWindow() != nullptr;
    if (under == m_hWnd && active) {
        if (!hovering) {
            hovering = true;
            Repaint();
            TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, m_hWnd, 0};
            ::TrackMouseEvent(&track);
        }
    } else {
        EndHover();
    }
    return result;
}

void ImageButton::EndHover() {
    if (flat && hovering) {
        hovering = false;
        Repaint();
    }
}

LRESULT ImageButton::OnMouseLeave(UINT, WPARAM, LPARAM, bool&) {
    EndHover();
    return 0;
}

LRESULT ImageButton::OnSetCursor(UINT, WPARAM, LPARAM, bool& bHandled) {
    if (!cursor) {
        bHandled = false;
        return 0;
    }
    ::SetCursor(cursor.Get());
    return TRUE;
}

LRESULT ImageButton::OnEndHoverAfterDefault(UINT msg, WPARAM wParam, LPARAM lParam, bool&) {
    LRESULT result = DefWindowProc(msg, wParam, lParam);
    EndHover();
    return result;
}

LRESULT ImageButton::OnActivate(UINT msg, WPARAM wParam, LPARAM lParam, bool&) {
    LRESULT result = DefWindowProc(msg, wParam, lParam);
    if (LOWORD(wParam) == WA_INACTIVE)
        EndHover();
    return result;
}

LRESULT ImageButton::OnEnable(UINT msg, WPARAM wParam, LPARAM lParam, bool&) {
    LRESULT result = DefWindowProc(msg, wParam, lParam);
    if (!wParam) {
        HWND parent = ::GetParent(m_hWnd);
        HWND next = parent ? ::GetNextDlgTabItem(parent, m_hWnd, FALSE) : nullptr;
        ::SetFocus(next && next != m_hWnd ? next : parent);
        EndHover();
    }
    return result;
}

LRESULT ImageButton::OnSysColorChange(UINT msg, WPARAM wParam, LPARAM lParam, bool&) {
    LRESULT result = DefWindowProc(msg, wParam, lParam);
    DropBackgroundCache();
    ResetStateColours(true);
    return result;
}

LRESULT ImageButton::OnDpiChanged(UINT, WPARAM, LPARAM, bool&) {
    UINT now = fw::WindowDpi(m_hWnd);
    if (now == dpi)
        return 0;
    dpi = now;
    if (iconResources[0] && iconDpi != now)
        SetIconResources(iconResources[0], iconResources[1]);
    DropBackgroundCache();
    Repaint();
    return 0;
}

LRESULT ImageButton::OnDestroy(UINT, WPARAM, LPARAM, bool& bHandled) {
    // The tooltip belongs to this window and goes with it.
    tooltip.Reset();
    bHandled = false;
    return 0;
}

bool ImageButton::PreTranslateMessage(MSG* msg) {
    if (!m_hWnd || msg->hwnd != m_hWnd)
        return fw::Window::PreTranslateMessage(msg);
    if (!tooltip) {
        tooltip.Reset(::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, 0, CW_USEDEFAULT,
                                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd,
                                        nullptr, ::GetModuleHandleA(nullptr), nullptr));
        if (tooltip) {
            ::SendMessageA(tooltip.Get(), TTM_ACTIVATE, FALSE, 0);
            ::SendMessageA(tooltip.Get(), TTM_SETMAXTIPWIDTH, 0, 400);
        }
    }
    if (tooltip) {
        MSG relayed = *msg;
        ::SendMessageA(tooltip.Get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
    }
    // A quick second click counts as a click of its own.
    if (msg->message == WM_LBUTTONDBLCLK)
        msg->message = WM_LBUTTONDOWN;
    return fw::Window::PreTranslateMessage(msg);
}

} // namespace controls
