#pragma once
#include <functional>

#include "platform/ports.h"
#include "platform/qt/second_timer_backend.h"

namespace tollvane {

// Local date and time: the wall clock's reading turned into the time of the system's time zone,
// daylight saving included. The reading comes from the system clock unless a test passes a clock
// of its own (a simulated day); the conversion to local time is the system's either way.
class QtClock : public Clock {
public:
    explicit QtClock(std::function<WallTime()> wallClock = systemWallClock);
    LocalDateTime now() const override;
    LocalDateTime at(long long wallMs) const override;

private:
    std::function<WallTime()> m_wallClock;
};

}  // namespace tollvane
