#pragma once
// The timer under SecondTimer: one shot at a time, either after a delay or when the wall clock
// reaches a given time. makeSystemSecondTimerBackend() gives the real one; tests pass in a
// simulated one that can set its clock or sleep without touching the machine's.

#include <chrono>
#include <functional>
#include <memory>

namespace tollvane {

// A time on the wall clock (what gettimeofday and QDateTime::currentDateTime report), since 1970.
using WallTime = std::chrono::sys_time<std::chrono::nanoseconds>;

// The system's wall clock now.
WallTime systemWallClock();

class SecondTimerBackend {
public:
    using Handler = std::function<void()>;

    virtual ~SecondTimerBackend() = default;

    // Called once for each shot, from the event loop of the thread that made the backend, and
    // never from inside armAfter(), armAt() or disarm().
    void setHandler(Handler handler) { m_handler = std::move(handler); }

    // The wall clock this backend schedules against.
    virtual WallTime now() const = 0;
    // One shot `delay` from now, measured on a clock that setting the time does not move.
    virtual void armAfter(std::chrono::nanoseconds delay) = 0;
    // One shot when the wall clock reaches `deadline`. Where the system reports it, the shot also
    // comes at once when the wall clock is set, or jumps on resume from sleep, while armed.
    virtual void armAt(WallTime deadline) = 0;
    // No shot until the next arm. Arming also replaces a shot that is still armed.
    virtual void disarm() = 0;

protected:
    void fire() const {
        if (m_handler) m_handler();
    }

private:
    Handler m_handler;
};

// The best backend this system has: on Linux an absolute realtime timerfd that also reports a set
// clock, elsewhere (or if the kernel refuses a timerfd) the precise QTimer one.
std::unique_ptr<SecondTimerBackend> makeSystemSecondTimerBackend();

// A precise single-shot QTimer, re-armed for the time remaining to the deadline on `wallClock`.
// It cannot see the clock being set; it notices a clock set back when its shot comes due.
std::unique_ptr<SecondTimerBackend> makePreciseQTimerBackend(
    std::function<WallTime()> wallClock = systemWallClock);

#ifdef __linux__
// timerfd_create(CLOCK_REALTIME) watched by a QSocketNotifier; null if the kernel refuses one.
std::unique_ptr<SecondTimerBackend> makeTimerfdBackend();
#endif

}  // namespace tollvane
