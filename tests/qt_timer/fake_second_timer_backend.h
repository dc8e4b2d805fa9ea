#pragma once
// A SecondTimer backend on a simulated wall clock. It behaves as the kernel's absolute realtime
// timer does: a shot comes when the clock reaches the deadline, and at once when the clock is set
// or the machine wakes up while it is armed. Shots are delivered synchronously by the calls that
// move the clock.

#include <optional>

#include "platform/qt/second_timer_backend.h"

namespace tollvane::test {

class FakeSecondTimerBackend final : public SecondTimerBackend {
public:
    explicit FakeSecondTimerBackend(WallTime start) : m_now(start) {}

    WallTime now() const override { return m_now; }

    void armAfter(std::chrono::nanoseconds delay) override {
        m_deadline.reset();
        m_relativeLeft = delay;
    }
    void armAt(WallTime deadline) override {
        m_relativeLeft.reset();
        m_deadline = deadline;
    }
    void disarm() override {
        m_deadline.reset();
        m_relativeLeft.reset();
    }

    bool armed() const { return m_deadline || m_relativeLeft; }
    std::optional<WallTime> deadline() const { return m_deadline; }
    std::optional<std::chrono::nanoseconds> relativeLeft() const { return m_relativeLeft; }

    // Time passes normally (the handler may move the clock further).
    void advance(std::chrono::nanoseconds step) {
        m_now += step;
        if (m_relativeLeft) {
            *m_relativeLeft -= step;
            if (*m_relativeLeft <= std::chrono::nanoseconds(0)) shoot();
        } else if (m_deadline && m_now >= *m_deadline) {
            shoot();
        }
    }

    // Someone sets the system time. A relative shot keeps counting, an absolute one comes at once.
    void setClock(WallTime newNow) {
        m_now = newNow;
        if (m_deadline) shoot();
    }

    // The machine sleeps: the wall clock jumps on resume, a relative shot does not count the sleep.
    void sleepFor(std::chrono::nanoseconds asleep) { setClock(m_now + asleep); }

    // A notification that was already on its way when the shot was dropped.
    void deliverLateNotification() { fire(); }

private:
    void shoot() {
        disarm();
        fire();
    }

    WallTime m_now;
    std::optional<WallTime> m_deadline;
    std::optional<std::chrono::nanoseconds> m_relativeLeft;
};

// 2024-03-09 (a Saturday) at the given time of day, UTC.
inline WallTime wallTime(int hour, int minute, int second, std::chrono::nanoseconds fraction = {}) {
    using namespace std::chrono;
    return sys_days{year{2024} / March / 9} + hours(hour) + minutes(minute) + seconds(second) +
           fraction;
}

}  // namespace tollvane::test
