// The three windows as Windows draws them: each control where its layout puts it at the window's
// DPI, the client areas, frames and title-bar buttons, the placed windows, menus, the tab order
// and the display boxes' readable figures.

#include "ui_fixture.h"

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <vector>

#include "platform/win32/theme.h"
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

// Every control with a window of its own is where the core's geometry puts it at the window's DPI
// (the twips-to-pixels arithmetic itself is pinned in tests/core/renderer_data_test.cpp).
void expectControlsInPlace(FormWindow& v, const Form& form) {
    int placed = 0;
    for (const ControlLayout& c : form.layout().controls) {
        HWND hwnd = v.control(c.name);
        const bool hasWindow = c.kind != ControlKind::Shape && c.kind != ControlKind::Hidden &&
                               c.kind != ControlKind::Browser;
        EXPECT_EQ(hwnd != nullptr, hasWindow) << form.layout().name << "." << c.name;
        if (!hwnd) continue;
        ++placed;
        EXPECT_EQ(childRect(hwnd), controlRect(c, v.dpi())) << form.layout().name << "." << c.name;
    }
    EXPECT_GT(placed, 2);
}

TEST_F(WindowsLayout, MainWindow_NarrowAtStart_PlacedAndFramedAsItsLayoutSays) {
    start();
    FormWindow& v = view(main());
    ASSERT_EQ(v.dpi(), 96u);  // the test session's screen
    EXPECT_EQ(windowText(v.hwnd()), L"Tollvane");
    EXPECT_EQ(clientOf(v.hwnd()), (PixelSize{231, 336}));  // (3555 - 2 x 45) x 5040 twips
    POINT origin{0, 0};
    ClientToScreen(v.hwnd(), &origin);
    EXPECT_EQ((PixelPoint{origin.x, origin.y}), (PixelPoint{331, 257}));  // 4965, 3855 twips
    expectControlsInPlace(v, main());
    EXPECT_EQ(childRect(control(main(), "txttimetot2")), (PixelRect{136, 24, 73, 64}));

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
    EXPECT_EQ(clientOf(v.hwnd()).width, 569);  // 8625 - 2 x 45 twips at 96 dpi
    click(main(), "cmdRem");
    EXPECT_EQ(clientOf(v.hwnd()).width, 569);
    click(main(), "CmdIn");
    EXPECT_EQ(clientOf(v.hwnd()).width, 231);
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
    EXPECT_EQ(clientOf(v.hwnd()), (PixelSize{233, 98}));  // 3495 x 1470 twips at 96 dpi
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

// Moved to a screen of 144 dpi: the clock-only window keeps the size the user gave it, as the
// system suggests it at the new DPI, and its controls and icons follow the DPI.
TEST_F(WindowsLayout, DpiChange_ClockOnlyWindowKeepsTheUsersSize_ControlsAndIconsFollow) {
    start();
    chooseMenu(main(), "MnuClock");
    frmclock& clock = desktop->program().frmclock();
    FormWindow& v = view(clock);
    SetWindowPos(v.hwnd(), nullptr, 0, 0, 300, 140, SWP_NOMOVE | SWP_NOZORDER);
    runFor(50);
    RECT r;
    GetWindowRect(v.hwnd(), &r);
    RECT suggested{r.left, r.top, r.left + 450, r.top + 210};
    SendMessageW(v.hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
    runFor(50);
    GetWindowRect(v.hwnd(), &r);
    EXPECT_EQ(r.right - r.left, 450);
    EXPECT_EQ(r.bottom - r.top, 210);
    ASSERT_EQ(v.dpi(), 144u);
    expectControlsInPlace(v, clock);
    const auto icon = reinterpret_cast<HICON>(SendMessageW(v.hwnd(), WM_GETICON, ICON_SMALL, 0));
    ICONINFO info{};
    ASSERT_TRUE(icon && GetIconInfo(icon, &info));
    BITMAP bits{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bits, &bits);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    EXPECT_EQ(bits.bmWidth, GetSystemMetricsForDpi(SM_CXSMICON, 144));
}

TEST_F(WindowsLayout, AboutWindow_DialogFrameNoTaskbarButton_EnterAndEscClose) {
    start();
    chooseMenu(main(), "MnuAbout");
    frmAbout& about = desktop->program().frmAbout();
    FormWindow& v = view(about);
    EXPECT_EQ(windowText(v.hwnd()), L"About Tollvane3");
    EXPECT_EQ(text(about, "lblTitle"), L"Tollvane3");
    EXPECT_EQ(text(about, "lblVersion"), L"Version 3.0.0");
    EXPECT_EQ(clientOf(v.hwnd()), (PixelSize{382, 237}));  // 5730 x 3555 twips at 96 dpi
    expectControlsInPlace(v, about);
    POINT origin{0, 0};
    ClientToScreen(v.hwnd(), &origin);
    EXPECT_EQ((PixelPoint{origin.x, origin.y}), (PixelPoint{156, 129}));  // 2340, 1935 twips
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
    // About is let go. Asked by kind, not by address: the clock-only window, made at the first
    // tick, may take the very memory About had.
    const std::vector<Form*> loaded = desktop->program().loadedWindows();
    EXPECT_TRUE(std::none_of(loaded.begin(), loaded.end(),
                             [](const Form* w) { return w->layout().name == "frmAbout"; }));

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
}

// About's OK button: light yellow at the top shading down to blue, alike all along each row,
// with the caption over it.
TEST_F(WindowsLayout, AboutOkButton_PictureShadesDownwardFromYellowToBlue) {
    start();
    chooseMenu(main(), "MnuAbout");
    HWND ok = control(desktop->program().frmAbout(), "cmdOK");
    RedrawWindow(ok, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    RECT r;
    GetClientRect(ok, &r);
    const int left = 6, right = r.right - 7, top = 6, bottom = r.bottom - 7;
    HDC dc = GetDC(ok);
    const COLORREF topLeft = GetPixel(dc, left, top), topRight = GetPixel(dc, right, top);
    const COLORREF bottomLeft = GetPixel(dc, left, bottom);
    ReleaseDC(ok, dc);
    EXPECT_EQ(topLeft, topRight);
    EXPECT_GT(GetRValue(topLeft), 240);
    EXPECT_GT(GetRValue(topLeft), GetBValue(topLeft));  // yellowish
    EXPECT_LT(GetRValue(bottomLeft) + 10, GetRValue(topLeft));
    EXPECT_GT(GetBValue(bottomLeft), GetBValue(topLeft));
}

std::wstring accessibleName(HWND control) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                          IID_IAccessible, reinterpret_cast<void**>(&object))))
        return L"(no accessible object)";
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::wstring result = L"(no name)";
    if (SUCCEEDED(object->get_accName(self, &name)) && name) {
        result = name;
        SysFreeString(name);
    }
    object->Release();
    return result;
}

// The program's resources: its version as About shows it, and its icon at the sizes Windows asks.
TEST(ProgramResources, VersionAndIcon) {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 3));  // 3.0
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);              // .0.0
    wchar_t* product = nullptr;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\StringFileInfo\\040904b0\\ProductName",
                               reinterpret_cast<void**>(&product), &length));
    EXPECT_EQ(std::wstring(product), L"Tollvane3");
    for (int px : {16, 32, 48, 64}) {
        HICON icon = static_cast<HICON>(
            LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, px, px, 0));
        EXPECT_NE(icon, nullptr) << px;
        ICONINFO parts{};
        if (icon && GetIconInfo(icon, &parts)) {
            BITMAP bitmap{};
            GetObjectW(parts.hbmColor, sizeof bitmap, &bitmap);
            EXPECT_EQ(bitmap.bmWidth, px);
            DeleteObject(parts.hbmColor);
            DeleteObject(parts.hbmMask);
        }
        if (icon) DestroyIcon(icon);
    }
}

// The clock's figures in Comic Sans MS, or where the system lacks it, its stand-in: a font the
// system has, never one it silently substitutes.
TEST_F(WindowsLayout, ClockFont_IsComicOrItsStandIn) {
    start();
    HWND box = control(main(), "txttimetot");
    HDC dc = GetDC(box);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(box, WM_GETFONT, 0, 0)));
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, face);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(box, dc);
    const std::wstring family = face;
    EXPECT_TRUE(family == L"Comic Sans MS" || family == L"Comic Neue") << toUtf8(family);
    ASSERT_EQ(view(main()).dpi(), 96u);
    EXPECT_EQ(metrics.tmHeight - metrics.tmInternalLeading, 48);  // 36 points at 96 dpi
}

// A screen reader reads the clock's figures, which the program draws, as they are shown.
TEST_F(WindowsLayout, ScreenReaderNames_TheClocksFiguresAsShown) {
    start();
    ASSERT_TRUE(runUntil([&] { return !main().txttimetot.Text.empty(); }));
    runFor(50);
    EXPECT_EQ(accessibleName(control(main(), "txttimetot")), toWideLossy(main().txttimetot.Text));
    EXPECT_EQ(accessibleName(control(main(), "txttimetot2")), toWideLossy(main().txttimetot2.Text));
    EXPECT_EQ(accessibleName(control(main(), "CmdSet")), L"Set Alarm");
}

}  // namespace
}  // namespace tollvane::win32::testing
