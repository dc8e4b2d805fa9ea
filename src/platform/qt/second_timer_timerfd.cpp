#include <errno.h>
#include <string.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cstdint>

#include "platform/qt/second_timer_backend.h"

namespace tollvane {
namespace {

using std::chrono::nanoseconds;

timespec toTimespec(nanoseconds sinceZero) {
    const auto whole = std::chrono::floor<std::chrono::seconds>(sinceZero);
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(whole.count());
    ts.tv_nsec = static_cast<long>((sinceZero - whole).count());
    return ts;
}

// The kernel keeps the deadline on the realtime clock itself, so the shot comes when the wall
// clock (not a count of elapsed time) reaches it: time spent asleep and clock slewing are
// accounted for. TFD_TIMER_CANCEL_ON_SET makes a clock set, and a resume from sleep, wake the
// descriptor with ECANCELED, which is reported as a shot so the caller aims at the new time.
class TimerfdBackend final : public SecondTimerBackend {
public:
    explicit TimerfdBackend(int fd) : m_fd(fd) {
        m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { onReadable(); });
    }

    ~TimerfdBackend() override {
        m_notifier.reset();
        ::close(m_fd);
    }

    TimerfdBackend(const TimerfdBackend&) = delete;
    TimerfdBackend& operator=(const TimerfdBackend&) = delete;

    WallTime now() const override { return systemWallClock(); }

    void armAfter(nanoseconds delay) override {
        if (m_fallback) return m_fallback->armAfter(delay);
        // A zero it_value would disarm; a relative realtime timer counts monotonic time.
        arm(0, std::max(delay, nanoseconds(1)), [&] { m_fallback->armAfter(delay); });
    }

    void armAt(WallTime deadline) override {
        if (m_fallback) return m_fallback->armAt(deadline);
        arm(TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, deadline.time_since_epoch(),
            [&] { m_fallback->armAt(deadline); });
    }

    void disarm() override {
        if (m_fallback) return m_fallback->disarm();
        const itimerspec off{};
        ::timerfd_settime(m_fd, 0, &off, nullptr);
    }

private:
    template <typename ArmFallback>
    void arm(int flags, nanoseconds value, ArmFallback armFallback) {
        itimerspec spec{};
        spec.it_value = toTimespec(value);
        if (::timerfd_settime(m_fd, flags, &spec, nullptr) == 0) return;
        // Only a deadline the kernel cannot hold (a clock before 1970) gets here. The tick must
        // not stop, so the rest of the run uses the QTimer backend.
        qWarning("SecondTimer: timerfd_settime failed (%s), ticking with a precise QTimer instead",
                 strerror(errno));
        disarm();
        m_fallback = makePreciseQTimerBackend();
        m_fallback->setHandler([this] { fire(); });
        armFallback();
    }

    void onReadable() {
        std::uint64_t expirations = 0;
        const ssize_t n = ::read(m_fd, &expirations, sizeof expirations);
        if (n == static_cast<ssize_t>(sizeof expirations)) {
            fire();
        } else if (n < 0 && errno == ECANCELED) {
            // The kernel leaves the old deadline armed after a clock set; drop it.
            disarm();
            fire();
        }
        // EAGAIN: the shot was dropped or replaced after the descriptor became readable.
    }

    int m_fd;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::unique_ptr<SecondTimerBackend> m_fallback;  // set once the timerfd has failed
};

}  // namespace

std::unique_ptr<SecondTimerBackend> makeTimerfdBackend() {
    const int fd = ::timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (fd < 0) return nullptr;
    return std::make_unique<TimerfdBackend>(fd);
}

}  // namespace tollvane
