#pragma once
// A window's frame on Windows: the styles its layout's border and title-bar buttons ask for, and
// the room that frame takes around the client area at the window's dots per inch.

#include <optional>

#include "platform/win32/api.h"
#include "windows/geometry.h"
#include "windows/layout.h"

namespace tollvane::win32 {

struct WindowStyle {
    DWORD style = 0;
    DWORD exStyle = 0;
};

WindowStyle windowStyle(const WindowLayout& layout);
// The whole window around a client area of `client` pixels at `dpi` whose top-left corner is at
// `origin`: borders, title bar and (one line of) menu bar.
PixelRect windowRect(const WindowStyle& style, bool hasMenu, PixelSize client, unsigned dpi,
                     PixelPoint origin = {});
// The window's dots per inch; the system's before the window exists.
unsigned windowDpi(HWND window);
// Sizes the window around a client area of `client` pixels at `dpi`, its menu bar counted. With
// an `origin`, the client area's top-left corner goes there; else the window stays where it is.
void setClientArea(HWND window, const WindowStyle& style, PixelSize client, unsigned dpi,
                   std::optional<PixelPoint> origin = std::nullopt);
// The window moved to a screen of another DPI (WM_DPICHANGED): it takes the place and size the
// system suggests, which keep a size the user gave it. Returns the new DPI.
unsigned takeSuggestedPlace(HWND window, WPARAM wParam, LPARAM lParam);

}  // namespace tollvane::win32
