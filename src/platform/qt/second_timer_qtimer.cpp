#include <QTimer>
#include <optional>

#include "platform/qt/second_timer_backend.h"

namespace tollvane {
namespace {

using std::chrono::milliseconds;
using std::chrono::nanoseconds;

// A QTimer counts on the monotonic clock, the deadline is on the wall clock. When the shot comes
// before the wall clock has reached the deadline by no more than this, the wall clock merely runs
// a little behind (rounding, slewing): wait for the rest. More than this, and the clock was set
// back: come at once, so that the caller aims at the next second of the new time.
constexpr nanoseconds kLongestWaitForDeadline = std::chrono::seconds(1);

// Rounded up: a shot that came a fraction of a millisecond early would show the old second.
milliseconds wholeMillisecondsUntil(nanoseconds remaining) {
    return std::max(std::chrono::ceil<milliseconds>(remaining), milliseconds(0));
}

class PreciseQTimerBackend final : public SecondTimerBackend {
public:
    explicit PreciseQTimerBackend(std::function<WallTime()> wallClock)
        : m_wallClock(std::move(wallClock)) {
        m_timer.setSingleShot(true);
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { onTimeout(); });
    }

    WallTime now() const override { return m_wallClock(); }

    void armAfter(nanoseconds delay) override {
        m_deadline.reset();
        m_timer.start(wholeMillisecondsUntil(delay));
    }

    void armAt(WallTime deadline) override {
        m_deadline = deadline;
        m_timer.start(wholeMillisecondsUntil(deadline - now()));
    }

    void disarm() override {
        m_deadline.reset();
        m_timer.stop();
    }

private:
    void onTimeout() {
        if (m_deadline) {
            const nanoseconds remaining = *m_deadline - now();
            if (remaining > nanoseconds(0) && remaining <= kLongestWaitForDeadline) {
                m_timer.start(wholeMillisecondsUntil(remaining));
                return;
            }
            m_deadline.reset();
        }
        fire();
    }

    std::function<WallTime()> m_wallClock;
    QTimer m_timer;
    std::optional<WallTime> m_deadline;  // set while a shot at a wall-clock time is armed
};

}  // namespace

std::unique_ptr<SecondTimerBackend> makePreciseQTimerBackend(std::function<WallTime()> wallClock) {
    return std::make_unique<PreciseQTimerBackend>(std::move(wallClock));
}

}  // namespace tollvane
