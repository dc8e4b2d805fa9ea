#include "platform/qt/qt_message_box.h"

#include <QApplication>
#include <QMessageBox>

namespace tollvane {

void QtMessageBox::show(const std::string& text, const std::string& title) {
    QWidget* parent = QApplication::activeWindow();
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title),
                    QString::fromStdString(text), QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("MessageBox"));
    box.exec();
}

}  // namespace tollvane
