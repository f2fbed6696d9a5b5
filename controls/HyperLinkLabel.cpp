#include "controls/HyperLinkLabel.h"

#include <cstring>

#include "controls/ShellLaunch.h"
#include "framework/AnsiCodePage.h"
#include "framework/Dpi.h"

namespace controls {

namespace tf = controls::textformat;
namespace ss = controls::staticstyle;
static_assert(tf::kCenter == DT_CENTER && tf::kRight == DT_RIGHT && tf::kVCenter == DT_VCENTER &&
                  tf::kWordBreak == DT_WORDBREAK && tf::kSingleLine == DT_SINGLELINE &&
                  tf::kExpandTabs == DT_EXPANDTABS && tf::kLeft == DT_LEFT,
              "text formats are the platform's");
static_assert(ss::kCenter == SS_CENTER && ss::kRight == SS_RIGHT &&
                  ss::kLeftNoWordWrap == SS_LEFTNOWORDWRAP && ss::kCenterImage == SS_CENTERIMAGE,
              "static styles are the platform's");

HyperLinkLabel::HyperLinkLabel()
    : textColour(::GetSysColor(COLOR_WINDOWTEXT)),
      defaultBrush(::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE))) {}

// The blink timer ends with the window; the brushes and the font end here.
HyperLinkLabel::~HyperLinkLabel() = default;

void HyperLinkLabel::OnSubclassed() {
    fw::Window::OnSubclassed();
    // The control's font is made for its window's DPI.
    fontDpi = fw::WindowDpi(m_hWnd);
    HFONT current = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    if (!current || !::GetObjectA(current, sizeof(fontRecord), &fontRecord))
        ::GetObjectA(::GetStockObject(SYSTEM_FONT), sizeof(fontRecord), &fontRecord);
    RebuildFont();
}

void HyperLinkLabel::RebuildFont() {
    font.Reset();
    font.Reset(::CreateFontIndirectA(&fontRecord));
}

void HyperLinkLabel::RepaintWithParent() {
    if (!m_hWnd)
        return;
    RECT where{};
    ::GetWindowRect(m_hWnd, &where);
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    HWND parent = ::GetParent(m_hWnd);
    if (!parent)
        return;
    ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&where), 2);
    ::InvalidateRect(parent, &where, TRUE);
    ::UpdateWindow(parent);
}

void HyperLinkLabel::ChangeStyle(int index, DWORD remove, DWORD add, bool frameChanged) {
    if (!m_hWnd)
        return;
    DWORD style = static_cast<DWORD>(::GetWindowLongA(m_hWnd, index));
    ::SetWindowLongA(m_hWnd, index, static_cast<LONG>((style & ~remove) | add));
    if (frameChanged)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---------------------------------------------------------------------------
// Operations

HyperLinkLabel& HyperLinkLabel::SetBackground(COLORREF colour, COLORREF second, bool graded) {
    backgroundColour = colour;
    secondColour = second;
    gradient = graded;
    customBrush.Reset();
    if (!graded)
        customBrush.Reset(::CreateSolidBrush(colour));
    RepaintWithParent();
    return *this;
}

HyperLinkLabel& HyperLinkLabel::SetTextColour(COLORREF colour) {
    textColour = colour;
    RepaintWithParent();
    return *this;
}

HyperLinkLabel& HyperLinkLabel::SetCaption(const std::string& text) {
    if (!IsWindow())
        return *this;
    ::SetWindowTextA(m_hWnd, text.c_str());
    RepaintWithParent();
    return *this;
}

HyperLinkLabel& HyperLinkLabel::SetBold(bool on) {
    fontRecord.lfWeight = on ? FW_BOLD : FW_NORMAL;
    RebuildFont();
    RepaintWithParent();
    return *this;
}

HyperLinkLabel& HyperLinkLabel::SetFaceName(const std::string& faceName, BYTE charSet) {
    fontRecord.lfCharSet = charSet;
    // The record holds 31 characters; a longer name is cut at a character
    // boundary (the font mapper then picks the nearest face it has).
    std::string face = fw::CutAtCharacterBoundary(faceName, LF_FACESIZE - 1, fw::AnsiLeadByte);
    std::memset(fontRecord.lfFaceName, 0, sizeof(fontRecord.lfFaceName));
    std::memcpy(fontRecord.lfFaceName, face.data(), face.size());
    RebuildFont();
    RepaintWithParent();
    return *this;
}

HyperLinkLabel& HyperLinkLabel::SetUnderline(BYTE on) {
    fontRecord.lfUnderline = on;
    RebuildFont();
    RepaintWithParent();
    return *this;
}

HyperLinkLabel& HyperLinkLabel::SetItalic(BYTE on) {
    fontRecord.lfItalic = on;
    RebuildFont();
    RepaintWithParent();
    return *this;
}

HyperLinkLabel& HyperLinkLabel::SetPointSize(int points) {
    // The height a point-size font of the record's face gets at the window's DPI.
    LOGFONTA probe{};
    probe.lfHeight = -::MulDiv(points * 10, static_cast<int>(fontDpi), 720);
    std::memcpy(probe.lfFaceName, fontRecord.lfFaceName, sizeof(probe.lfFaceName));
    fw::UniqueFont temporary(::CreateFontIndirectA(&probe));
    LOGFONTA made{};
    if (temporary && ::GetObjectA(temporary.Get(), sizeof(made), &made)) {
        fontRecord.lfHeight = made.lfHeight;
        fontRecord.lfWidth = made.lfWidth;
    }
    RebuildFont();
    RepaintWithParent();
    return *this;
}

HyperLinkLabel& HyperLinkLabel::SetSunkenEdge(bool on) {
    ChangeStyle(GWL_EXSTYLE, on ? 0 : WS_EX_STATICEDGE, on ? WS_EX_STATICEDGE : 0, true);
    return *this;
}

HyperLinkLabel& HyperLinkLabel::SetThinBorder(bool on) {
    ChangeStyle(GWL_STYLE, on ? 0 : WS_BORDER, on ? WS_BORDER : 0, true);
    return *this;
}

HyperLinkLabel& HyperLinkLabel::SetSeeThrough(bool on) {
    seeThrough = on;
    // Transparent either way: the parent paints first, so a solid label
    // merely covers it.
    ChangeStyle(GWL_EXSTYLE, 0, WS_EX_TRANSPARENT, false);
    RepaintWithParent();
    return *this;
}

void HyperLinkLabel::StartBlinking(controls::BlinkMode mode) {
    blinkPhase = false;
    timerStarted = true;
    if (m_hWnd)
        ::SetTimer(m_hWnd, kBlinkTimer, kBlinkPeriodMs, nullptr);
    blinkMode = mode;
}

HyperLinkLabel& HyperLinkLabel::SetBlinkText(bool on) {
    if (timerStarted && m_hWnd)
        ::KillTimer(m_hWnd, kBlinkTimer);
    if (on) {
        StartBlinking(controls::BlinkMode::Text);
    } else {
        blinkMode = controls::BlinkMode::None;
        // Stopped in the off phase, the text would stay hidden until some
        // other repaint.
        RepaintWithParent();
    }
    return *this;
}

HyperLinkLabel& HyperLinkLabel::SetBlinkBackground(bool on) {
    if (timerStarted && m_hWnd)
        ::KillTimer(m_hWnd, kBlinkTimer);
    // Stopping leaves the mode: whatever blinked stays in its current phase.
    if (on)
        StartBlinking(controls::BlinkMode::Background);
    return *this;
}

HyperLinkLabel& HyperLinkLabel::SetUrlLink(bool on, bool notify) {
    linkMode = on ? controls::LinkMode::Url : controls::LinkMode::None;
    notifyParent = notify;
    // Without SS_NOTIFY a static control lets mouse input through to its parent.
    ChangeStyle(GWL_STYLE, on ? 0 : SS_NOTIFY, on ? SS_NOTIFY : 0, false);
    return *this;
}

HyperLinkLabel& HyperLinkLabel::SetPointerCursor(HCURSOR cursor) {
    pointerCursor = cursor;
    return *this;
}

HyperLinkLabel& HyperLinkLabel::SetShadowText(bool on, bool downRight) {
    shadowText = on;
    shadowDownRight = downRight;
    RepaintWithParent();
    return *this;
}

HyperLinkLabel& HyperLinkLabel::SetRotation(int degrees, bool on) {
    fontRecord.lfEscapement = degrees * 10;
    fontRecord.lfOrientation = degrees * 10;
    rotated = on;
    RebuildFont();
    RepaintWithParent();
    return *this;
}

HyperLinkLabel& HyperLinkLabel::SetShadowColour(COLORREF colour) {
    shadowColour = colour;
    RepaintWithParent();
    return *this;
}

HyperLinkLabel& HyperLinkLabel::SetFontRecord(LOGFONTA record) {
    fontRecord = record;
    fontRecord.lfFaceName[LF_FACESIZE - 1] = '\0';
    RebuildFont();
    RepaintWithParent();
    return *this;
}

HyperLinkLabel& HyperLinkLabel::SetMailtoLink(bool on, bool notify) {
    linkMode = on ? controls::LinkMode::Mail : controls::LinkMode::None;
    notifyParent = notify;
    ChangeStyle(GWL_STYLE, on ? 0 : SS_NOTIFY, on ? SS_NOTIFY : 0, false);
    return *this;
}

HyperLinkLabel& HyperLinkLabel::SetLinkUrl(const std::string& url) {
    linkUrl = url;
    return *this;
}

// ---------------------------------------------------------------------------
// Painting

void HyperLinkLabel::PaintBackground(HDC dc, const RECT& rc) {
    // Background blinking: the off phase shows the button face instead of
    // the label's own background, so the label flashes between the two.
    if (blinkMode == controls::BlinkMode::Background && !blinkPhase) {
        ::FillRect(dc, &rc, defaultBrush.Get());
        return;
    }
    if (gradient) {
        for (const controls::GradientBand& band :
             controls::GradientBands(rc.left, rc.right, backgroundColour, secondColour)) {
            fw::UniqueBrush brush(::CreateSolidBrush(band.colour));
            // The whole height: a band that stopped a row short would leave
            // the buffer's black showing along the bottom.
            RECT part{band.left, rc.top, band.right, rc.bottom};
            ::FillRect(dc, &part, brush.Get());
        }
        return;
    }
    ::FillRect(dc, &rc, customBrush ? customBrush.Get() : defaultBrush.Get());
}

LRESULT HyperLinkLabel::OnPaint(UINT, WPARAM, LPARAM, bool&) {
    fw::PaintDc paint(m_hWnd);
    HDC windowDc = paint.Get();
    RECT rc{};
    ::GetClientRect(m_hWnd, &rc);
    std::string text = GetWindowText();

    // One off-screen buffer per paint, so repeated repaints do not flicker.
    fw::UniqueMemoryDc bufferDc;
    fw::UniqueBitmap buffer;
    HGDIOBJ bufferReplaced = nullptr;
    HDC dc = windowDc;
    if (!seeThrough) {
        bufferDc.Reset(::CreateCompatibleDC(windowDc));
        buffer.Reset(::CreateCompatibleBitmap(windowDc, rc.right, rc.bottom));
        if (bufferDc && buffer) {
            bufferReplaced = ::SelectObject(bufferDc.Get(), buffer.Get());
            dc = bufferDc.Get();
        }
    }

    int previousMode = ::SetBkMode(dc, TRANSPARENT);
    COLORREF previousText = ::SetTextColor(dc, textColour);
    HGDIOBJ previousFont =
        ::SelectObject(dc, font ? static_cast<HGDIOBJ>(font.Get()) : ::GetStockObject(SYSTEM_FONT));

    if (!seeThrough)
        PaintBackground(dc, rc);

    if (blinkMode == controls::BlinkMode::Text && !blinkPhase)
        ::SetTextColor(dc, customBrush ? backgroundColour : RGB(0, 0, 0));

    UINT format = controls::LabelTextFormat(GetStyle(), text);
    if (rotated) {
        UINT previousAlign = ::SetTextAlign(dc, TA_BASELINE);
        POINT origin{};
        ::SetViewportOrgEx(dc, rc.right / 2, rc.bottom / 2, &origin);
        ::TextOutA(dc, 0, 0, text.c_str(), static_cast<int>(text.size()));
        ::SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
        ::SetTextAlign(dc, previousAlign);
    } else {
        RECT place = rc;
        ::DrawTextA(dc, text.c_str(), -1, &place, format);
        if (shadowText) {
            ::SetTextColor(dc, shadowColour);
            int d = (shadowDownRight ? 1 : -1) * fw::LineWidthForDpi(fontDpi);
            ::OffsetRect(&place, d, d);
            ::DrawTextA(dc, text.c_str(), -1, &place, format);
        }
    }

    ::SetBkMode(dc, previousMode);
    ::SelectObject(dc, previousFont);
    ::SetTextColor(dc, previousText);

    if (dc != windowDc) {
        ::BitBlt(windowDc, 0, 0, rc.right, rc.bottom, dc, 0, 0, SRCCOPY);
        ::SelectObject(dc, bufferReplaced);
    }
    return 0;
}

// ---------------------------------------------------------------------------
// Messages

LRESULT HyperLinkLabel::OnLeftButtonDown(UINT msg, WPARAM wParam, LPARAM lParam, bool&) {
    controls::LinkClick click =
        controls::DecideLinkClick(linkMode, notifyParent, linkUrl, GetWindowText());
    if (click.kind == controls::LinkClick::Kind::NotifyParent) {
        NMHDR header{};
        header.hwndFrom = m_hWnd;
        header.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(m_hWnd));
        header.code = LNK_CLICKED;
        ::SendMessageA(::GetParent(m_hWnd), WM_NOTIFY, header.idFrom,
                       reinterpret_cast<LPARAM>(&header));
    } else if (click.kind == controls::LinkClick::Kind::Open) {
        controls::ShellRequest request;
        request.verb = click.verb;
        request.file = click.file;
        request.show = SW_SHOWNORMAL;
        // The shell's answer is not looked at: a link that cannot open does nothing.
        controls::OpenThroughShell(request);
    }
    return DefWindowProc(msg, wParam, lParam);
}

LRESULT HyperLinkLabel::OnSetCursor(UINT, WPARAM, LPARAM, bool& bHandled) {
    if (!pointerCursor) {
        bHandled = false;
        return 0;
    }
    ::SetCursor(pointerCursor);
    return TRUE;
}

LRESULT HyperLinkLabel::OnTimer(UINT msg, WPARAM wParam, LPARAM lParam, bool&) {
    blinkPhase = !blinkPhase;
    RepaintWithParent();
    return DefWindowProc(msg, wParam, lParam);
}

LRESULT HyperLinkLabel::OnDpiChanged(UINT, WPARAM, LPARAM, bool&) {
    UINT now = fw::WindowDpi(m_hWnd);
    if (now == fontDpi)
        return 0;
    // The font keeps every attribute given to it, at the size for the new DPI.
    fontRecord.lfHeight =
        fw::MulDivRound(fontRecord.lfHeight, static_cast<int>(now), static_cast<int>(fontDpi));
    fontRecord.lfWidth =
        fw::MulDivRound(fontRecord.lfWidth, static_cast<int>(now), static_cast<int>(fontDpi));
    fontDpi = now;
    RebuildFont();
    RepaintWithParent();
    return 0;
}

LRESULT HyperLinkLabel::OnSysColorChange(UINT, WPARAM, LPARAM, bool&) {
    defaultBrush.Reset(::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE)));
    RepaintWithParent();
    return 0;
}

} // namespace controls
