#include "platform/qt/window_geometry.h"

#include "windows/geometry.h"

namespace tollvane {

void applyClientSize(QWidget& window, const Form& model, double dpi, int menuHeight) {
    const PixelSize client = clientSize(model, dpi);
    const QSize size(client.width, client.height + menuHeight);
    if (model.layout().border == Border::Sizable) {
        window.resize(size);
    } else {
        window.setFixedSize(size);
    }
}

void placeWindow(QWidget& window, const WindowLayout& layout, double dpi, int menuHeight) {
    const auto origin = clientOrigin(layout, dpi);
    if (!origin) return;
    const PixelRect outer = outerRect(*origin, {window.width(), window.height() - menuHeight},
                                      FrameInsets{0, menuHeight, 0, 0});
    window.setGeometry(outer.left, outer.top, outer.width, outer.height);
}

}  // namespace tollvane
