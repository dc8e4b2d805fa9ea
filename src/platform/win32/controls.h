#pragma once
// The child window for each kind of control of a layout, in its place, font and colours, and the
// painting of the controls the program draws itself: the clock's display boxes (a sunken panel
// whose figures stay readable in the layout's colours), labels drawn straight onto the window's
// background, the picture, and the button with a picture behind its caption.

#include <functional>

#include "platform/win32/api.h"

#include <commctrl.h>
#include "windows/layout.h"

namespace tollvane::win32 {

// Paints the window's background, lines, filled rectangles and labels into `dc`, whose origin is
// the point `origin` of the client area: what lies beneath a control that has no background.
using CanvasPainter = std::function<void(HDC dc, POINT origin, RECT area)>;

// The child window of a control; null for the controls that the window paints (filled
// rectangles) and for those with no place on the screen. Child windows are created hidden when the
// layout says so. The font is set by the caller.
HWND createControl(HWND parent, const ControlLayout& control, int id, unsigned dpi);

// The colours a control is drawn in, resolved from its layout under the user's scheme.
struct ControlColours {
    COLORREF text = 0;
    COLORREF background = 0;
    bool ownBackground = false;  // false: the window's background shows beneath
};
ControlColours controlColours(const ControlLayout& control);

// How a label's text is set on the window: from its top left, the words wrapped within its width.
constexpr UINT kLabelTextFormat = DT_LEFT | DT_TOP | DT_NOPREFIX | DT_WORDBREAK;

// WM_DRAWITEM of an owner-drawn control, at the window's `dpi`.
void drawControl(const DRAWITEMSTRUCT& item, const ControlLayout& control,
                 const ControlColours& colours, HICON picture, unsigned dpi,
                 const CanvasPainter& canvas);

// NM_CUSTOMDRAW of an option button. Under a visual style, which would draw the caption in the
// style's own colour, the style's button is drawn with the caption in the control's colours;
// without one the control draws itself in the colours WM_CTLCOLORSTATIC gives it.
LRESULT customDrawOption(const NMCUSTOMDRAW& draw, const ControlColours& colours);

}  // namespace tollvane::win32
