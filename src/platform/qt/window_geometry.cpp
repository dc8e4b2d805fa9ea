#include "platform/qt/window_geometry.h"

#include "windows/geometry.h"

namespace tollvane {

void applyClientSize(QWidget& window, const Form& model, double dpi, const FrameInsets& inside) {
    const PixelSize client = clientSize(model, dpi);
    const QSize size(client.width + inside.left + inside.right,
                     client.height + inside.top + inside.bottom);
    if (model.layout().border == Border::Sizable) {
        window.resize(size);
    } else {
        window.setFixedSize(size);
    }
}

void placeWindow(QWidget& window, const WindowLayout& layout, double dpi,
                 const FrameInsets& inside) {
    const auto origin = clientOrigin(layout, dpi);
    if (!origin) return;
    const PixelSize client{window.width() - inside.left - inside.right,
                           window.height() - inside.top - inside.bottom};
    const PixelRect outer = outerRect(*origin, client, inside);
    window.setGeometry(outer.left, outer.top, outer.width, outer.height);
}

}  // namespace tollvane
