#include "platform/qt/message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

#include "platform/qt/wayland_frame.h"

namespace tollvane {

void QtMessageBox::show(const std::string& text, const std::string& title) {
    QWidget* parent = QApplication::activeWindow();
    // On the heap, not the stack: the program may end while the box is open (asked to end from
    // outside), and the window the box belongs to is then destroyed with its children while the
    // box's event loop still runs. The box closes with it and exec() returns.
    QPointer<QMessageBox> box =
        new QMessageBox(QMessageBox::NoIcon, QString::fromStdString(title),
                        QString::fromStdString(text), QMessageBox::Ok, parent);
    box->setObjectName(QStringLiteral("MessageBox"));
    WaylandFrame::addWhereWanted(*box);
    box->exec();
    delete box.data();
}

}  // namespace tollvane
