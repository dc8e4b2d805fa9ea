#include "platform/qt/program_icon.h"

#include <QPainter>
#include <QPixmap>

namespace tollvane {

QIcon programIcon() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    // Bells, face, hands and feet in colours of the 16-colour palette.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(128, 128, 0));
    p.drawEllipse(1, 0, 5, 5);
    p.drawEllipse(10, 0, 5, 5);
    p.setBrush(QColor(192, 192, 192));
    p.drawEllipse(2, 2, 12, 12);
    p.setBrush(QColor(255, 255, 255));
    p.drawEllipse(3, 3, 10, 10);
    p.setPen(QColor(0, 0, 0));
    p.drawLine(8, 8, 8, 4);
    p.setPen(QColor(255, 0, 0));
    p.drawLine(8, 8, 11, 8);
    p.setPen(QColor(0, 0, 128));
    p.drawLine(3, 15, 5, 13);
    p.drawLine(13, 15, 11, 13);
    p.end();
    return QIcon(pixmap);
}

}  // namespace tollvane
