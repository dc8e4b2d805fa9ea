// The three windows as Windows draws them: each control where its layout puts it at the window's
// DPI, the client areas, frames and title-bar buttons, the placed windows, menus, the tab order
// and the display boxes' readable figures.

#include "ui_fixture.h"

#include <commctrl.h>

#include "platform/win32/win32_theme.h"
#include "windows/geometry.h"

namespace tollvane::win32::testing {
namespace {

class WindowsLayout : public UiFixture {};

PixelRect childRect(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

PixelSize clientOf(HWND window) {
    RECT r;
    GetClientRect(window, &r);
    return {r.right, r.bottom};
}

// Every control with a window of its own is at its layout's place, in pixels at the window's DPI.
void expectControlsInPlace(FormWindow& v, const Form& form) {
    int placed = 0;
    for (const ControlLayout& c : form.layout().controls) {
        HWND hwnd = v.control(c.name);
        const bool hasWindow = c.kind != ControlKind::Line && c.kind != ControlKind::Shape &&
                               c.kind != ControlKind::Hidden && c.kind != ControlKind::Browser;
        EXPECT_EQ(hwnd != nullptr, hasWindow) << form.layout().name << "." << c.name;
        if (!hwnd) continue;
        ++placed;
        EXPECT_EQ(childRect(hwnd), controlRect(c, v.dpi())) << form.layout().name << "." << c.name;
        EXPECT_EQ(GetDlgCtrlID(hwnd), FormWindow::controlId(form.layout(), c.name));
    }
    EXPECT_GT(placed, 2);
}

TEST_F(WindowsLayout, MainWindow_NarrowAtStart_PlacedAndFramedAsItsLayoutSays) {
    start();
    FormWindow& v = view(main());
    const unsigned dpi = v.dpi();
    EXPECT_EQ(windowText(v.hwnd()), L"Tollvane");
    EXPECT_EQ(clientOf(v.hwnd()), clientSize(main(), dpi));
    EXPECT_EQ(clientOf(v.hwnd()).width, twipsToPixels(3555 - 90, dpi));
    EXPECT_EQ(clientOf(v.hwnd()).height, twipsToPixels(5040, dpi));
    POINT origin{0, 0};
    ClientToScreen(v.hwnd(), &origin);
    EXPECT_EQ((PixelPoint{origin.x, origin.y}), *clientOrigin(main().layout(), dpi));
    expectControlsInPlace(v, main());

    const auto style = static_cast<DWORD>(GetWindowLongPtrW(v.hwnd(), GWL_STYLE));
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);  // a fixed border: not resizable by its edge
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_EQ(GetWindow(v.hwnd(), GW_OWNER), nullptr);

    // The seconds box lies over the right of the hours-and-minutes box and is drawn above it.
    HWND hours = control(main(), "txttimetot");
    HWND seconds = control(main(), "txttimetot2");
    const PixelRect s = childRect(seconds);
    EXPECT_EQ(ChildWindowFromPointEx(v.hwnd(), POINT{s.left + 5, s.top + 5}, CWP_ALL), seconds);
    EXPECT_FALSE(IsWindowEnabled(hours));
    EXPECT_FALSE(GetWindowLongPtrW(hours, GWL_STYLE) & WS_TABSTOP);
}

TEST_F(WindowsLayout, ArrowButtons_WidenAndNarrow_HeightStays) {
    start();
    FormWindow& v = view(main());
    RECT before;
    GetWindowRect(v.hwnd(), &before);
    click(main(), "cmdRem");
    EXPECT_EQ(main().Width, 8625);
    EXPECT_EQ(clientOf(v.hwnd()).width, twipsToPixels(8625 - 90, v.dpi()));
    click(main(), "cmdRem");
    EXPECT_EQ(clientOf(v.hwnd()).width, twipsToPixels(8625 - 90, v.dpi()));
    click(main(), "CmdIn");
    EXPECT_EQ(clientOf(v.hwnd()).width, twipsToPixels(3555 - 90, v.dpi()));
    RECT after;
    GetWindowRect(v.hwnd(), &after);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
}

TEST_F(WindowsLayout, MenuBars_CaptionsAndItems) {
    start();
    HMENU bar = GetMenu(view(main()).hwnd());
    ASSERT_NE(bar, nullptr);
    auto caption = [](HMENU menu, int index) {
        wchar_t text[64] = {};
        GetMenuStringW(menu, static_cast<UINT>(index), text, 64, MF_BYPOSITION);
        return std::wstring(text);
    };
    ASSERT_EQ(GetMenuItemCount(bar), 3);
    EXPECT_EQ(caption(bar, 0), L"File");
    EXPECT_EQ(caption(bar, 1), L"View");
    EXPECT_EQ(caption(bar, 2), L"Help");
    EXPECT_EQ(caption(GetSubMenu(bar, 0), 0), L"Exit");
    EXPECT_EQ(caption(GetSubMenu(bar, 1), 0), L"Clock Only");
    EXPECT_EQ(caption(GetSubMenu(bar, 1), 1), L"Full View");
    EXPECT_EQ(caption(GetSubMenu(bar, 2), 0), L"How To...");
    EXPECT_EQ(caption(GetSubMenu(bar, 2), 1), L"About");

    // The clock-only window: one item on the bar itself, with no list.
    chooseMenu(main(), "MnuClock");
    FormWindow& clock = view(desktop->program().frmclock());
    HMENU clockBar = GetMenu(clock.hwnd());
    ASSERT_EQ(GetMenuItemCount(clockBar), 1);
    EXPECT_EQ(caption(clockBar, 0), L"Full View");
    EXPECT_EQ(GetSubMenu(clockBar, 0), nullptr);
}

TEST_F(WindowsLayout, ClockOnlyWindow_SizableWithoutMaximize_ControlsInPlace) {
    start();
    chooseMenu(main(), "MnuClock");
    frmclock& clock = desktop->program().frmclock();
    FormWindow& v = view(clock);
    EXPECT_TRUE(IsWindowVisible(v.hwnd()));
    EXPECT_FALSE(IsWindowVisible(view(main()).hwnd()));
    EXPECT_EQ(windowText(v.hwnd()), L"Tollvane(Clock View)");
    EXPECT_EQ(clientOf(v.hwnd()), clientSize(clock, v.dpi()));
    expectControlsInPlace(v, clock);
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(v.hwnd(), GWL_STYLE));
    EXPECT_TRUE(style & WS_THICKFRAME);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);

    // Resizing moves nothing inside.
    const PixelRect before = childRect(control(clock, "txttimetot"));
    SetWindowPos(v.hwnd(), nullptr, 0, 0, 120, 90, SWP_NOMOVE | SWP_NOZORDER);
    runFor(50);
    EXPECT_EQ(childRect(control(clock, "txttimetot")), before);

    // Full View brings the main window back.
    chooseMenu(clock, "MnuFull");
    EXPECT_TRUE(IsWindowVisible(view(main()).hwnd()));
    EXPECT_FALSE(IsWindowVisible(v.hwnd()));
}

TEST_F(WindowsLayout, AboutWindow_DialogFrameNoTaskbarButton_EnterAndEscClose) {
    start();
    chooseMenu(main(), "MnuAbout");
    frmAbout& about = desktop->program().frmAbout();
    FormWindow& v = view(about);
    EXPECT_EQ(windowText(v.hwnd()), L"About Tollvane3");
    EXPECT_EQ(text(about, "lblTitle"), L"Tollvane3");
    EXPECT_EQ(text(about, "lblVersion"), L"Version 3.0.0");
    EXPECT_EQ(clientOf(v.hwnd()), clientSize(about, v.dpi()));
    expectControlsInPlace(v, about);
    POINT origin{0, 0};
    ClientToScreen(v.hwnd(), &origin);
    EXPECT_EQ((PixelPoint{origin.x, origin.y}), *clientOrigin(about.layout(), v.dpi()));
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(v.hwnd(), GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(v.hwnd(), GWL_EXSTYLE));
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_TRUE(exStyle & WS_EX_DLGMODALFRAME);
    // Owned by the program's hidden window: no taskbar button of its own.
    EXPECT_EQ(GetWindow(v.hwnd(), GW_OWNER), desktop->programWindow());
    EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);
    // OK holds the focus.
    EXPECT_EQ(GetFocus(), control(about, "cmdOK"));

    // Enter presses OK, the default button.
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 1);
    ASSERT_TRUE(runUntil([&] { return !desktop->view(about); }));
    EXPECT_FALSE(desktop->program().isLoaded(about));

    // Esc presses it too, the cancel button.
    chooseMenu(main(), "MnuAbout");
    frmAbout& again = desktop->program().frmAbout();
    EXPECT_EQ(text(again, "lblVersion"), L"Version 3.0.0");
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1);
    ASSERT_TRUE(runUntil([&] { return !desktop->view(again); }));
}

TEST_F(WindowsLayout, TabOrder_StartsOnTheAlarmTime_SkipsTheDisabledAndTheClockBoxes) {
    start();
    FormWindow& v = view(main());
    EXPECT_EQ(GetFocus(), control(main(), "TxtTime"));
    // After load Stop is disabled: Tab goes from TxtTime to Set Alarm, then to the shop button.
    const char* expected[] = {"CmdSet", "Command1",  "cmdRem", "OptDate",  "Calendar1", "TxtRem",
                              "CmdIn",  "cmdremset", "txtam",  "txtdura1", "txtfreq1",  "TxtTime"};
    HWND at = control(main(), "TxtTime");
    for (const char* name : expected) {
        at = GetNextDlgTabItem(v.hwnd(), at, FALSE);
        EXPECT_EQ(at, control(main(), name)) << name;
    }
}

// The clock's boxes are disabled, yet their figures are drawn in the layout's green on the
// highlight colour in the main window, and readable on black in the clock-only window.
TEST_F(WindowsLayout, DisplayBoxes_FiguresInReadableColours) {
    start();
    ASSERT_TRUE(runUntil([&] { return !main().txttimetot.Text.empty(); }));
    runFor(100);
    auto countColour = [](HWND box, COLORREF colour) {
        RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        RECT r;
        GetClientRect(box, &r);
        HDC dc = GetDC(box);
        int n = 0;
        for (int y = 0; y < r.bottom; y += 2)
            for (int x = 0; x < r.right; x += 2)
                if (GetPixel(dc, x, y) == colour) ++n;
        ReleaseDC(box, dc);
        return n;
    };
    EXPECT_GT(countColour(control(main(), "txttimetot"), RGB(0, 192, 0)), 10);
    chooseMenu(main(), "MnuClock");
    frmclock& clock = desktop->program().frmclock();
    runFor(100);
    // The clock-only window's figures are the frame colour on black, turned green where that
    // colour would be too dark to read: either way, far lighter than the box.
    HWND figures = control(clock, "txttimetot");
    RedrawWindow(figures, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    RECT r;
    GetClientRect(figures, &r);
    HDC dc = GetDC(figures);
    int black = 0, light = 0;
    for (int y = 0; y < r.bottom; y += 2) {
        for (int x = 0; x < r.right; x += 2) {
            const Rgb c = toRgb(GetPixel(dc, x, y));
            if (c == Rgb{0, 0, 0}) ++black;
            if (lightness(c) >= 96) ++light;
        }
    }
    ReleaseDC(figures, dc);
    EXPECT_GT(black, 100);
    EXPECT_GT(light, 10);
    // A screen reader reads the box's text.
    EXPECT_EQ(windowText(figures), toWideLossy(clock.txttimetot.Text));
}

}  // namespace
}  // namespace tollvane::win32::testing
