#pragma once
// Where a window and its controls go on the screen, in pixels, worked out once for both renderers
// from the layout's twips and the window's dots per inch.

#include <optional>

#include "windows/layout.h"

namespace tollvane {

class Form;

struct PixelPoint {
    int x = 0, y = 0;
    bool operator==(const PixelPoint&) const = default;
};
struct PixelSize {
    int width = 0, height = 0;
    bool operator==(const PixelSize&) const = default;
};
struct PixelRect {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const PixelRect&) const = default;
};

// The room the window's frame takes around the client area: borders, the title bar and the menu
// bar, as the desktop draws them.
struct FrameInsets {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// A control's place in the client area.
PixelRect controlRect(const ControlLayout& control, double dpi);

// A line's two end points in the client area.
struct PixelLine {
    PixelPoint from, to;
    bool operator==(const PixelLine&) const = default;
};
PixelLine lineEnds(const LineLayout& line, double dpi);

// The client area the window's model asks for. A window with a fixed border follows the model's
// outer width (the arrow buttons set it) less its two borders; a sizable one starts at its design
// size and is the user's afterwards.
PixelSize clientSize(const Form& window, double dpi);

// Where the client area's top-left corner goes on the screen; none: the system places the window.
std::optional<PixelPoint> clientOrigin(const WindowLayout& layout, double dpi);

// The whole window around a client area at `origin` of `size`.
PixelRect outerRect(PixelPoint origin, PixelSize size, const FrameInsets& frame);

}  // namespace tollvane
