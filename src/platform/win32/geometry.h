#pragma once
// A window's frame on Windows: the styles its layout's border and title-bar buttons ask for, and
// the room that frame takes around the client area at the window's dots per inch.

#include "platform/win32/api.h"
#include "windows/geometry.h"
#include "windows/layout.h"

namespace tollvane::win32 {

struct WindowStyle {
    DWORD style = 0;
    DWORD exStyle = 0;
};

WindowStyle windowStyle(const WindowLayout& layout);
// Borders, title bar and (one line of) menu bar around the client area.
FrameInsets frameInsets(const WindowStyle& style, bool hasMenu, unsigned dpi);
// The window's dots per inch; the system's before the window exists.
unsigned windowDpi(HWND window);

}  // namespace tollvane::win32
