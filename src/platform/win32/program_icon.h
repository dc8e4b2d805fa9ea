#pragma once
// The program's icon from its resources, drawn for a window's DPI: every window of the program
// carries it in its title bar and in Alt+Tab at the size its screen asks for, and again at the new
// size when the window moves to a screen of another DPI.

#include "platform/win32/api.h"
#include "platform/win32/handles.h"

namespace tollvane::win32 {

// The icon drawn for `size` pixels (the nearest of its sizes, scaled); null where the program has
// none in its resources.
HICON programIcon(int size);

// A window's two icons, the small one of its title bar and the large one of Alt+Tab.
class ProgramIcons {
public:
    // Gives `window` the icons for `dpi`; the old ones go once the window holds the new ones.
    void apply(HWND window, unsigned dpi);

private:
    IconHandle m_small, m_big;
};

}  // namespace tollvane::win32
