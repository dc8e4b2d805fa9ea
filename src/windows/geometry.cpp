#include "windows/geometry.h"

#include "windows/form.h"

namespace tollvane {

PixelRect controlRect(const ControlLayout& c, double dpi) {
    return {twipsToPixels(c.left, dpi), twipsToPixels(c.top, dpi), twipsToPixels(c.width, dpi),
            twipsToPixels(c.height, dpi)};
}

PixelLine lineEnds(const LineLayout& l, double dpi) {
    return {{twipsToPixels(l.x1, dpi), twipsToPixels(l.y1, dpi)},
            {twipsToPixels(l.x2, dpi), twipsToPixels(l.y2, dpi)}};
}

PixelSize clientSize(const Form& window, double dpi) {
    const WindowLayout& l = window.layout();
    const int widthTwips =
        l.border == Border::Sizable ? l.clientWidth : window.Width - 2 * l.borderWidth;
    return {twipsToPixels(widthTwips, dpi), twipsToPixels(l.clientHeight, dpi)};
}

std::optional<PixelPoint> clientOrigin(const WindowLayout& layout, double dpi) {
    if (!layout.position) return std::nullopt;
    return PixelPoint{twipsToPixels(layout.position->x, dpi),
                      twipsToPixels(layout.position->y, dpi)};
}

PixelRect outerRect(PixelPoint origin, PixelSize size, const FrameInsets& frame) {
    return {origin.x - frame.left, origin.y - frame.top, size.width + frame.left + frame.right,
            size.height + frame.top + frame.bottom};
}

}  // namespace tollvane
