// The program at the display scale of the session it runs in (the test
// script runs these on fresh prefixes at 96, 144 and 192 DPI) and on a move
// to a monitor of another scale: pictures drawn for the scale, controls in
// proportion, the window on the screen.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "tests/e2e/ProgramTest.h"

using namespace e2e;

namespace {

int Scaled(int value, UINT dpi) {
    return ::MulDiv(value, static_cast<int>(dpi), 96);
}

// The icons are drawn for 100, 125, 150, 175 and 200 %.
int IconSize(UINT dpi) {
    return 16 * static_cast<int>(std::min(192u, dpi - dpi % 24)) / 96;
}

RECT PlaceIn(HWND window, HWND parent) {
    RECT r{};
    ::GetWindowRect(window, &r);
    ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string ClassOf(HWND window) {
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof(name));
    return name;
}

// What shows content of its own: group boxes frame others and the About
// page's white bands lie behind its banner.
bool ShowsContent(HWND control) {
    LONG style = ::GetWindowLongA(control, GWL_STYLE);
    std::string kind = ClassOf(control);
    if (_stricmp(kind.c_str(), "Button") == 0)
        return (style & 0x0F) != BS_GROUPBOX;
    if (_stricmp(kind.c_str(), "Static") == 0)
        return !((style & SS_TYPEMASK) >= SS_BLACKRECT && (style & SS_TYPEMASK) <= SS_WHITEFRAME);
    return true;
}

std::vector<HWND> ChildrenOf(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

class Dpi : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        Start("dpi");
        fw::WindowDc screen(nullptr);
        dpi = static_cast<UINT>(::GetDeviceCaps(screen.Get(), LOGPIXELSY));
    }
    void TearDown() override { ::SetCursorPos(0, 1023); }

    HWND Banner() const { return app.Control(IDC_BANNER); }
    SIZE SizeOf(HWND window) const {
        RECT r{};
        ::GetWindowRect(window, &r);
        return SIZE{r.right - r.left, r.bottom - r.top};
    }
    // The extent of what the test picks out of a button's icon column.
    static RECT Extent(HWND button, int columns, const std::function<bool(COLORREF)>& test) {
        ScreenPicture shot(button);
        RECT box{shot.Width(), shot.Height(), 0, 0};
        for (int y = 0; y < shot.Height(); ++y)
            for (int x = 0; x < columns && x < shot.Width(); ++x)
                if (test(shot.At(x, y)))
                    box = RECT{std::min<LONG>(box.left, x), std::min<LONG>(box.top, y),
                               std::max<LONG>(box.right, x + 1), std::max<LONG>(box.bottom, y + 1)};
        return box;
    }
    // The Hide button's arrow spans 14 of its icon's 16 rows, the boxes'
    // tick and cross at least 9 in colour; a picture drawn for a smaller scale would
    // come out shorter, one for a larger scale would not fit.
    void ExpectIconsDrawnFor(UINT shown) {
        int size = IconSize(shown), margin = Scaled(3, shown);
        HWND hide = app.Control(IDC_HIDE);
        auto arrow = [](COLORREF c) { return GetBValue(c) > GetRValue(c) + 60; };
        EXPECT_TRUE(WaitUntil([&] {
            RECT box = Extent(hide, margin + size + 1, arrow);
            return box.left >= margin && box.right <= margin + size &&
                   box.bottom - box.top >= size * 13 / 16 && box.bottom - box.top <= size;
        })) << "the Hide button's icon at "
            << shown << " DPI";
        ASSERT_TRUE(app.SelectTab(kOptionsPage));
        for (int id : kCheckBoxes) {
            HWND box = app.PageControl(kOptionsPage, id);
            auto mark = [](COLORREF c) { return IsGreenish(c) || IsReddish(c); };
            EXPECT_TRUE(WaitUntil([&] {
                RECT drawn = Extent(box, margin + size + 1, mark);
                return drawn.left >= margin && drawn.right <= margin + size &&
                       drawn.bottom - drawn.top >= size * 9 / 16 &&
                       drawn.bottom - drawn.top <= size;
            })) << "check box "
                << id << " at " << shown << " DPI";
        }
    }
    // The banner is its 96-DPI picture's size times the scale.
    void ExpectBannerDrawnFor(UINT shown) {
        EXPECT_TRUE(WaitUntil([&] {
            SIZE banner = SizeOf(Banner());
            return std::abs(banner.cx - 364 * static_cast<int>(shown) / 96) <= 1 &&
                   std::abs(banner.cy - 94 * static_cast<int>(shown) / 96) <= 1;
        })) << SizeOf(Banner()).cx
            << " x " << SizeOf(Banner()).cy << " at " << shown << " DPI";
        // The picture fills the control to its far corner, dark blue there.
        ScreenPicture banner(Banner());
        COLORREF corner = banner.At(banner.Width() - 1, banner.Height() - 1);
        EXPECT_TRUE(GetBValue(corner) > GetRValue(corner) + 30 && GetBValue(corner) < 160)
            << std::hex << corner;
    }
    // Every control of the main window and of each page lies inside its
    // parent and clear of every other.
    void ExpectNoOverlapsAndNothingCut(UINT shown) {
        std::vector<HWND> parents{mainWindow};
        for (int page = kBannedPage; page <= kAboutPage; ++page)
            parents.push_back(app.Page(page));
        for (HWND parent : parents) {
            RECT client{};
            ::GetClientRect(parent, &client);
            std::vector<HWND> content;
            for (HWND child : ChildrenOf(parent))
                if (ShowsContent(child))
                    content.push_back(child);
            for (size_t i = 0; i < content.size(); ++i) {
                RECT a = PlaceIn(content[i], parent), overlap{};
                EXPECT_TRUE(a.left >= 0 && a.top >= 0 && a.right <= client.right &&
                            a.bottom <= client.bottom)
                    << ::GetDlgCtrlID(content[i]) << " cut by its parent at " << shown << " DPI";
                for (size_t j = i + 1; j < content.size(); ++j) {
                    RECT b = PlaceIn(content[j], parent);
                    EXPECT_FALSE(::IntersectRect(&overlap, &a, &b))
                        << ::GetDlgCtrlID(content[i]) << " and " << ::GetDlgCtrlID(content[j])
                        << " overlap at " << shown << " DPI";
                }
            }
        }
    }
    // The places of the main window's controls and of every page's.
    std::vector<RECT> Layout() const {
        std::vector<RECT> places;
        std::vector<HWND> parents{mainWindow, app.Control(IDC_TABS)};
        for (int page = kBannedPage; page <= kAboutPage; ++page)
            parents.push_back(app.Page(page));
        for (HWND parent : parents)
            for (HWND child : ChildrenOf(parent))
                places.push_back(PlaceIn(child, parent));
        return places;
    }
    // WM_DPICHANGED as the system sends it on a move to another monitor,
    // the suggested rectangle in the program's memory.
    bool MoveToScale(UINT to, const RECT& suggested) {
        void* remote =
            ::VirtualAllocEx(app.Process(), nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
        DWORD_PTR result = 0;
        bool sent =
            remote &&
            ::WriteProcessMemory(app.Process(), remote, &suggested, sizeof(suggested), nullptr) &&
            ::SendMessageTimeoutA(mainWindow, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(to, to),
                                  reinterpret_cast<LPARAM>(remote), SMTO_NORMAL, 10000, &result);
        if (remote)
            ::VirtualFreeEx(app.Process(), remote, 0, MEM_RELEASE);
        return sent && app.Settle();
    }

    UINT dpi = 96;
};

} // namespace

TEST_F(Dpi, TheBannerAndEveryIconAreDrawnForTheScale) {
    ExpectBannerDrawnFor(dpi);
    ExpectIconsDrawnFor(dpi);
}

TEST_F(Dpi, ControlsKeepClearOfEachOtherAndTheWindowFitsTheScreen) {
    ExpectNoOverlapsAndNothingCut(dpi);
    RECT frame{}, work{};
    ::GetWindowRect(mainWindow, &frame);
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_TRUE(frame.left >= work.left && frame.top >= work.top && frame.right <= work.right &&
                frame.bottom <= work.bottom);
    // A 1366 x 768 screen at 100 % and a 1920 x 1080 one at 200 %, each
    // less a taskbar of 40 pixels at 100 %.
    SIZE size = SizeOf(mainWindow);
    EXPECT_LE(Scaled(size.cx, 96 * 96 / dpi), 1366);
    EXPECT_LE(Scaled(size.cy, 96 * 96 / dpi), 768 - 40);
    if (dpi <= 192) {
        EXPECT_LE(Scaled(size.cx, 96 * 192 / dpi), 1920);
        EXPECT_LE(Scaled(size.cy, 96 * 192 / dpi), 1080 - 80);
    }
}

TEST_F(Dpi, AMoveToAnotherScaleTakesTheSuggestedRectangleAndRedrawsEverythingAndBack) {
    const UINT to = dpi == 96 ? 192 : 96;
    RECT before{}, client{};
    ::GetWindowRect(mainWindow, &before);
    ::GetClientRect(mainWindow, &client);
    std::vector<RECT> layout = Layout();
    // Windows suggests the window scaled, its frame drawn at the new scale
    // too; Wine draws every frame at the session's scale, so here the
    // client is scaled and the frame stays.
    RECT suggested{before.left, before.top,
                   before.right + ::MulDiv(client.right, to, dpi) - client.right,
                   before.bottom + ::MulDiv(client.bottom, to, dpi) - client.bottom};
    ASSERT_TRUE(MoveToScale(to, suggested));
    RECT now{};
    ::GetWindowRect(mainWindow, &now);
    EXPECT_TRUE(::EqualRect(&now, &suggested)) << "the window takes the suggested rectangle";
    ExpectBannerDrawnFor(to);
    ExpectIconsDrawnFor(to);
    ExpectNoOverlapsAndNothingCut(to);

    // Back where it came from, everything is where it was.
    ASSERT_TRUE(MoveToScale(dpi, before));
    ::GetWindowRect(mainWindow, &now);
    EXPECT_TRUE(::EqualRect(&now, &before));
    std::vector<RECT> again = Layout();
    ASSERT_EQ(layout.size(), again.size());
    for (size_t i = 0; i < layout.size(); ++i)
        EXPECT_TRUE(::EqualRect(&layout[i], &again[i])) << "control " << i;
    ExpectBannerDrawnFor(dpi);
}
