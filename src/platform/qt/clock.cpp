#include "platform/qt/clock.h"

#include <QDateTime>
#include <chrono>
#include <utility>

namespace tollvane {

QtClock::QtClock(std::function<WallTime()> wallClock) : m_wallClock(std::move(wallClock)) {}

LocalDateTime QtClock::now() const {
    const auto ms = std::chrono::floor<std::chrono::milliseconds>(m_wallClock());
    return at(ms.time_since_epoch().count());
}

LocalDateTime QtClock::at(long long wallMs) const {
    const QDateTime t = QDateTime::fromMSecsSinceEpoch(wallMs, Qt::LocalTime);
    const QDate d = t.date();
    const QTime c = t.time();
    return {d.year(), d.month(), d.day(), c.hour(), c.minute(), c.second(), c.msec()};
}

}  // namespace tollvane
