#include "platform/qt/qt_clock.h"

#include <QDateTime>

namespace tollvane {

LocalDateTime QtClock::now() const {
    const QDateTime t = QDateTime::currentDateTime();
    const QDate d = t.date();
    const QTime c = t.time();
    return {d.year(), d.month(), d.day(), c.hour(), c.minute(), c.second(), c.msec()};
}

}  // namespace tollvane
