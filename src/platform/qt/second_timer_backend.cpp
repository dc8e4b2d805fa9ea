#include "platform/qt/second_timer_backend.h"

#include <QtGlobal>

namespace tollvane {

WallTime systemWallClock() {
    // system_clock is CLOCK_REALTIME on Linux, the clock QDateTime::currentDateTime() reads too.
    return std::chrono::time_point_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now());
}

std::unique_ptr<SecondTimerBackend> makeSystemSecondTimerBackend() {
#ifdef __linux__
    if (auto timerfd = makeTimerfdBackend()) return timerfd;
    qWarning("SecondTimer: no realtime timerfd, ticking with a precise QTimer instead");
#endif
    return makePreciseQTimerBackend();
}

}  // namespace tollvane
