#include "platform/qt/program_icon.h"

namespace tollvane {

QIcon programIcon(int largest) {
    // The PNGs rendered from the program's artwork (data/icons), built into the executable, so
    // the window shows the same icon as the desktop's menu, at the sizes the desktop asks for.
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        if (size <= largest)
            icon.addFile(QStringLiteral(":/tollvane/icons/tollvane-%1.png").arg(size),
                         QSize(size, size));
    return icon;
}

}  // namespace tollvane
