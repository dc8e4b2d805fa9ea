// Built with the leak sanitizer: types a digit on the calendar, so that the typed-date box is
// open, and destroys the calendar at once, as the program's exit does. With `--toolkit` the
// toolkit's own calendar is used instead, whose leak this must report (the check can fail).

#include "platform/qt/month_view.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QTest>
#include <cstring>
#include <memory>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool toolkit = argc > 1 && std::strcmp(argv[1], "--toolkit") == 0;
    QWidget window;
    window.resize(300, 250);
    std::unique_ptr<QCalendarWidget> calendar;
    if (toolkit) {
        calendar = std::make_unique<QCalendarWidget>(&window);
    } else {
        calendar = std::make_unique<tollvane::MonthView>(&window);
    }
    calendar->setGeometry(0, 0, 300, 250);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return 2;
    auto* days = calendar->findChild<QAbstractItemView*>();
    if (!days) return 2;
    QTest::keyClick(days, Qt::Key_1);
    // As the program's exit does: the window is hidden first, then destroyed.
    window.hide();
    calendar.reset();
    return 0;
}
