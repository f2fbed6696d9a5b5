#include "framework/Dpi.h"

namespace fw {

namespace {

const char kDpiProperty[] = "fw.Dpi";

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetDpiForSystemFn = UINT(WINAPI*)();
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
using SetDialogDpiChangeBehaviorFn = BOOL(WINAPI*)(HWND, int, int);
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

template <typename Fn> Fn Export(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(
        reinterpret_cast<void*>(module ? ::GetProcAddress(module, name) : nullptr));
}

// Windows 10 (1607 on) answers per window; Windows 8.1 per monitor, in shcore.
struct DpiFunctions {
    GetDpiForWindowFn getDpiForWindow;
    GetDpiForSystemFn getDpiForSystem;
    GetSystemMetricsForDpiFn getSystemMetricsForDpi;
    SetDialogDpiChangeBehaviorFn setDialogDpiChangeBehavior;
    GetDpiForMonitorFn getDpiForMonitor;
};

const DpiFunctions& Functions() {
    static const DpiFunctions functions = [] {
        HMODULE user = ::GetModuleHandleA("user32.dll");
        DpiFunctions f{};
        f.getDpiForWindow = Export<GetDpiForWindowFn>(user, "GetDpiForWindow");
        f.getDpiForSystem = Export<GetDpiForSystemFn>(user, "GetDpiForSystem");
        f.getSystemMetricsForDpi = Export<GetSystemMetricsForDpiFn>(user, "GetSystemMetricsForDpi");
        f.setDialogDpiChangeBehavior =
            Export<SetDialogDpiChangeBehaviorFn>(user, "SetDialogDpiChangeBehavior");
        if (!f.getDpiForWindow) {
            // Loaded for the life of the process, where it exists at all.
            HMODULE shcore = ::LoadLibraryA("shcore.dll");
            f.getDpiForMonitor = Export<GetDpiForMonitorFn>(shcore, "GetDpiForMonitor");
        }
        return f;
    }();
    return functions;
}

// What the system says of the window, records aside.
UINT SystemAnswerFor(HWND window) {
    const DpiFunctions& f = Functions();
    if (window && f.getDpiForWindow) {
        UINT dpi = f.getDpiForWindow(window);
        if (IsUsableDpi(dpi))
            return dpi;
    }
    if (window && f.getDpiForMonitor) {
        UINT x = 0, y = 0;
        HMONITOR monitor = ::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
        if (SUCCEEDED(f.getDpiForMonitor(monitor, 0 /* MDT_EFFECTIVE_DPI */, &x, &y)) &&
            IsUsableDpi(y))
            return y;
    }
    return SystemDpi();
}

LOGFONTW TemplateFont(const DialogTemplateInfo& info, UINT dpi) {
    // As the dialog manager makes it.
    LOGFONTW font{};
    font.lfHeight = -MulDivRound(info.pointSize, static_cast<int>(dpi), 72);
    font.lfWeight = info.weight;
    font.lfItalic = info.italic ? TRUE : FALSE;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = PROOF_QUALITY;
    font.lfPitchAndFamily = FF_DONTCARE;
    size_t n = info.face.size() < LF_FACESIZE - 1 ? info.face.size() : LF_FACESIZE - 1;
    for (size_t i = 0; i < n; ++i)
        font.lfFaceName[i] = static_cast<WCHAR>(info.face[i]);
    return font;
}

// The dialog manager's base units for a font: the average width of the
// letters, rounded, and the height.
bool BaseUnits(HFONT font, int& baseX, int& baseY) {
    WindowDc screen(nullptr);
    UniqueMemoryDc dc(::CreateCompatibleDC(screen.Get()));
    if (!dc || !font)
        return false;
    SelectObjectScope select(dc.Get(), font);
    TEXTMETRICW metrics{};
    SIZE letters{};
    static const wchar_t kAlphabet[] = L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    if (!::GetTextMetricsW(dc.Get(), &metrics) ||
        !::GetTextExtentPoint32W(dc.Get(), kAlphabet, 52, &letters))
        return false;
    baseX = (letters.cx / 26 + 1) / 2;
    baseY = metrics.tmHeight;
    return baseX > 0 && baseY > 0;
}

void CollectDescendants(HWND parent, std::vector<HWND>& found) {
    for (HWND child = ::GetWindow(parent, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        found.push_back(child);
        CollectDescendants(child, found);
    }
}

} // namespace

UINT SystemDpi() {
    // Fixed for the life of a process.
    static const UINT dpi = [] {
        const DpiFunctions& f = Functions();
        UINT answer = f.getDpiForSystem ? f.getDpiForSystem() : 0;
        if (!IsUsableDpi(answer)) {
            WindowDc screen(nullptr);
            answer = screen ? static_cast<UINT>(::GetDeviceCaps(screen.Get(), LOGPIXELSY)) : 0;
        }
        return IsUsableDpi(answer) ? answer : kBaseDpi;
    }();
    return dpi;
}

UINT WindowDpi(HWND window) {
    for (HWND above = window; above; above = ::GetParent(above)) {
        auto recorded = reinterpret_cast<UINT_PTR>(::GetPropA(above, kDpiProperty));
        if (recorded)
            return static_cast<UINT>(recorded);
    }
    return SystemAnswerFor(window);
}

void RecordWindowDpi(HWND window, UINT dpi) {
    if (window && IsUsableDpi(dpi))
        ::SetPropA(window, kDpiProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(dpi)));
}

void ForgetWindowDpi(HWND window) {
    if (window)
        ::RemovePropA(window, kDpiProperty);
}

int SystemMetricForDpi(int index, UINT dpi) {
    const DpiFunctions& f = Functions();
    if (f.getSystemMetricsForDpi)
        return f.getSystemMetricsForDpi(index, dpi);
    return MulDivRound(::GetSystemMetrics(index), static_cast<int>(dpi),
                       static_cast<int>(SystemDpi()));
}

void TellDescendantsDpiChanged(HWND top) {
    // Listed first: a window may make or end others while it adapts.
    std::vector<HWND> descendants;
    CollectDescendants(top, descendants);
    for (HWND window : descendants)
        if (::IsWindow(window))
            ::SendMessageA(window, kDpiChangedAfterParent, 0, 0);
}

HICON LoadIconAtSize(int resourceId, int size) {
    return static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr),
                                           MAKEINTRESOURCEA(resourceId), IMAGE_ICON, size, size,
                                           LR_DEFAULTCOLOR));
}

void DialogLayout::Capture(HWND dialog, UINT templateId) {
    places.clear();
    dpi = 0;
    // Windows 10 would lay the dialog out again itself on a DPI change (by
    // the font alone, not in proportion); this layout does it on every system.
    if (Functions().setDialogDpiChangeBehavior)
        Functions().setDialogDpiChangeBehavior(dialog, 3 /* DDC_DISABLE_ALL */,
                                               3 /* DDC_DISABLE_ALL */);
    createdFont = reinterpret_cast<HFONT>(::SendMessageA(dialog, WM_GETFONT, 0, 0));
    createdFontDpi = SystemAnswerFor(dialog);

    HINSTANCE module = ::GetModuleHandleA(nullptr);
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(templateId), RT_DIALOG);
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const auto* bytes = static_cast<const uint8_t*>(loaded ? ::LockResource(loaded) : nullptr);
    int baseX = 0, baseY = 0;
    if (!bytes || !ParseDialogTemplate(bytes, ::SizeofResource(module, found), templateInfo) ||
        !templateInfo.hasFont)
        return; // the dialog manager's layout stays
    LOGFONTW font96 = TemplateFont(templateInfo, kBaseDpi);
    UniqueFont measured(::CreateFontIndirectW(&font96));
    if (!BaseUnits(measured.Get(), baseX, baseY))
        return;

    // The controls in the order of the template: the dialog manager makes
    // each below the one before.
    std::vector<HWND> controls;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        controls.push_back(child);
    if (controls.size() != templateInfo.items.size())
        return;
    for (size_t i = 0; i < controls.size(); ++i)
        places.push_back(
            Place{controls[i], DialogUnitsToPixels(templateInfo.items[i], baseX, baseY)});
    client96 = DialogUnitsToPixels(
        DialogUnitRect{0, 0, templateInfo.frame.cx, templateInfo.frame.cy}, baseX, baseY);

    UINT target = WindowDpi(dialog);
    if (target == kBaseDpi && createdFontDpi == kBaseDpi) {
        dpi = kBaseDpi;
        return;
    }
    Apply(dialog, target);
    LONG style = ::GetWindowLongA(dialog, GWL_STYLE);
    if (style & WS_CHILD)
        return; // its parent sizes it
    // The frame as the system draws it now: at the DPI it made the window
    // for, which is the dialog's own wherever the system scales frames.
    PixelRect client = ScaleToDpi(client96, target);
    RECT now{}, inside{};
    ::GetWindowRect(dialog, &now);
    ::GetClientRect(dialog, &inside);
    int width = client.Width() + (now.right - now.left) - inside.right;
    int height = client.Height() + (now.bottom - now.top) - inside.bottom;
    // A centred dialog stays centred where the dialog manager put it.
    int x = now.left, y = now.top;
    if (style & DS_CENTER) {
        x = (now.left + now.right - width) / 2;
        y = (now.top + now.bottom - height) / 2;
    }
    ::SetWindowPos(dialog, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

HFONT DialogLayout::FontFor(UINT target) {
    if (target == createdFontDpi || !templateInfo.hasFont)
        return createdFont;
    if (!madeFont || madeFontDpi != target) {
        LOGFONTW font = TemplateFont(templateInfo, target);
        HFONT made = ::CreateFontIndirectW(&font);
        if (!made)
            return nullptr;
        madeFont.Reset(made);
        madeFontDpi = target;
    }
    return madeFont.Get();
}

void DialogLayout::Apply(HWND dialog, UINT target) {
    if (places.empty() || !IsUsableDpi(target) || target == dpi)
        return;
    // The font made for the DPI before stays alive until no control uses it.
    UniqueFont previous;
    if (madeFontDpi != target)
        previous = std::move(madeFont);
    HFONT font = FontFor(target);
    for (const Place& place : places) {
        if (!::IsWindow(place.control))
            continue;
        if (font)
            ::SendMessageA(place.control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        PixelRect at = ScaleToDpi(place.at96, target);
        ::SetWindowPos(place.control, nullptr, at.left, at.top, at.Width(), at.Height(),
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    dpi = target;
    ::InvalidateRect(dialog, nullptr, TRUE);
}

} // namespace fw
