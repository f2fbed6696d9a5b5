// A static text control of a dialog template, taken over and painted by
// itself: own colours, a solid or graded background or none, a font whose
// attributes change one by one, a shadow copy, rotation, blinking, and a
// click that opens an address, a "mailto:" address, or tells the parent.
// Its font and shadow follow the window's DPI.
#pragma once

#include <string>

#include "controls/LabelRules.h"
#include "framework/Dpi.h"
#include "framework/Handle.h"
#include "framework/Window.h"

namespace controls {

class HyperLinkLabel : public fw::Window {
public:
    // The WM_NOTIFY code a click sends the parent when it only notifies.
    static constexpr UINT LNK_CLICKED = 0x8200;
    static constexpr UINT_PTR kBlinkTimer = 1;
    static constexpr UINT kBlinkPeriodMs = 500;

    HyperLinkLabel();
    ~HyperLinkLabel() override;

    // Each returns the label itself, so that calls can be chained.
    virtual HyperLinkLabel& SetBackground(COLORREF colour, COLORREF secondColour = 0,
                                          bool gradient = false);
    virtual HyperLinkLabel& SetTextColour(COLORREF colour);
    virtual HyperLinkLabel& SetCaption(const std::string& text);
    virtual HyperLinkLabel& SetBold(bool on);
    virtual HyperLinkLabel& SetFaceName(const std::string& faceName,
                                        BYTE charSet = DEFAULT_CHARSET);
    virtual HyperLinkLabel& SetUnderline(BYTE on);
    virtual HyperLinkLabel& SetItalic(BYTE on);
    virtual HyperLinkLabel& SetPointSize(int points);
    virtual HyperLinkLabel& SetSunkenEdge(bool on);
    virtual HyperLinkLabel& SetThinBorder(bool on);
    virtual HyperLinkLabel& SetSeeThrough(bool on);
    virtual HyperLinkLabel& SetBlinkText(bool on);
    virtual HyperLinkLabel& SetBlinkBackground(bool on);
    virtual HyperLinkLabel& SetUrlLink(bool on, bool notify);
    // The label never destroys the cursor.
    virtual HyperLinkLabel& SetPointerCursor(HCURSOR cursor);
    virtual HyperLinkLabel& SetShadowText(bool on, bool downRight = true);
    virtual HyperLinkLabel& SetRotation(int degrees, bool on);
    virtual HyperLinkLabel& SetShadowColour(COLORREF colour);
    virtual HyperLinkLabel& SetFontRecord(LOGFONTA record);
    virtual HyperLinkLabel& SetMailtoLink(bool on, bool notify);
    virtual HyperLinkLabel& SetLinkUrl(const std::string& url);

    COLORREF TextColour() const { return textColour; }
    bool BlinkPhase() const { return blinkPhase; }
    const LOGFONTA& FontRecord() const { return fontRecord; }
    const std::string& LinkUrl() const { return linkUrl; }
    HCURSOR PointerCursor() const { return pointerCursor; }
    // Redraws the label now, then the parent under it.
    void RepaintWithParent();

    BEGIN_MSG_MAP(HyperLinkLabel)
        MESSAGE_HANDLER(WM_PAINT, OnPaint)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLeftButtonDown)
        MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
        MESSAGE_HANDLER(WM_TIMER, OnTimer)
        MESSAGE_HANDLER(WM_SYSCOLORCHANGE, OnSysColorChange)
        MESSAGE_HANDLER(fw::kDpiChangedAfterParent, OnDpiChanged)
    END_MSG_MAP()

    // The DPI the font is made for.
    UINT FontDpi() const { return fontDpi; }

protected:
    // The attach hook: takes the control's font as the font record.
    void OnSubclassed() override;

private:
    LRESULT OnPaint(UINT, WPARAM, LPARAM, bool&);
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, bool&) { return TRUE; }
    LRESULT OnLeftButtonDown(UINT msg, WPARAM wParam, LPARAM lParam, bool&);
    LRESULT OnSetCursor(UINT, WPARAM, LPARAM, bool& bHandled);
    LRESULT OnTimer(UINT msg, WPARAM wParam, LPARAM lParam, bool&);
    LRESULT OnSysColorChange(UINT, WPARAM, LPARAM, bool&);
    LRESULT OnDpiChanged(UINT, WPARAM, LPARAM, bool&);

    void RebuildFont();
    void PaintBackground(HDC dc, const RECT& rc);
    void StartBlinking(controls::BlinkMode mode);
    void ChangeStyle(int index, DWORD remove, DWORD add, bool frameChanged);

    // Fields in the order of the control's data model.
    COLORREF textColour;
    COLORREF shadowColour = RGB(255, 255, 255);
    fw::UniqueBrush defaultBrush;
    fw::UniqueBrush customBrush;
    LOGFONTA fontRecord{};
    fw::UniqueFont font;
    bool blinkPhase = false;
    bool timerStarted = false;
    controls::LinkMode linkMode = controls::LinkMode::None;
    bool seeThrough = false;
    bool shadowText = false;
    bool notifyParent = false;
    bool rotated = false;
    controls::BlinkMode blinkMode = controls::BlinkMode::None;
    HCURSOR pointerCursor = nullptr;
    bool shadowDownRight = true;
    bool gradient = false;
    COLORREF secondColour = 0;
    COLORREF backgroundColour = 0;
    std::string linkUrl;
    UINT fontDpi = fw::kBaseDpi;
};

} // namespace controls
