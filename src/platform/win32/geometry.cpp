#include "platform/win32/geometry.h"

namespace tollvane::win32 {

WindowStyle windowStyle(const WindowLayout& l) {
    WindowStyle s;
    s.style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    if (l.minimizeButton) s.style |= WS_MINIMIZEBOX;
    if (l.maximizeButton) s.style |= WS_MAXIMIZEBOX;
    switch (l.border) {
        case Border::Sizable:
            s.style |= WS_THICKFRAME;
            break;
        case Border::FixedSingle:
            break;
        case Border::FixedDialog:
            s.exStyle |= WS_EX_DLGMODALFRAME;
            break;
    }
    // A window without a taskbar button of its own is owned by the program's hidden window.
    if (l.taskbarButton) s.exStyle |= WS_EX_APPWINDOW;
    s.exStyle |= WS_EX_CONTROLPARENT;
    return s;
}

PixelRect windowRect(const WindowStyle& style, bool hasMenu, PixelSize client, unsigned dpi,
                     PixelPoint origin) {
    RECT r{0, 0, 100, 100};
    AdjustWindowRectExForDpi(&r, style.style, hasMenu ? TRUE : FALSE, style.exStyle, dpi);
    return outerRect(origin, client, {-r.left, -r.top, r.right - 100, r.bottom - 100});
}

unsigned windowDpi(HWND window) {
    const UINT dpi = window ? GetDpiForWindow(window) : GetDpiForSystem();
    return dpi ? dpi : USER_DEFAULT_SCREEN_DPI;
}

void setClientArea(HWND window, const WindowStyle& style, PixelSize client, unsigned dpi,
                   std::optional<PixelPoint> origin) {
    const PixelRect outer =
        windowRect(style, GetMenu(window) != nullptr, client, dpi, origin.value_or(PixelPoint{}));
    SetWindowPos(window, nullptr, outer.left, outer.top, outer.width, outer.height,
                 SWP_NOZORDER | SWP_NOACTIVATE | (origin ? 0 : SWP_NOMOVE));
}

unsigned takeSuggestedPlace(HWND window, WPARAM wParam, LPARAM lParam) {
    const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
    SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    return HIWORD(wParam);
}

}  // namespace tollvane::win32
